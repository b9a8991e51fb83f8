#pragma once

#include "platform/ui/Form.h"

class QLabel;
class QLineEdit;
class QPushButton;

// "New Assignment": adds one assignment to the class on the grade sheet.
class NewAssignment : public Form {
    Q_OBJECT

public:
    explicit NewAssignment(Context& ctx);

    void AddCommand_Click();
    void CancelCommand_Click();
    void Command1_Click();

    QLabel* InstructionsLabel;
    QLabel* DescriptionLabel;
    QLineEdit* DescriptionBox;
    QLabel* MaximumPointsLabel;
    QLineEdit* MaximumPointsBox;
    QLabel* DateLabel;
    QLineEdit* DateBox;
    QLabel* WeightLabel;
    QLineEdit* WeightBox;
    QPushButton* AddCommand;
    QPushButton* CancelCommand;
    QPushButton* Command1;

protected:
    void Form_Activate() override;
    void CloseBox() override { CancelCommand_Click(); }
};
