#pragma once

#include "platform/ui/Form.h"

class ListBox;
class QLabel;
class QPushButton;

// "Select Classes": picks up to six of the shown student's classes to plot.
class SelectClassesForm : public Form {
    Q_OBJECT

public:
    explicit SelectClassesForm(Context& ctx);

    void FillClassList();
    int CountNumSelected() const;
    void ClassList_Click();
    void OKCommand_Click();
    void CancelCommand_Click();

    QLabel* Label1;
    ListBox* ClassList;
    QPushButton* OKCommand;
    QPushButton* CancelCommand;
    int NumSelected = 0;

protected:
    void Form_Activate() override { FillClassList(); }
    void CloseBox() override { CancelCommand_Click(); }
};
