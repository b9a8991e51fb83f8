#pragma once

#include "platform/ui/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the password of the file about to be opened. Keeps what was typed between showings.
class EnterPassword : public Form {
    Q_OBJECT

public:
    explicit EnterPassword(Context& ctx);

    void Command1_Click();
    void Command2_Click();

    QLabel* EnterPWLabel;
    QLineEdit* PWText;
    QPushButton* Command1;
    QPushButton* Command2;

protected:
    void Form_Activate() override;
    // There is no Cancel: the close box answers as OK does.
    void CloseBox() override { Command1_Click(); }
};
