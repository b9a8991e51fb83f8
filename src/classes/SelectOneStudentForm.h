#pragma once

#include "platform/ui/Form.h"

class ListBox;
class QPushButton;

// "Select A Student": picks one student; SelectedStudentID is -1 when the teacher cancels.
class SelectOneStudentForm : public Form {
    Q_OBJECT

public:
    explicit SelectOneStudentForm(Context& ctx);

    void FillAllStudentsList();
    void StudentList_Click();
    void StudentList_DblClick();
    void OKCommand_Click();
    void CancelCommand_Click();

    ListBox* StudentList;
    QPushButton* OKCommand;
    QPushButton* CancelCommand;

protected:
    void Form_Activate() override { FillAllStudentsList(); }
    void CloseBox() override { CancelCommand_Click(); }
};
