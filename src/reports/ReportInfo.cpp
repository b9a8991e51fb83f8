#include "ReportInfo.h"

#include "FormulaBuilder.h"
#include "data/DataFile.h"
#include "gradesheet/GradeForm.h"
#include "platform/profile/Profile.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "reportengine/ReportEngine.h"
#include "shell/Context.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kStudentFrameHeight = 1995, kClassFrameHeight = 1695, kAssignmentsFrameHeight = 915;

QGroupBox* frame(QWidget* parent, const QString& caption, int height) {
    auto* f = new QGroupBox(caption, parent);
    f->resize(twips::toPixels(5415), twips::toPixels(height));
    f->move(twips::toPixels(180), 0);
    return f;
}

template <typename W>
W* at(W* w, int left, int top, int width, int height) {
    w->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(width), twips::toPixels(height));
    return w;
}

}  // namespace

ReportInfo::ReportInfo(Context& ctx) : Form(ctx, nullptr, Qt::Dialog | Qt::WindowCloseButtonHint) {
    setWindowTitle("Report Information");

    StudentFrame = frame(this, "Select Students", kStudentFrameHeight);
    AllStudentsOption = at(new QRadioButton("All Students", StudentFrame), 120, 300, 3000, 255);
    SomeStudentsOption = at(new QRadioButton("Students with class averages between", StudentFrame), 120, 600, 3690, 255);
    LowerAverage = at(new QLineEdit("0", StudentFrame), 3810, 570, 420, 300);
    Label1 = at(new QLabel("% and ", StudentFrame), 4250, 600, 480, 255);
    UpperAverage = at(new QLineEdit("60", StudentFrame), 4740, 570, 420, 300);
    Label2 = at(new QLabel("%", StudentFrame), 5180, 600, 200, 255);
    SelectedStudentsOption = at(new QRadioButton("Selected students:", StudentFrame), 120, 900, 2000, 255);
    StudentList = at(new ListBox(StudentFrame), 2160, 900, 3120, 1000);
    StudentList->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* students = new QButtonGroup(this);
    for (QRadioButton* o : {AllStudentsOption, SomeStudentsOption, SelectedStudentsOption}) students->addButton(o);

    ClassFrame = frame(this, "Select Classes", kClassFrameHeight);
    AllClassesOption = at(new QRadioButton("All classes", ClassFrame), 120, 300, 2000, 255);
    SelectedClassesOption = at(new QRadioButton("Selected classes:", ClassFrame), 120, 600, 2000, 255);
    ClassList = at(new ListBox(ClassFrame), 2160, 300, 3120, 1300);
    ClassList->setSelectionMode(QAbstractItemView::MultiSelection);
    auto* classes = new QButtonGroup(this);
    for (QRadioButton* o : {AllClassesOption, SelectedClassesOption}) classes->addButton(o);

    AssignmentsFrame = frame(this, "Select Assignments", kAssignmentsFrameHeight);
    AllAssignmentsOption = at(new QRadioButton("All Assignments", AssignmentsFrame), 120, 300, 2400, 255);
    SomeAssignmentsOption = at(new QRadioButton("Assignments between the dates", AssignmentsFrame), 120, 580, 2800, 255);
    LowerDate = at(new QLineEdit(AssignmentsFrame), 2940, 550, 1000, 300);
    Label3 = at(new QLabel("and", AssignmentsFrame), 3990, 580, 300, 255);
    UpperDate = at(new QLineEdit(AssignmentsFrame), 4320, 550, 1000, 300);
    auto* asns = new QButtonGroup(this);
    for (QRadioButton* o : {AllAssignmentsOption, SomeAssignmentsOption}) asns->addButton(o);

    OKCommand = at(new QPushButton("View Report", this), 5880, 240, 1200, 375);
    OKCommand->setDefault(true);
    PrinterCommand = at(new QPushButton("Printer Setup", this), 5880, 840, 1200, 375);
    CancelCommand = at(new QPushButton("Close", this), 5880, 1440, 1200, 375);
    setFixedWidth(twips::toPixels(7300));

    connect(LowerAverage, &QLineEdit::textChanged, this, [this] { SomeStudentsOption->setChecked(true); });
    connect(UpperAverage, &QLineEdit::textChanged, this, [this] { SomeStudentsOption->setChecked(true); });
    connect(StudentList, &QListWidget::itemClicked, this, [this] { SelectedStudentsOption->setChecked(true); });
    connect(ClassList, &QListWidget::itemClicked, this, [this] { SelectedClassesOption->setChecked(true); });
    connect(LowerDate, &QLineEdit::textChanged, this, [this] { SomeAssignmentsOption->setChecked(true); });
    connect(UpperDate, &QLineEdit::textChanged, this, [this] { SomeAssignmentsOption->setChecked(true); });
    connect(OKCommand, &QPushButton::clicked, this, &ReportInfo::OKCommand_Click);
    connect(PrinterCommand, &QPushButton::clicked, this, &ReportInfo::PrinterCommand_Click);
    connect(CancelCommand, &QPushButton::clicked, this, &ReportInfo::CancelCommand_Click);
}

QString ReportInfo::SnapshotPath() { return profile::WindowsDirectory() + "/PRINTQ.DAT"; }
QString ReportInfo::SnapshotLockPath() { return profile::WindowsDirectory() + "/PRINTQ.LDB"; }

void ReportInfo::fillList(ListBox* list, const QString& sql, const QString& idField, const QString& nameField) {
    list->Clear();
    try {
        engine::Recordset rs = m_ctx.state.CurrentDB.OpenDynaset(sql);
        if (rs.RecordCount() == 0) return;
        rs.MoveFirst();
        for (; !rs.AtEOF(); rs.MoveNext()) list->AddItem(rs.field(nameField).toString(), rs.field(idField).toInt());
    } catch (const engine::DbError&) {
        // Nothing to offer: the list stays empty.
    }
}

void ReportInfo::FillStudentsList() { fillList(StudentList, "SELECT DISTINCT StudentID, Name FROM ScoreSummary", "StudentID", "Name"); }

void ReportInfo::FillClassList() { fillList(ClassList, "SELECT DISTINCT ClassID, Class FROM ScoreSummary", "ClassID", "Class"); }

void ReportInfo::removeSnapshot() {
    for (const QString& f : {SnapshotPath(), SnapshotLockPath()}) {
        if (QFile::exists(f) && !QFile::remove(f)) m_ctx.ui.MsgBox("The report copy " + f + " could not be deleted.");
    }
}

void ReportInfo::Form_Activate() {
    auto& st = m_ctx.state;
    FillStudentsList();
    FillClassList();
    // The reports read a copy of the file, made while the file is closed so that it is whole.
    st.CurrentDB.Close();
    removeSnapshot();
    if (!QFile::copy(st.FileName, SnapshotPath()))
        m_ctx.ui.MsgBox("The data file could not be copied for the report to " + SnapshotPath() + ".");
    AllStudentsOption->setChecked(true);
    AllClassesOption->setChecked(true);
    AllAssignmentsOption->setChecked(true);

    const bool students = Tag != "NoQuery";
    const bool assignments = Tag != "ClassSummary";
    StudentFrame->setVisible(students);
    AssignmentsFrame->setVisible(assignments);
    int height = 0;
    int top = 180;
    if (students) {
        StudentFrame->move(StudentFrame->x(), twips::toPixels(top));
        top += kStudentFrameHeight + 100;
        height += kStudentFrameHeight;
    }
    ClassFrame->move(ClassFrame->x(), twips::toPixels(top));
    top += kClassFrameHeight + 100;
    height += kClassFrameHeight;
    if (assignments) {
        AssignmentsFrame->move(AssignmentsFrame->x(), twips::toPixels(top));
        height += kAssignmentsFrameHeight;
    }
    setFixedHeight(twips::toPixels(height + 900));
}

void ReportInfo::OKCommand_Click() {
    auto& ui = m_ctx.ui;
    ui.SetBusy(true);
    reports::Criteria c;
    c.queryKind = Tag;
    c.students = SomeStudentsOption->isChecked()       ? reports::Criteria::Students::SomeAverages
                 : SelectedStudentsOption->isChecked() ? reports::Criteria::Students::Selected
                                                       : reports::Criteria::Students::All;
    c.lowerAverage = LowerAverage->text();
    c.upperAverage = UpperAverage->text();
    for (int p = 0; p < StudentList->ListCount(); ++p)
        if (StudentList->Selected(p)) c.selectedStudents << StudentList->ItemData(p);
    c.classes = SelectedClassesOption->isChecked() ? reports::Criteria::Classes::Selected : reports::Criteria::Classes::All;
    for (int p = 0; p < ClassList->ListCount(); ++p)
        if (ClassList->Selected(p)) c.selectedClasses << ClassList->ItemData(p);
    c.assignments = SomeAssignmentsOption->isChecked() ? reports::Criteria::Assignments::BetweenDates
                                                       : reports::Criteria::Assignments::All;
    c.lowerDate = LowerDate->text();
    c.upperDate = UpperDate->text();
    const auto formula = reports::BuildFormula(c);
    if (!formula) {
        ui.MsgBox("Please enter two valid dates for assignment selection.");
        ui.SetBusy(false);
        return;
    }
    SelectionFormula = *formula;
    QString error;
    const auto document = report::Run(ReportFileName, SnapshotPath(), SelectionFormula, &error);
    ui.SetBusy(false);
    if (!document) {
        ui.MsgBox(error);
        return;
    }
    ui.ShowReport(*document);
}

void ReportInfo::PrinterCommand_Click() { m_ctx.ui.PrinterSetup(); }

void ReportInfo::CancelCommand_Click() {
    auto& st = m_ctx.state;
    datafile::OpenDB(st, m_ctx.ui);
    removeSnapshot();
    if (st.isFileOpen()) {
        // The grade sheet's record sets are new: it refills itself when it is active again.
        st.NeedRefresh = true;
    } else {
        // Typing into a grade sheet whose file is closed would lose every score: it goes.
        m_ctx.ui.MsgBox("The data file could not be opened again, so the grade sheet has been closed. Nothing "
                        "typed before was lost; open the file again with File > Open.");
        m_ctx.forms.unload<GradeForm>();
    }
    hide();
}
