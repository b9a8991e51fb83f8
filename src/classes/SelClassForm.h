#pragma once

#include "platform/ui/Form.h"

#include <cstdint>

class ListBox;
class QPushButton;

// "Select a Class": picks the class the grade sheet shows.
class SelClassForm : public Form {
    Q_OBJECT

public:
    explicit SelClassForm(Context& ctx);

    void FillClassList();
    void ClassList_Click();
    void ClassList_DblClick();
    void OKCommand_Click();
    void CancelCommand_Click();

    ListBox* ClassList;
    QPushButton* OKCommand;
    QPushButton* CancelCommand;
    std::int32_t PickedClassID = 0;

protected:
    void Form_Activate() override;
    void CloseBox() override { CancelCommand_Click(); }
};
