#pragma once

#include "platform/ui/Form.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Add a Class": creates a class, makes it the current one and opens its roster.
class NewClassForm : public Form {
    Q_OBJECT

public:
    explicit NewClassForm(Context& ctx);

    void AddCommand_Click();
    void CancelCommand_Click();
    void HelpCommand_Click();

    QLabel* InstructionsLabel;
    QLineEdit* NameBox;
    QLabel* Label1;
    QLineEdit* TermBox;
    QCheckBox* UseWeights;
    QPushButton* AddCommand;
    QPushButton* CancelCommand;
    QPushButton* HelpCommand;

protected:
    void CloseBox() override { CancelCommand_Click(); }
};
