#include "SelectStudentForm.h"

#include "data/DataFile.h"
#include "data/Schema.h"
#include "platform/runtime/Runtime.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Steps.h"
#include "platform/ui/Ui.h"
#include "shell/Context.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

using engine::DbError;

SelectStudentForm::SelectStudentForm(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Select Students");
    Instructions = new QLabel(
        "Select the students for the class from the list. If a name is not listed, add it using the box at the bottom "
        "of this form.");
    Instructions->setWordWrap(true);
    StudentList = new ListBox;
    StudentList->setObjectName("StudentList");
    StudentList->setSelectionMode(QAbstractItemView::MultiSelection);
    SelectAllCommand = new QPushButton("Select All");
    SelectAllCommand->setEnabled(false);
    DeselectAllCommand = new QPushButton("Deselect All");
    DeselectAllCommand->setEnabled(false);
    OKCommand = new QPushButton("OK");
    OKCommand->setDefault(true);
    CancelCommand = new QPushButton("Cancel");
    HelpCommand = new QPushButton("Help");

    AddFrame = new QGroupBox("Add a name to the list");
    FirstNameLabel = new QLabel("First Name");
    FirstNameBox = new QLineEdit;
    FirstNameBox->setObjectName("FirstNameBox");
    FirstNameBox->setMaxLength(30);
    LastNameLabel = new QLabel("Last Name");
    LastNameBox = new QLineEdit;
    LastNameBox->setObjectName("LastNameBox");
    LastNameBox->setMaxLength(30);
    IDLabel = new QLabel("Student ID (optional)");
    IDText = new QLineEdit;
    IDText->setObjectName("IDText");
    AddCommand = new QPushButton("Add");
    auto* add = new QGridLayout(AddFrame);
    add->addWidget(FirstNameLabel, 0, 0);
    add->addWidget(LastNameLabel, 0, 1);
    add->addWidget(IDLabel, 0, 2);
    add->addWidget(FirstNameBox, 1, 0);
    add->addWidget(LastNameBox, 1, 1);
    add->addWidget(IDText, 1, 2);
    add->addWidget(AddCommand, 1, 3);

    TransferFrame = new QGroupBox("Transfer students from another tallyroll file ");
    Label1 = new QLabel("File Name:");
    FileText = new QLineEdit;
    FileText->setObjectName("FileText");
    BrowseCommand = new QPushButton("Browse");
    TransferCommand = new QPushButton("Transfer");
    TransferCommand->setEnabled(false);
    auto* transfer = new QGridLayout(TransferFrame);
    transfer->addWidget(Label1, 0, 0);
    transfer->addWidget(FileText, 0, 1);
    transfer->addWidget(BrowseCommand, 0, 2);
    transfer->addWidget(TransferCommand, 0, 3);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Instructions, 0, 0, 1, 2);
    layout->addWidget(StudentList, 1, 0, 6, 1);
    layout->addWidget(OKCommand, 1, 1);
    layout->addWidget(CancelCommand, 2, 1);
    layout->addWidget(HelpCommand, 3, 1);
    layout->addWidget(SelectAllCommand, 4, 1);
    layout->addWidget(DeselectAllCommand, 5, 1);
    layout->addWidget(AddFrame, 7, 0, 1, 2);
    layout->addWidget(TransferFrame, 8, 0, 1, 2);
    resize(560, 520);

    connect(StudentList, &QListWidget::itemSelectionChanged, this, &SelectStudentForm::StudentList_Click);
    connect(SelectAllCommand, &QPushButton::clicked, this, &SelectStudentForm::SelectAllCommand_Click);
    connect(DeselectAllCommand, &QPushButton::clicked, this, &SelectStudentForm::DeselectAllCommand_Click);
    connect(OKCommand, &QPushButton::clicked, this, &SelectStudentForm::OKCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &SelectStudentForm::CancelCommand_Click);
    connect(HelpCommand, &QPushButton::clicked, this, &SelectStudentForm::HelpCommand_Click);
    connect(AddCommand, &QPushButton::clicked, this, &SelectStudentForm::AddCommand_Click);
    connect(BrowseCommand, &QPushButton::clicked, this, &SelectStudentForm::BrowseCommand_Click);
    connect(FileText, &QLineEdit::textChanged, this, &SelectStudentForm::FileText_Change);
    connect(TransferCommand, &QPushButton::clicked, this, &SelectStudentForm::TransferCommand_Click);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &SelectStudentForm::CancelCommand_Click);
}

void SelectStudentForm::Form_Activate() {
    auto& st = m_ctx.state;
    steps::Ignore([&] {
        st.ClassesRS.setIndex("ClassID");
        st.ClassesRS.Seek("=", st.CurrentClassID);
    });
    FillAllStudentsList();
    TransferCommand->setEnabled(!FileText->text().isEmpty());
}

void SelectStudentForm::FillAllStudentsList() {
    auto& st = m_ctx.state;
    StudentList->Clear();
    try {
        engine::Recordset rs = st.CurrentDB.OpenDynaset("SELECT LastName, FirstName, StudentID FROM Students ORDER BY LastName, FirstName");
        rs.MoveLast();
        rs.MoveFirst();
        const int n = rs.RecordCount();
        for (int i = 0; i < n; ++i) {
            StudentList->AddItem(runtime::Trim(rs.field("LastName").toString()) + ", " +
                                     runtime::Trim(rs.field("FirstName").toString()),
                                 rs.field("StudentID").toInt());
            rs.MoveNext();
        }
    } catch (const DbError&) {
        // No students (or no file): the list stays empty and the buttons as they were.
        return;
    }
    const QSignalBlocker quiet(StudentList);
    for (int p = 0; p < StudentList->ListCount(); ++p) {
        steps::Ignore([&] {
            st.StudentClassRS.setIndex("StudentClassIndex");
            st.StudentClassRS.Seek("=", StudentList->ItemData(p), st.CurrentClassID);
            if (!st.StudentClassRS.NoMatch()) StudentList->setSelected(p, true);
        });
    }
    setSelectButtons();
}

void SelectStudentForm::setSelectButtons() {
    const int n = StudentList->ListCount();
    const int c = StudentList->SelectedCount();
    SelectAllCommand->setEnabled(n > 0 && c < n);
    DeselectAllCommand->setEnabled(n > 0 && c > 0);
}

bool SelectStudentForm::CheckList(const QString& Name) const {
    for (int p = 0; p < StudentList->ListCount(); ++p)
        if (StudentList->List(p) == Name) return true;
    return false;
}

void SelectStudentForm::AddCommand_Click() {
    auto& rs = m_ctx.state.StudentsRS;
    if (FirstNameBox->text().isEmpty() || LastNameBox->text().isEmpty()) {
        m_ctx.ui.MsgBox("Enter a first and last name. Then select 'Add'");
        return;
    }
    try {
        rs.AddNew();
        rs.setField("FirstName", runtime::Trim(FirstNameBox->text()));
        rs.setField("LastName", runtime::Trim(LastNameBox->text()));
        rs.setField("ID", runtime::Trim(IDText->text()));
        rs.Update();
        rs.setBookmark(rs.LastModified());
    } catch (const DbError& e) {
        // Nothing was written; the names stay in the boxes to be corrected.
        m_ctx.ui.MsgBox("The student was not added. " + schema::RefusalMessage(e));
        return;
    }
    FillAllStudentsList();
    FirstNameBox->clear();
    LastNameBox->clear();
    IDText->clear();
}

void SelectStudentForm::BrowseCommand_Click() {
    if (const auto choice = m_ctx.ui.OpenFile(datafile::kFileFilter, datafile::kDefaultExt)) FileText->setText(choice->path);
}

void SelectStudentForm::FileText_Change() { TransferCommand->setEnabled(!FileText->text().isEmpty()); }

void SelectStudentForm::TransferCommand_Click() {
    auto& st = m_ctx.state;
    const QString path = FileText->text();
    // The open file under any spelling of its path: copying it into itself would only duplicate.
    if (path == st.FileName || datafile::SameFile(path, st.FileName)) {
        m_ctx.ui.MsgBox("File name is the same as currrent Tallyroll file. Transfer cancelled.");
        FillAllStudentsList();
        return;
    }
    engine::Database other;
    try {
        if (!st.MainWorkspace) st.MainWorkspace = &engine::Workspace::Default();
        // Read only: the other file is never written and gets no lock file.
        other = st.MainWorkspace->OpenDatabase(path, engine::Workspace::Mode::ReadOnly);
        engine::Recordset source = other.OpenDynaset("SELECT * FROM Students");
        source.MoveLast();
        source.MoveFirst();
        const int n = source.RecordCount();
        auto copy = [&] {
            st.StudentsRS.AddNew();
            st.StudentsRS.setField("FirstName", source.field("FirstName"));
            st.StudentsRS.setField("LastName", source.field("LastName"));
            st.StudentsRS.setField("ID", source.field("ID"));
            st.StudentsRS.setField("Notes", source.field("Notes"));
            st.StudentsRS.Update();
        };
        for (int i = 0; i < n; ++i) {
            const QString first = source.field("FirstName").toString();
            const QString last = source.field("LastName").toString();
            if (!CheckList(runtime::Trim(last) + ", " + runtime::Trim(first))) {
                copy();
            } else {
                const auto answer = m_ctx.ui.MsgBox(
                    "Current tallyroll already has a student named " + first + " " + last + ". Do you want to add another?",
                    Ui::Buttons::YesNoCancel);
                if (answer == Ui::Answer::Cancel) break;
                if (answer == Ui::Answer::Yes) copy();
            }
            source.MoveNext();
        }
        other.Close();
    } catch (const DbError& e) {
        other.Close();
        m_ctx.ui.MsgBox(e.field().isEmpty() ? e.description() : schema::RefusalMessage(e));
        return;
    }
    FillAllStudentsList();
}

void SelectStudentForm::SelectAllCommand_Click() {
    {
        const QSignalBlocker quiet(StudentList);
        for (int p = 0; p < StudentList->ListCount(); ++p) StudentList->setSelected(p, true);
    }
    StudentList->viewport()->update();
    SelectAllCommand->setEnabled(false);
    DeselectAllCommand->setEnabled(StudentList->ListCount() > 0);
}

void SelectStudentForm::DeselectAllCommand_Click() {
    {
        const QSignalBlocker quiet(StudentList);
        for (int p = 0; p < StudentList->ListCount(); ++p) StudentList->setSelected(p, false);
    }
    StudentList->viewport()->update();
    DeselectAllCommand->setEnabled(false);
    SelectAllCommand->setEnabled(StudentList->ListCount() > 0);
}

void SelectStudentForm::StudentList_Click() { setSelectButtons(); }

void SelectStudentForm::OKCommand_Click() {
    auto& st = m_ctx.state;
    for (int p = 0; p < StudentList->ListCount(); ++p) {
        const int student = StudentList->ItemData(p);
        steps::Report(m_ctx.ui, "The class roster could not be changed: ", [&] {
            st.StudentClassRS.setIndex("StudentClassIndex");
            st.StudentClassRS.Seek("=", student, st.CurrentClassID);
            const bool onRoster = !st.StudentClassRS.NoMatch();
            if (StudentList->Selected(p) && !onRoster) {
                st.StudentClassRS.AddNew();
                st.StudentClassRS.setField("StudentID", student);
                st.StudentClassRS.setField("ClassID", st.CurrentClassID);
                st.StudentClassRS.Update();
            } else if (!StudentList->Selected(p) && onRoster) {
                if (m_ctx.ui.MsgBox("Are you sure you want to remove " + StudentList->List(p) + " from the class?",
                                    Ui::Buttons::YesNo) == Ui::Answer::Yes)
                    st.StudentClassRS.Delete();
            }
        });
    }
    st.NeedRefresh = true;
    hide();
}

void SelectStudentForm::CancelCommand_Click() { hide(); }

void SelectStudentForm::HelpCommand_Click() { m_ctx.ui.ShowHelp("Tlyroll.hlp", Ui::HelpCommand::Context, 6); }
