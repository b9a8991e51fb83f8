#include "SelectOneStudentForm.h"

#include "platform/ui/ListBox.h"
#include "shell/Context.h"

#include <QGridLayout>
#include <QPushButton>
#include <QShortcut>

SelectOneStudentForm::SelectOneStudentForm(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Select A Student");
    StudentList = new ListBox;
    StudentList->setObjectName("StudentList");
    StudentList->setSelectionMode(QAbstractItemView::SingleSelection);
    OKCommand = new QPushButton("OK");
    OKCommand->setDefault(true);
    CancelCommand = new QPushButton("Cancel");
    auto* layout = new QGridLayout(this);
    layout->addWidget(StudentList, 0, 0, 3, 1);
    layout->addWidget(OKCommand, 0, 1);
    layout->addWidget(CancelCommand, 1, 1);
    resize(380, 320);
    connect(StudentList, &QListWidget::itemClicked, this, &SelectOneStudentForm::StudentList_Click);
    connect(StudentList, &QListWidget::itemDoubleClicked, this, &SelectOneStudentForm::StudentList_DblClick);
    connect(OKCommand, &QPushButton::clicked, this, &SelectOneStudentForm::OKCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &SelectOneStudentForm::CancelCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &SelectOneStudentForm::CancelCommand_Click);
}

void SelectOneStudentForm::FillAllStudentsList() {
    StudentList->Clear();
    try {
        engine::Recordset rs = m_ctx.state.CurrentDB.OpenDynaset(
            "SELECT Students.LastName & ', ' & Students.FirstName AS Name, Students.StudentID FROM Students ORDER BY "
            "Students.LastName & ', ' & Students.FirstName");
        rs.MoveLast();
        rs.MoveFirst();
        const int n = rs.RecordCount();
        for (int i = 0; i < n; ++i) {
            StudentList->AddItem(rs.field("Name").toString(), rs.field("StudentID").toInt());
            rs.MoveNext();
        }
    } catch (const engine::DbError&) {
        // No students, or no file: an empty list.
    }
}

void SelectOneStudentForm::StudentList_Click() {
    if (StudentList->ListIndex() >= 0) m_ctx.state.SelectedStudentID = StudentList->ItemData(StudentList->ListIndex());
}

void SelectOneStudentForm::StudentList_DblClick() {
    StudentList_Click();
    OKCommand_Click();
}

void SelectOneStudentForm::OKCommand_Click() { hide(); }

void SelectOneStudentForm::CancelCommand_Click() {
    m_ctx.state.SelectedStudentID = -1;
    hide();
}
