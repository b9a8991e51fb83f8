#pragma once

#include "platform/ui/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Sets a new password: for a file just created (only recorded, the first opening stores it) or,
// in its normal mode, for the open file.
class ChangePassword : public Form {
    Q_OBJECT

public:
    explicit ChangePassword(Context& ctx);

    // New-file mode offers no Cancel: the teacher decides the new file's password here.
    void setNewFileMode(bool newFile);
    bool newFileMode() const { return m_newFile; }

    void OKCommand_Click();
    void CancelCommand_Click();

    QLabel* PWLabel;
    QLineEdit* Text1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* OKCommand;
    QPushButton* CancelCommand;

protected:
    void Form_Activate() override;
    void CloseBox() override;

private:
    bool m_newFile = false;
};
