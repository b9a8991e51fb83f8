#pragma once

#include "platform/ui/Form.h"

class ListBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Report Information": narrows the chosen report to some students, classes and assignment
// dates, and shows it. While it is open the data file is closed and the report reads a copy.
class ReportInfo : public Form {
    Q_OBJECT

public:
    explicit ReportInfo(Context& ctx);

    void FillStudentsList();
    void FillClassList();
    void OKCommand_Click();
    void PrinterCommand_Click();
    void CancelCommand_Click();

    // The snapshot the reports read, and its lock file, in the Windows directory.
    static QString SnapshotPath();
    static QString SnapshotLockPath();

    // What the report engine is given: set by the catalog (the file) and by View Report (the formula).
    QString ReportFileName;
    QString SelectionFormula;
    QString Tag;  // the query kind

    QGroupBox* StudentFrame;
    QRadioButton* AllStudentsOption;
    QRadioButton* SomeStudentsOption;
    QLineEdit* LowerAverage;
    QLabel* Label1;
    QLineEdit* UpperAverage;
    QLabel* Label2;
    QRadioButton* SelectedStudentsOption;
    ListBox* StudentList;
    QGroupBox* ClassFrame;
    QRadioButton* AllClassesOption;
    QRadioButton* SelectedClassesOption;
    ListBox* ClassList;
    QGroupBox* AssignmentsFrame;
    QRadioButton* AllAssignmentsOption;
    QRadioButton* SomeAssignmentsOption;
    QLineEdit* LowerDate;
    QLabel* Label3;
    QLineEdit* UpperDate;
    QPushButton* OKCommand;
    QPushButton* PrinterCommand;
    QPushButton* CancelCommand;

protected:
    void Form_Activate() override;
    void CloseBox() override { CancelCommand_Click(); }

private:
    void fillList(ListBox* list, const QString& sql, const QString& idField, const QString& nameField);
    void removeSnapshot();
};
