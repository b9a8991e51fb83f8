#pragma once

#include "platform/ui/Form.h"

class ListBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Select Students": the roster of the current class, new students, and students copied from
// another data file.
class SelectStudentForm : public Form {
    Q_OBJECT

public:
    explicit SelectStudentForm(Context& ctx);

    void FillAllStudentsList();
    bool CheckList(const QString& Name) const;

    void AddCommand_Click();
    void BrowseCommand_Click();
    void FileText_Change();
    void TransferCommand_Click();
    void SelectAllCommand_Click();
    void DeselectAllCommand_Click();
    void StudentList_Click();
    void OKCommand_Click();
    void CancelCommand_Click();
    void HelpCommand_Click();

    QLabel* Instructions;
    ListBox* StudentList;
    QPushButton* SelectAllCommand;
    QPushButton* DeselectAllCommand;
    QPushButton* OKCommand;
    QPushButton* CancelCommand;
    QPushButton* HelpCommand;
    QGroupBox* AddFrame;
    QLabel* FirstNameLabel;
    QLineEdit* FirstNameBox;
    QLabel* LastNameLabel;
    QLineEdit* LastNameBox;
    QLabel* IDLabel;
    QLineEdit* IDText;
    QPushButton* AddCommand;
    QGroupBox* TransferFrame;
    QLabel* Label1;
    QLineEdit* FileText;
    QPushButton* BrowseCommand;
    QPushButton* TransferCommand;

protected:
    void Form_Activate() override;
    void CloseBox() override { CancelCommand_Click(); }

private:
    void setSelectButtons();
};
