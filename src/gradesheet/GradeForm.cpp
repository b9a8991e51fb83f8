#include "GradeForm.h"

#include "Averages.h"
#include "classes/NewAssignment.h"
#include "classes/NewClassForm.h"
#include "classes/SelClassForm.h"
#include "classes/SelectOneStudentForm.h"
#include "classes/SelectStudentForm.h"
#include "data/DataFile.h"
#include "platform/runtime/Runtime.h"
#include "platform/ui/GridControl.h"
#include "platform/ui/Steps.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Ui.h"
#include "shell/ChangePassword.h"
#include "shell/Context.h"
#include "shell/HelpItems.h"
#include "shell/MDITallyroll.h"
#include "reports/CustomRepForm.h"
#include "reports/ReportTypeForm.h"
#include "student/StudentInfo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QHash>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <cmath>

using engine::DbError;

namespace {

constexpr const char* kHideClass = "Hide Class Information";
constexpr const char* kShowClass = "Show Class Information";
constexpr const char* kHideAsn = "Hide Assignment Information";
constexpr const char* kShowAsn = "Show Assignment Information";

constexpr int kClassFrameWidth = 8715, kClassFrameHeight = 1035, kClassFrameTop = 60;
constexpr int kAsnFrameWidth = 8715, kAsnFrameHeight = 675;

QLineEdit* box(QWidget* parent, const char* name, int maxLength, QRect geometry) {
    auto* b = new QLineEdit(parent);
    b->setObjectName(name);
    if (maxLength > 0) b->setMaxLength(maxLength);
    b->setGeometry(geometry);
    return b;
}

QLabel* label(QWidget* parent, const QString& text, QRect geometry) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    return l;
}

QString scoreText(const QVariant& v) { return v.isNull() ? QString() : runtime::FormatSingle(v.toDouble()); }

}  // namespace

GradeForm::GradeForm(Context& ctx) : Form(ctx) {
    setWindowTitle("Grades");
    setMinimumSize(320, 240);
    resize(twips::toPixels(9500), twips::toPixels(7000));

    GradeGrid = new GridControl(this);
    GradeGrid->setObjectName("GradeGrid");
    GradeGrid->setRows(20);
    GradeGrid->setCols(20);
    GradeText = new QLineEdit(this);
    GradeText->setObjectName("GradeText");
    GradeText->setFrame(false);
    GradeText->setAlignment(Qt::AlignCenter);
    GradeText->hide();
    GradeText->installEventFilter(this);

    buildPanels();
    buildMenus();

    CalculateTimer = new QTimer(this);
    CalculateTimer->setInterval(10);
    CalculateTimer->setSingleShot(true);
    GradeTextTimer = new QTimer(this);
    GradeTextTimer->setInterval(100);
    HousekeepingTimer = new QTimer(this);
    HousekeepingTimer->setInterval(100);

    connectHandlers();
}

void GradeForm::buildPanels() {
    ClassInfoFrame = new QGroupBox("Class Information", this);
    ClassInfoFrame->setObjectName("ClassInfoFrame");
    ClassInfoFrame->resize(twips::toPixels(kClassFrameWidth), twips::toPixels(kClassFrameHeight));
    NameLabel = label(ClassInfoFrame, "Name", {8, 20, 40, 22});
    ClassNameBox = box(ClassInfoFrame, "ClassNameBox", 30, {50, 20, 250, 22});
    TermLabel = label(ClassInfoFrame, "Term", {314, 20, 36, 22});
    TermBox = box(ClassInfoFrame, "TermBox", 20, {352, 20, 220, 22});
    NotesLabel = label(ClassInfoFrame, "Notes", {8, 44, 40, 22});
    NotesBox = box(ClassInfoFrame, "NotesBox", 50, {50, 44, 400, 22});
    WeigtLabel = label(ClassInfoFrame, "Use Weights", {466, 44, 80, 22});
    UseWeightsBox = new QCheckBox(ClassInfoFrame);
    UseWeightsBox->setObjectName("UseWeightsBox");
    UseWeightsBox->setGeometry(550, 46, 20, 20);
    ClassInfoFrame->move(0, twips::toPixels(kClassFrameTop));

    AsnInfoFrame = new QGroupBox("Assignment Information", this);
    AsnInfoFrame->setObjectName("AsnInfoFrame");
    AsnInfoFrame->resize(twips::toPixels(kAsnFrameWidth), twips::toPixels(kAsnFrameHeight));
    DescriptionLabel = label(AsnInfoFrame, "Description:", {6, 18, 72, 22});
    DescriptionBox = box(AsnInfoFrame, "DescriptionBox", 50, {78, 18, 170, 22});
    MaxPointsLabel = label(AsnInfoFrame, "Max Points:", {254, 18, 66, 22});
    MaxPointsBox = box(AsnInfoFrame, "MaxPointsBox", 0, {320, 18, 50, 22});
    AsnWeightLabel = label(AsnInfoFrame, "Weight:", {376, 18, 44, 22});
    WeightBox = box(AsnInfoFrame, "WeightBox", 0, {420, 18, 40, 22});
    DateLabel = label(AsnInfoFrame, "Date:", {466, 18, 32, 22});
    DateBox = box(AsnInfoFrame, "DateBox", 0, {498, 18, 78, 22});

    for (QLineEdit* b : {ClassNameBox, DescriptionBox, MaxPointsBox, WeightBox, DateBox}) b->installEventFilter(this);
}

void GradeForm::buildMenus() {
    FileMenu = new QMenu("&File", this);
    ChangePWMenu = FileMenu->addAction("Change Password");
    CloseTRMenu = FileMenu->addAction("Close ");

    FormatMenu = new QMenu("F&ormat", this);
    HideClassInfoMenu = FormatMenu->addAction(kHideClass);
    HideAsnInfoMenu = FormatMenu->addAction(kHideAsn);
    ColWidthMenu = FormatMenu->addAction("Column Width");

    ReportsMenu = new QMenu("&Reports", this);
    StudentReportsMenu = ReportsMenu->addAction("Student Reports");
    AsnReportsMenu = ReportsMenu->addAction("Assignment Reports");
    ClassReportsMenu = ReportsMenu->addAction("Class Reports");
    ReportsMenu->addSeparator();
    AddCusRepMenu = ReportsMenu->addAction("Add Custom Report");

    ClassesMenu = new QMenu("&Classes", this);
    AddClassMenu = ClassesMenu->addAction("Add Class");
    SelectClassMenu = ClassesMenu->addAction("Select Class");
    ChangeClsRstrMenu = ClassesMenu->addAction("Change Class Roster");
    DeleteClassMenu = ClassesMenu->addAction("Delete Class");

    StudentsMenu = new QMenu("&Students", this);
    DeleteStudentMenu = StudentsMenu->addAction("Delete Student");
    StudentInfoMenu = StudentsMenu->addAction("View Information");

    AssignmentsMenu = new QMenu("&Assignments", this);
    AddAssignmentMenu = AssignmentsMenu->addAction("Add Assignment");
    DeleteAssignmentMenu = AssignmentsMenu->addAction("Delete Assigment");

    Help = new HelpItems(m_ctx, this);
    HelpMenu = Help->menu;
}

QList<QAction*> GradeForm::ChildMenus() const {
    QList<QAction*> entries;
    for (QMenu* m : {FileMenu, FormatMenu, ReportsMenu, ClassesMenu, StudentsMenu, AssignmentsMenu, HelpMenu})
        entries << m->menuAction();
    return entries;
}

void GradeForm::connectHandlers() {
    connect(GradeGrid, &GridControl::RowColChange, this, &GradeForm::GradeGrid_RowColChange);
    connect(GradeGrid, &GridControl::CurrentCellClicked, this, [this] {
        // A click on the current cell edits it too, even when the editor was hidden.
        if (!GradeText->isVisible()) GradeGrid_RowColChange();
    });
    connect(GradeText, &QLineEdit::textChanged, this, &GradeForm::GradeText_Change);
    connect(GradeTextTimer, &QTimer::timeout, this, &GradeForm::GradeTextTimer_Timer);
    connect(CalculateTimer, &QTimer::timeout, this, &GradeForm::CalculateTimer_Timer);
    connect(HousekeepingTimer, &QTimer::timeout, this, &GradeForm::HousekeepingTimer_Timer);

    connect(ClassNameBox, &QLineEdit::textChanged, this, &GradeForm::ClassNameBox_Change);
    connect(TermBox, &QLineEdit::textChanged, this, &GradeForm::TermBox_Change);
    connect(NotesBox, &QLineEdit::textChanged, this, &GradeForm::NotesBox_Change);
    connect(UseWeightsBox, &QCheckBox::clicked, this, &GradeForm::UseWeightsBox_Click);
    connect(DescriptionBox, &QLineEdit::textChanged, this, &GradeForm::DescriptionBox_Change);
    connect(MaxPointsBox, &QLineEdit::textChanged, this, &GradeForm::MaxPointsBox_Change);
    connect(WeightBox, &QLineEdit::textChanged, this, &GradeForm::WeightBox_Change);
    connect(DateBox, &QLineEdit::textChanged, this, &GradeForm::DateBox_Change);

    connect(ChangePWMenu, &QAction::triggered, this, &GradeForm::ChangePWMenu_Click);
    connect(CloseTRMenu, &QAction::triggered, this, &GradeForm::CloseTRMenu_Click);
    connect(HideClassInfoMenu, &QAction::triggered, this, &GradeForm::HideClassInfoMenu_Click);
    connect(HideAsnInfoMenu, &QAction::triggered, this, &GradeForm::HideAsnInfoMenu_Click);
    connect(ColWidthMenu, &QAction::triggered, this, &GradeForm::ColWidthMenu_Click);
    connect(AddClassMenu, &QAction::triggered, this, &GradeForm::AddClassMenu_Click);
    connect(SelectClassMenu, &QAction::triggered, this, &GradeForm::SelectClassMenu_Click);
    connect(ChangeClsRstrMenu, &QAction::triggered, this, &GradeForm::ChangeClsRstrMenu_Click);
    connect(AddAssignmentMenu, &QAction::triggered, this, &GradeForm::AddAssignmentMenu_Click);
    connect(DeleteClassMenu, &QAction::triggered, this, &GradeForm::DeleteClassMenu_Click);
    connect(DeleteStudentMenu, &QAction::triggered, this, &GradeForm::DeleteStudentMenu_Click);
    connect(DeleteAssignmentMenu, &QAction::triggered, this, &GradeForm::DeleteAssignmentMenu_Click);
    connect(StudentInfoMenu, &QAction::triggered, this, &GradeForm::StudentInfoMenu_Click);
    connect(StudentReportsMenu, &QAction::triggered, this, &GradeForm::StudentReportsMenu_Click);
    connect(AsnReportsMenu, &QAction::triggered, this, &GradeForm::AsnReportsMenu_Click);
    connect(ClassReportsMenu, &QAction::triggered, this, &GradeForm::ClassReportsMenu_Click);
    connect(AddCusRepMenu, &QAction::triggered, this, &GradeForm::AddCusRepMenu_Click);
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void GradeForm::Form_Load() {
    HousekeepingTimer->stop();
    m_ctx.state.Loading = true;
    m_ctx.state.ColumnWidth = 800;
    GradeGrid->hide();
    GradeText->hide();
    ClassInfoFrame->hide();
    AsnInfoFrame->hide();
    QCoreApplication::processEvents();
    m_ctx.state.Loading = false;
    m_ctx.state.NeedRefresh = true;
}

void GradeForm::Form_Activate() {
    if (m_ctx.state.NeedRefresh) {
        UpdateForm();
        m_ctx.state.NeedRefresh = false;
    }
    HousekeepingTimer->start();
}

void GradeForm::Form_Deactivate() { HousekeepingTimer->stop(); }

void GradeForm::Form_Resize() { PositionGradeGrid(); }

void GradeForm::Form_Unload() {
    HousekeepingTimer->stop();
    CalculateTimer->stop();
    GradeTextTimer->stop();
}

// ---------------------------------------------------------------------------------------------
// Loading and layout

void GradeForm::QueryRS() {
    auto& st = m_ctx.state;
    try {
        const QString id = QString::number(st.CurrentClassID);
        st.RosterRS = st.CurrentDB.OpenDynaset(
            "SELECT FirstName, LastName, Students.StudentID, StudentClass.ClassID FROM Students INNER JOIN "
            "StudentClass ON Students.StudentID = StudentClass.StudentID ORDER BY LastName, FirstName",
            "ClassID = " + id);
        st.ClassAssignmentsRS = st.CurrentDB.OpenDynaset("SELECT * FROM Assignments WHERE ClassID = " + id + " ORDER BY Date");
        QueryOK = true;
    } catch (const DbError& e) {
        m_ctx.ui.MsgBox("QueryRecordset - " + e.description());
        QueryOK = false;
    }
}

void GradeForm::FillGradeGrid() {
    auto& st = m_ctx.state;
    auto step = [&](auto&& action) {
        return steps::Report(m_ctx.ui, "GradeForm.FillGradeGrid ", action, {engine::ErrNoCurrentRecord});
    };
    QCoreApplication::processEvents();
    HousekeepingTimer->stop();
    m_ctx.ui.SetBusy(true);
    Filling = true;

    QueryRS();
    if (!QueryOK) {
        Filling = false;
        m_ctx.ui.SetBusy(false);
        return;
    }

    const int fixedRows = GradeGrid->FixedRows();
    const int fixedCols = GradeGrid->FixedCols();
    int students = 0;
    int assignments = 0;
    step([&] { students = st.RosterRS.RecordCount(); });
    step([&] { assignments = st.ClassAssignmentsRS.RecordCount(); });
    const int rows = students > 0 ? students + fixedRows : fixedRows + 1;
    const int cols = assignments > 0 ? assignments + fixedCols + 1 : fixedCols + 1;

    StudentIDs = QVector<std::int32_t>(rows + 1, 0);
    AssignmentIDs = QVector<std::int32_t>(cols, 0);
    GradeGrid->beginFill();
    GradeGrid->setRows(rows);
    GradeGrid->setCols(cols);
    GradeGrid->Clear();

    for (int c = fixedCols; c < cols; ++c) {
        GradeGrid->setColAlignment(c, GridControl::AlignCenter);
        GradeGrid->setColWidth(c, st.ColumnWidth);
    }
    GradeGrid->setColWidth(0, 1400);
    GradeGrid->setColWidth(1, 800);
    GradeGrid->setFixedAlignment(1, GridControl::AlignCenter);
    GradeGrid->setTextMatrix(0, fixedCols - 1, "Average");
    GradeGrid->setTextMatrix(0, fixedCols, "Grade");

    QHash<std::int32_t, int> rowOf;
    QHash<std::int32_t, int> colOf;
    if (students > 0) {
        struct Entry {
            QString last, first;
            std::int32_t id;
            QCollatorSortKey lastKey, firstKey;
        };
        QList<Entry> roster;
        // Names in the order a person looks for them ("Çelik" with the Cs), not in byte order.
        const QCollator collator = runtime::NameCollator();
        step([&] {
            st.RosterRS.MoveFirst();
            while (!st.RosterRS.AtEOF()) {
                const QString last = st.RosterRS.field("LastName").toString();
                const QString first = st.RosterRS.field("FirstName").toString();
                roster.append({last, first, st.RosterRS.field("StudentID").toInt(), collator.sortKey(last),
                               collator.sortKey(first)});
                st.RosterRS.MoveNext();
            }
        });
        std::stable_sort(roster.begin(), roster.end(), [](const Entry& a, const Entry& b) {
            const int byLast = a.lastKey.compare(b.lastKey);
            return byLast != 0 ? byLast < 0 : a.firstKey.compare(b.firstKey) < 0;
        });
        for (int i = 0; i < roster.size() && fixedRows + i < rows; ++i) {
            GradeGrid->setTextMatrix(fixedRows + i, 0, roster[i].last + ", " + roster[i].first);
            StudentIDs[fixedRows + i] = roster[i].id;
            rowOf.insert(roster[i].id, fixedRows + i);
        }
    }
    if (assignments > 0) {
        step([&] {
            st.ClassAssignmentsRS.MoveFirst();
            for (int c = fixedCols + 1; c < cols && !st.ClassAssignmentsRS.AtEOF(); ++c) {
                GradeGrid->setTextMatrix(0, c, st.ClassAssignmentsRS.field("Description").toString());
                AssignmentIDs[c] = st.ClassAssignmentsRS.field("AssignmentID").toInt();
                colOf.insert(AssignmentIDs[c], c);
                st.ClassAssignmentsRS.MoveNext();
            }
        });
    }
    if (students > 0 && assignments > 0) {
        // The class's enrolments and scores are read in one pass each and put in their cells; the
        // file's size does not enter into it.
        step([&] {
            st.CurrentDB.ForEach("SELECT StudentID, Average, Grade FROM StudentClass WHERE ClassID = ?", {st.CurrentClassID},
                                 [&](const engine::Database::Row& e) {
                                     const int r = rowOf.value(e.toInt(0), -1);
                                     if (r < 0) return;
                                     GradeGrid->setTextMatrix(
                                         r, fixedCols - 1, e.isNull(1) ? QString() : runtime::FormatPercent(e.toDouble(1)));
                                     GradeGrid->setTextMatrix(r, fixedCols, e.toString(2));
                                 });
        });
        // Scores repeat (a class has many 8s and 9.5s): each is formatted once.
        QHash<double, QString> shown;
        step([&] {
            st.CurrentDB.ForEach(
                "SELECT Scores.StudentID, Scores.AssignmentID, Scores.Score FROM Scores INNER JOIN Assignments ON "
                "Scores.AssignmentID = Assignments.AssignmentID WHERE Assignments.ClassID = ?",
                {st.CurrentClassID}, [&](const engine::Database::Row& s) {
                    const int r = rowOf.value(s.toInt(0), -1);
                    const int c = colOf.value(s.toInt(1), -1);
                    if (r < 0 || c < 0 || s.isNull(2)) return;
                    const double score = s.toDouble(2);
                    auto it = shown.find(score);
                    if (it == shown.end()) it = shown.insert(score, runtime::FormatSingle(score));
                    GradeGrid->setTextMatrix(r, c, it.value());
                });
        });
    }
    GradeGrid->endFill();

    // The fill leaves the last cell current, and the assignment panel on its column.
    GradeGrid->setCurrentCell(rows - 1, cols - 1);
    GradeGrid->scrollToTop();
    step([&] {
        st.AssignmentsRS.setIndex("AssignmentID");
        st.AssignmentsRS.Seek("=", AssignmentIDs.value(GradeGrid->Col()));
    });
    FillAssignment();

    GradeText->hide();
    Filling = false;
    m_ctx.ui.SetBusy(false);
    HousekeepingTimer->start();
}

void GradeForm::PositionGradeGrid() {
    const int windowWidth = twips::fromPixels(width());
    const int windowHeight = twips::fromPixels(height());
    const int asnWidth = twips::fromPixels(AsnInfoFrame->width());
    const int classWidth = twips::fromPixels(ClassInfoFrame->width());
    const int asnHeight = twips::fromPixels(AsnInfoFrame->height());
    const int classHeight = twips::fromPixels(ClassInfoFrame->height());
    AsnInfoFrame->move(twips::toPixels(std::max(0, (windowWidth - asnWidth) / 2)), AsnInfoFrame->y());
    ClassInfoFrame->move(twips::toPixels(std::max(0, (windowWidth - classWidth) / 2)), ClassInfoFrame->y());

    const bool classShown = HideClassInfoMenu->text() == kHideClass;
    const bool asnShown = HideAsnInfoMenu->text() == kHideAsn;
    int gridTop = 100;
    if (classShown && asnShown) {
        ClassInfoFrame->move(ClassInfoFrame->x(), twips::toPixels(kClassFrameTop));
        ClassInfoFrame->show();
        const int asnTop = kClassFrameTop + classHeight + 100;
        AsnInfoFrame->move(AsnInfoFrame->x(), twips::toPixels(asnTop));
        AsnInfoFrame->show();
        gridTop = asnTop + asnHeight + 100;
    } else if (classShown) {
        ClassInfoFrame->move(ClassInfoFrame->x(), twips::toPixels(kClassFrameTop));
        ClassInfoFrame->show();
        AsnInfoFrame->hide();
        gridTop = kClassFrameTop + classHeight + 100;
    } else if (asnShown) {
        ClassInfoFrame->hide();
        AsnInfoFrame->move(AsnInfoFrame->x(), twips::toPixels(100));
        AsnInfoFrame->show();
        gridTop = asnHeight + 100 + 100;
    } else {
        ClassInfoFrame->hide();
        AsnInfoFrame->hide();
    }
    const int gridWidth = windowWidth - 200;
    const int gridHeight = windowHeight - gridTop - 500;
    GradeGrid->setGeometry(twips::toPixels(100), twips::toPixels(gridTop), std::max(0, twips::toPixels(gridWidth)),
                           std::max(0, twips::toPixels(gridHeight)));
}

void GradeForm::ShowGradeGrid() {
    GradeGrid->show();
    HideAsnInfoMenu->setEnabled(true);
    HideClassInfoMenu->setEnabled(true);
    ColWidthMenu->setEnabled(true);
    PositionGradeGrid();
    GradeGrid->scrollToTop();
    GradeText->raise();
}

void GradeForm::HideGradeGrid() {
    GradeGrid->hide();
    GradeText->hide();
    HideAsnInfoMenu->setEnabled(false);
    HideClassInfoMenu->setEnabled(false);
    ColWidthMenu->setEnabled(false);
}

void GradeForm::UpdateForm() {
    auto& st = m_ctx.state;
    Updating = true;
    bool found = false;
    steps::Ignore([&] {
        st.ClassesRS.setIndex("ClassID");
        st.ClassesRS.Seek("=", st.CurrentClassID);
        found = !st.ClassesRS.NoMatch();
    });
    ChangeClsRstrMenu->setEnabled(found);
    AddAssignmentMenu->setEnabled(found);
    DeleteAssignmentMenu->setEnabled(found);
    if (!found) {
        HideGradeGrid();
        HideAsnInfoMenu->setText(kShowAsn);
        AsnInfoFrame->hide();
        HideClassInfoMenu->setText(kShowClass);
        ClassInfoFrame->hide();
        PositionGradeGrid();
    } else {
        FillClassInfo();
        FillAssignment();
        FillGradeGrid();
        ShowGradeGrid();
    }
    Updating = false;
}

// ---------------------------------------------------------------------------------------------
// Score entry

void GradeForm::GradeGrid_RowColChange() {
    if (Calculating || Filling) return;
    auto& st = m_ctx.state;
    steps::Ignore([&] {
        st.AssignmentsRS.setIndex("AssignmentID");
        st.AssignmentsRS.Seek("=", AssignmentIDs.value(GradeGrid->Col()));
    });
    FillAssignment();
    GradeText->hide();
    EditRow = GradeGrid->Row();
    EditCol = GradeGrid->Col();
    ShowGradeText();
    // Showing the cell's own value in the editor stores nothing.
    m_showingCell = true;
    GradeText->setText(GradeGrid->TextMatrix(EditRow, EditCol));
    m_showingCell = false;
    GradeText->show();
    GradeTextTimer->start();
}

void GradeForm::ShowGradeText() {
    const int top = GradeGrid->RowPos(EditRow) + twips::fromPixels(GradeGrid->y()) + 15;
    const int left = GradeGrid->ColPos(EditCol) + twips::fromPixels(GradeGrid->x()) + 15;
    const int w = GradeGrid->ColWidth(EditCol) - 15;
    const int h = GradeGrid->RowHeight(EditRow) - 15;
    GradeText->setGeometry(twips::toPixels(left), twips::toPixels(top), twips::toPixels(w), twips::toPixels(h));
}

void GradeForm::GradeTextTimer_Timer() {
    if (Calculating) return;  // try again at the next tick
    if (GradeText->isVisible()) {
        CalcRow = EditRow;
        GradeText->raise();
        GradeText->setFocus();
        GradeText->selectAll();
    }
    GradeTextTimer->stop();
}

void GradeForm::GradeText_Change() {
    if (m_showingCell) return;
    if (EditRow < 0 || EditRow >= StudentIDs.size() || StudentIDs[EditRow] <= 0) return;
    auto& st = m_ctx.state;
    const QString text = GradeText->text();
    if (EditCol == GradeGrid->FixedCols()) {
        GradeGrid->setTextMatrix(EditRow, EditCol, runtime::Trim(text));
        steps::Report(m_ctx.ui, "The grade could not be stored: ", [&] {
            st.StudentClassRS.setIndex("StudentClassIndex");
            st.StudentClassRS.Seek("=", StudentIDs[EditRow], st.CurrentClassID);
            if (!st.StudentClassRS.NoMatch()) {
                st.StudentClassRS.Edit();
            } else {
                st.StudentClassRS.AddNew();
                st.StudentClassRS.setField("StudentID", StudentIDs[EditRow]);
                st.StudentClassRS.setField("ClassID", st.CurrentClassID);
            }
            st.StudentClassRS.setField("Grade", text);
            st.StudentClassRS.Update();
        });
        return;
    }
    if (runtime::Trim(text).isEmpty() || runtime::IsNumeric(text)) {
        UpdateScore();
        CalcRow = EditRow;
        CalculateTimer->start();
        return;
    }
    m_ctx.ui.MsgBox("Please enter a number.");
}

void GradeForm::UpdateScore() {
    auto& st = m_ctx.state;
    const QString text = runtime::Trim(GradeText->text());
    GradeGrid->setTextMatrix(EditRow, EditCol, text);
    const std::int32_t student = StudentIDs.value(EditRow);
    const std::int32_t assignment = AssignmentIDs.value(EditCol);
    try {
        st.ScoresRS.setIndex("ScoreIndex");
        st.ScoresRS.Seek("=", student, assignment);
        if (text.isEmpty()) {
            if (!st.ScoresRS.NoMatch()) st.ScoresRS.Delete();
            return;
        }
        const QVariant value = runtime::ParseNumber(text).value_or(0.0);
        if (st.ScoresRS.NoMatch()) {
            st.ScoresRS.AddNew();
            st.ScoresRS.setField("Score", value);
            st.ScoresRS.setField("StudentID", student);
            st.ScoresRS.setField("AssignmentID", assignment);
            st.ScoresRS.setField("Late", false);
            st.ScoresRS.setField("Drop", false);
        } else {
            st.ScoresRS.Edit();
            st.ScoresRS.setField("Score", value);
        }
        st.ScoresRS.Update();
    } catch (const DbError& e) {
        if (e.number() == engine::ErrRelatedRecordRequired) return;
        // Reported once; the cell and the editor show what the file holds, so nothing typed
        // looks stored when it is not.
        m_ctx.ui.MsgBox("The score could not be stored: " + e.description());
        showStoredScore();
    }
}

void GradeForm::showStoredScore() {
    auto& st = m_ctx.state;
    QString stored;
    steps::Ignore([&] {
        st.ScoresRS.Seek("=", StudentIDs.value(EditRow), AssignmentIDs.value(EditCol));
        if (!st.ScoresRS.NoMatch()) stored = scoreText(st.ScoresRS.field("Score"));
    });
    GradeGrid->setTextMatrix(EditRow, EditCol, stored);
    m_showingCell = true;
    GradeText->setText(stored);
    m_showingCell = false;
}

void GradeForm::HousekeepingTimer_Timer() {
    if (EditRow < GradeGrid->Rows() && EditCol < GradeGrid->Cols()) {
        if (GradeGrid->RowIsVisible(EditRow) && GradeGrid->ColIsVisible(EditCol)) {
            if (GradeText->isVisible()) ShowGradeText();
        } else {
            GradeText->hide();
        }
    }
    UpdateMenus();
}

bool GradeForm::moveEditor(int row, int col) {
    if (row < GradeGrid->FixedRows() || row >= GradeGrid->Rows() || col < GradeGrid->FixedCols() || col >= GradeGrid->Cols())
        return false;
    GradeGrid->setCurrentCell(row, col);
    GradeTextTimer->stop();
    GradeTextTimer_Timer();  // the editor keeps the keyboard: the new cell is ready for typing at once
    return true;
}

bool GradeForm::editorKey(QKeyEvent* key) {
    const bool wholeSelected = !GradeText->text().isEmpty() && GradeText->selectedText() == GradeText->text();
    const bool atStart = wholeSelected || (!GradeText->hasSelectedText() && GradeText->cursorPosition() == 0);
    const bool atEnd =
        wholeSelected || (!GradeText->hasSelectedText() && GradeText->cursorPosition() == GradeText->text().size());
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down:
            moveEditor(EditRow + 1, EditCol);
            return true;
        case Qt::Key_Up:
            moveEditor(EditRow - 1, EditCol);
            return true;
        case Qt::Key_Tab:
            moveEditor(EditRow, EditCol + 1);
            return true;
        case Qt::Key_Backtab:
            moveEditor(EditRow, EditCol - 1);
            return true;
        case Qt::Key_Left:
            return atStart && moveEditor(EditRow, EditCol - 1);
        case Qt::Key_Right:
            return atEnd && moveEditor(EditRow, EditCol + 1);
        default:
            return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Averages

void GradeForm::CalculateAverage() {
    auto& st = m_ctx.state;
    if (CalcRow < 1 || CalcRow >= GradeGrid->Rows()) return;
    const std::int32_t student = StudentIDs.value(CalcRow);
    if (student <= 0) return;  // the empty row of a class without students

    st.ClassesRS.setIndex("ClassID");
    st.ClassesRS.Seek("=", st.CurrentClassID);
    const bool weighted = !st.ClassesRS.NoMatch() && st.ClassesRS.field("UseWeight").toInt() == 1;

    // The student's scores on the assignments in the grid's columns; an assignment without a score
    // counts neither as zero nor as full marks.
    const auto rows = st.CurrentDB.Select(
        "SELECT Scores.AssignmentID, Scores.Score, Assignments.MaximumPoints, Assignments.Weight FROM Scores INNER JOIN "
        "Assignments ON Scores.AssignmentID = Assignments.AssignmentID WHERE Scores.StudentID = ? AND Assignments.ClassID = ?",
        {student, st.CurrentClassID});
    QList<averages::Scored> scored;
    for (const QVariantList& r : rows) {
        if (!AssignmentIDs.contains(r[0].toInt())) continue;
        QVariant weight = r[3];
        if (weighted && weight.isNull()) {
            st.AssignmentsRS.setIndex("AssignmentID");
            st.AssignmentsRS.Seek("=", r[0]);
            st.AssignmentsRS.Edit();
            st.AssignmentsRS.setField("Weight", 1);
            st.AssignmentsRS.Update();
            weight = 1;
        }
        scored.append({r[1], r[2], weight});
    }
    const double average = averages::Compute(scored, weighted);

    st.StudentClassRS.setIndex("StudentClassIndex");
    st.StudentClassRS.Seek("=", student, st.CurrentClassID);
    if (!st.StudentClassRS.NoMatch()) {
        st.StudentClassRS.Edit();
        st.StudentClassRS.setField("Average", average);
        st.StudentClassRS.Update();
    }
    GradeGrid->setTextMatrix(CalcRow, GradeGrid->FixedCols() - 1, runtime::FormatPercent(runtime::ToSingle(average)));
}

void GradeForm::CalculateTimer_Timer() {
    FocusControl = QApplication::focusWidget();
    const int row = GradeGrid->Row();
    const int col = GradeGrid->Col();
    Calculating = true;
    steps::Ignore([&] { CalculateAverage(); });
    CalculateTimer->setInterval(10);
    CalculateTimer->stop();
    GradeGrid->setCurrentCell(row, col);
    if (FocusControl) FocusControl->setFocus();
    Calculating = false;
}

void GradeForm::RecalculateAll() {
    auto& db = m_ctx.state.CurrentDB;
    // One transaction for the whole class: every row's average lands together, and quickly.
    const bool grouped = steps::Ignore([&] { db.BeginTrans(); });
    for (int row = 1; row < GradeGrid->Rows(); ++row) {
        CalcRow = row;
        steps::Ignore([&] { CalculateAverage(); });
    }
    if (grouped) steps::Report(m_ctx.ui, "The averages could not be stored: ", [&] { db.CommitTrans(); });
    // Typing goes on in the cell being edited: its row is the one to recompute next.
    CalcRow = EditRow;
}

// ---------------------------------------------------------------------------------------------
// Class panel

void GradeForm::FillClassInfo() {
    auto& rs = m_ctx.state.ClassesRS;
    steps::Ignore([&] { ClassNameBox->setText(rs.field("ClassName").toString()); });
    steps::Ignore([&] { TermBox->setText(rs.field("Term").toString()); });
    steps::Ignore([&] { NotesBox->setText(rs.field("Notes").toString()); });
    steps::Ignore([&] {
        if (rs.field("UseWeight").isNull()) {
            rs.Edit();
            rs.setField("UseWeight", 0);
            rs.Update();
        }
    });
    steps::Ignore([&] { UseWeightsBox->setChecked(rs.field("UseWeight").toInt() == 1); });
}

void GradeForm::storeClassField(const QString& field, const QVariant& value, const QString& what) {
    auto& rs = m_ctx.state.ClassesRS;
    steps::Report(m_ctx.ui, "The " + what + " could not be stored: ", [&] {
        rs.setIndex("ClassID");
        rs.Seek("=", m_ctx.state.CurrentClassID);
        rs.Edit();
        rs.setField(field, value);
        rs.Update();
    });
}

void GradeForm::ClassNameBox_Change() {
    if (m_ctx.state.Loading || Updating) return;  // filling the panel stores nothing
    const QString name = runtime::Trim(ClassNameBox->text());
    if (!name.isEmpty()) storeClassField("ClassName", name, "class name");
}

void GradeForm::ClassNameBox_LostFocus() {
    if (!ClassInfoFrame->isVisible() || !ClassNameBox->text().isEmpty()) return;
    m_ctx.ui.MsgBox("Class name must be at least 1 character.");
    auto& rs = m_ctx.state.ClassesRS;
    steps::Ignore([&] {
        rs.setIndex("ClassID");
        rs.Seek("=", m_ctx.state.CurrentClassID);
        const bool updating = Updating;
        Updating = true;
        ClassNameBox->setText(rs.field("ClassName").toString());
        Updating = updating;
    });
}

void GradeForm::TermBox_Change() {
    if (m_ctx.state.Loading || Updating) return;
    storeClassField("Term", TermBox->text(), "term");
}

void GradeForm::NotesBox_Change() {
    if (m_ctx.state.Loading || Updating) return;
    storeClassField("Notes", NotesBox->text(), "notes");
}

void GradeForm::UseWeightsBox_Click() {
    if (m_ctx.state.Loading || Updating) return;
    m_ctx.ui.SetBusy(true);
    storeClassField("UseWeight", UseWeightsBox->isChecked() ? 1 : 0, "choice of weights");
    Filling = true;
    Calculating = true;
    RecalculateAll();
    Filling = false;
    Calculating = false;
    m_ctx.ui.SetBusy(false);
}

// ---------------------------------------------------------------------------------------------
// Assignment panel

void GradeForm::FillAssignment() {
    auto& rs = m_ctx.state.AssignmentsRS;
    FillingAssignment = true;
    try {
        AsnBookmark = rs.Bookmark();
    } catch (const DbError& e) {
        if (e.number() == engine::ErrNoCurrentRecord || e.number() == engine::ErrObjectInvalid) {
            // No assignment to show: the boxes are emptied, and edits in them change nothing.
            m_assignmentShown = false;
            for (QLineEdit* b : {DescriptionBox, MaxPointsBox, WeightBox, DateBox}) b->clear();
            return;
        }
        if (e.number() != engine::ErrRecordDeleted) m_ctx.ui.MsgBox("FillAssignment " + e.description());
    }
    m_assignmentShown = true;
    auto step = [&](auto&& action) {
        steps::Report(m_ctx.ui, "FillAssignment ", action, {engine::ErrRecordDeleted});
    };
    step([&] { DescriptionBox->setText(rs.field("Description").toString()); });
    step([&] { MaxPointsBox->setText(scoreText(rs.field("MaximumPoints"))); });
    step([&] {
        const QDate date = rs.field("Date").toDate();
        DateBox->setText(date.isValid() ? date.toString("MM/dd/yyyy") : QString());
    });
    step([&] {
        if (rs.field("Weight").isNull()) {
            rs.Edit();
            rs.setField("Weight", 1);
            rs.Update();
        }
    });
    step([&] { WeightBox->setText(scoreText(rs.field("Weight"))); });
    FillingAssignment = false;
}

bool GradeForm::moveToShownAssignment() {
    if (!m_assignmentShown) return false;
    return steps::Ignore([&] { m_ctx.state.AssignmentsRS.setBookmark(AsnBookmark); });
}

void GradeForm::storeAssignmentField(const QString& field, const QVariant& value) {
    if (FillingAssignment || !moveToShownAssignment()) return;  // showing an assignment stores nothing
    auto& rs = m_ctx.state.AssignmentsRS;
    steps::Report(m_ctx.ui, "The assignment could not be changed: ", [&] {
        rs.Edit();
        rs.setField(field, value);
        rs.Update();
    });
}

void GradeForm::DescriptionBox_Change() {
    const QString text = DescriptionBox->text();
    if (!runtime::Trim(text).isEmpty()) storeAssignmentField("Description", runtime::Trim(text));
    if (!FillingAssignment) DescriptionChanged = true;
}

void GradeForm::MaxPointsBox_Change() {
    const auto value = runtime::ParseNumber(MaxPointsBox->text());
    if (value && runtime::FitsSingle(*value)) storeAssignmentField("MaximumPoints", *value);
    if (!FillingAssignment) MaxPointsChanged = true;
}

void GradeForm::WeightBox_Change() {
    const auto value = runtime::ParseNumber(WeightBox->text());
    if (value && runtime::FitsSingle(*value)) storeAssignmentField("Weight", *value);
    if (!FillingAssignment) WeightChanged = true;
}

void GradeForm::DateBox_Change() {
    if (const auto date = runtime::ParseDate(DateBox->text())) storeAssignmentField("Date", *date);
    if (!FillingAssignment) DateChanged = true;
}

void GradeForm::DescriptionBox_LostFocus() {
    if (!DescriptionChanged) return;
    auto& st = m_ctx.state;
    Filling = true;
    steps::Ignore([&] {
        st.ClassAssignmentsRS.Requery();
        if (st.ClassAssignmentsRS.RecordCount() == 0) return;
        st.ClassAssignmentsRS.MoveFirst();
        for (int c = GradeGrid->FixedCols() + 1; c < GradeGrid->Cols() && !st.ClassAssignmentsRS.AtEOF(); ++c) {
            GradeGrid->setTextMatrix(0, c, st.ClassAssignmentsRS.field("Description").toString());
            AssignmentIDs[c] = st.ClassAssignmentsRS.field("AssignmentID").toInt();
            st.ClassAssignmentsRS.MoveNext();
        }
    });
    Filling = false;
    DescriptionChanged = false;
}

void GradeForm::numberBoxLostFocus(QLineEdit* box, bool& changed, const QString& field, const QString& message) {
    if (!changed) return;
    const auto value = runtime::ParseNumber(box->text());
    if (!value || !runtime::FitsSingle(*value)) {
        m_ctx.ui.MsgBox(message);
        if (moveToShownAssignment()) steps::Ignore([&] { box->setText(scoreText(m_ctx.state.AssignmentsRS.field(field))); });
    } else {
        Filling = true;
        Calculating = true;
        RecalculateAll();
        Filling = false;
        Calculating = false;
    }
    changed = false;
}

void GradeForm::MaxPointsBox_LostFocus() {
    numberBoxLostFocus(MaxPointsBox, MaxPointsChanged, "MaximumPoints",
                       "Please enter a valid number for the maximum number of points.");
}

void GradeForm::WeightBox_LostFocus() {
    numberBoxLostFocus(WeightBox, WeightChanged, "Weight", "Please enter a valid number for the weight.");
}

void GradeForm::DateBox_LostFocus() {
    if (!DateChanged) return;
    if (!runtime::IsDate(DateBox->text())) {
        m_ctx.ui.MsgBox("Please enter a valid date.");
        if (moveToShownAssignment())
            steps::Ignore([&] { DateBox->setText(runtime::FormatShortDate(m_ctx.state.AssignmentsRS.field("Date").toDate())); });
    }
    DateChanged = false;
    FillGradeGrid();
}

bool GradeForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == GradeText && event->type() == QEvent::KeyPress) {
        if (editorKey(static_cast<QKeyEvent*>(event))) return true;
    }
    if (event->type() == QEvent::FocusOut) {
        if (watched == ClassNameBox) ClassNameBox_LostFocus();
        if (watched == DescriptionBox) DescriptionBox_LostFocus();
        if (watched == MaxPointsBox) MaxPointsBox_LostFocus();
        if (watched == WeightBox) WeightBox_LostFocus();
        if (watched == DateBox) DateBox_LostFocus();
    }
    return Form::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Menus

void GradeForm::UpdateMenus() {
    auto& st = m_ctx.state;
    auto hasRows = [](engine::Recordset& rs) {
        int count = 0;
        steps::Ignore([&] { count = rs.RecordCount(); });
        return count >= 1;
    };
    const bool students = hasRows(st.StudentsRS);
    DeleteStudentMenu->setEnabled(students);
    StudentInfoMenu->setEnabled(students);
    StudentReportsMenu->setEnabled(students);
    const bool classes = hasRows(st.ClassesRS);
    SelectClassMenu->setEnabled(classes);
    DeleteClassMenu->setEnabled(classes);
    ClassReportsMenu->setEnabled(classes);
    AsnReportsMenu->setEnabled(hasRows(st.AssignmentsRS));
}

void GradeForm::ChangePWMenu_Click() {
    auto& dialog = m_ctx.forms.get<ChangePassword>();
    dialog.setNewFileMode(false);
    m_ctx.forms.showModal(dialog);
}

void GradeForm::CloseTRMenu_Click() {
    HousekeepingTimer->stop();
    datafile::CloseDataFile(m_ctx.state);
    m_ctx.forms.unload<GradeForm>();
}

void GradeForm::HideClassInfoMenu_Click() {
    const bool shown = HideClassInfoMenu->text() == kHideClass;
    HideClassInfoMenu->setText(shown ? kShowClass : kHideClass);
    ClassInfoFrame->setVisible(!shown);
    PositionGradeGrid();
}

void GradeForm::HideAsnInfoMenu_Click() {
    const bool shown = HideAsnInfoMenu->text() == kHideAsn;
    HideAsnInfoMenu->setText(shown ? kShowAsn : kHideAsn);
    AsnInfoFrame->setVisible(!shown);
    PositionGradeGrid();
}

void GradeForm::ColWidthMenu_Click() {
    auto& st = m_ctx.state;
    const auto answer = m_ctx.ui.InputBox("Enter new column width", "Column Width", QString::number(st.ColumnWidth));
    if (!answer) return;
    const auto value = runtime::ParseNumber(*answer);
    if (!value) return;
    const double rounded = std::nearbyint(*value);
    if (rounded <= 0 || rounded > 32767) return;  // no usable width
    st.ColumnWidth = std::int16_t(rounded);
    for (int c = GradeGrid->FixedCols(); c < GradeGrid->Cols(); ++c) {
        GradeGrid->setColAlignment(c, GridControl::AlignCenter);
        GradeGrid->setColWidth(c, st.ColumnWidth);
    }
}

void GradeForm::AddClassMenu_Click() {
    m_ctx.forms.showModal(m_ctx.forms.get<NewClassForm>());
    UpdateForm();
}

void GradeForm::SelectClassMenu_Click() {
    m_ctx.forms.showModal(m_ctx.forms.get<SelClassForm>());
    UpdateForm();
}

void GradeForm::ChangeClsRstrMenu_Click() {
    m_ctx.forms.showModal(m_ctx.forms.get<SelectStudentForm>());
    // The flag stays set: the next activation refreshes once more.
    if (m_ctx.state.NeedRefresh) UpdateForm();
}

void GradeForm::AddAssignmentMenu_Click() {
    m_ctx.forms.showModal(m_ctx.forms.get<NewAssignment>());
    UpdateForm();
}

void GradeForm::DeleteClassMenu_Click() {
    auto& st = m_ctx.state;
    auto& rs = st.ClassesRS;
    bool found = false;
    steps::Ignore([&] {
        rs.setIndex("ClassID");
        rs.Seek("=", st.CurrentClassID);
        found = !rs.NoMatch();
    });
    if (!found) return;
    QString name;
    steps::Ignore([&] { name = rs.field("ClassName").toString(); });
    if (m_ctx.ui.MsgBox("Are you sure you want to delete the class " + name, Ui::Buttons::YesNo) != Ui::Answer::Yes) return;
    steps::Ignore([&] { rs.Delete(); });
    steps::Ignore([&] {
        rs.MoveLast();
        st.CurrentClassID = rs.field("ClassID").toInt();
    });
    UpdateForm();
}

void GradeForm::DeleteStudentMenu_Click() {
    auto& st = m_ctx.state;
    auto& rs = st.StudentsRS;
    try {
        const std::int32_t id = StudentIDs.value(GradeGrid->Row());
        rs.setIndex("StudentID");
        rs.Seek("=", id);
        if (id < 1 || rs.NoMatch()) {
            // No student on the row: the teacher picks one.
            m_ctx.forms.showModal(m_ctx.forms.get<SelectOneStudentForm>());
            if (st.SelectedStudentID <= 0) return;
            rs.Seek("=", st.SelectedStudentID);
            if (rs.NoMatch()) return;
        }
        const QString question = "Are you sure you want to delete the student " + rs.field("FirstName").toString() + " " +
                                 rs.field("LastName").toString();
        if (m_ctx.ui.MsgBox(question, Ui::Buttons::YesNo) != Ui::Answer::Yes) return;
        rs.Delete();
        FillGradeGrid();
    } catch (const DbError&) {
        // The command ends quietly, as it always has.
    }
}

void GradeForm::StudentInfoMenu_Click() {
    auto& st = m_ctx.state;
    st.SelectedStudentID = StudentIDs.value(GradeGrid->Row());
    if (st.SelectedStudentID == 0) {
        m_ctx.forms.showModal(m_ctx.forms.get<SelectOneStudentForm>());
        if (st.SelectedStudentID == -1) return;
    }
    m_ctx.forms.get<MDITallyroll>().ShowChild(m_ctx.forms.get<StudentInfo>());
}

void GradeForm::showReportCatalog(const QString& category) {
    auto& catalog = m_ctx.forms.get<ReportTypeForm>();
    catalog.Tag = category;
    m_ctx.forms.showModal(catalog);
    m_ctx.forms.unload<ReportTypeForm>();
}

void GradeForm::StudentReportsMenu_Click() { showReportCatalog("Student"); }
void GradeForm::AsnReportsMenu_Click() { showReportCatalog("Assignment"); }
void GradeForm::ClassReportsMenu_Click() { showReportCatalog("Class"); }

void GradeForm::AddCusRepMenu_Click() { m_ctx.forms.showModal(m_ctx.forms.get<CustomRepForm>()); }

void GradeForm::DeleteAssignmentMenu_Click() {
    auto& st = m_ctx.state;
    auto& rs = st.AssignmentsRS;
    bool found = false;
    steps::Ignore([&] {
        rs.setIndex("AssignmentID");
        rs.Seek("=", AssignmentIDs.value(GradeGrid->Col()));
        found = !rs.NoMatch();
    });
    if (!found) return;
    QString description;
    steps::Ignore([&] { description = rs.field("Description").toString(); });
    if (m_ctx.ui.MsgBox("Are you sure you want to delete the assignment " + description, Ui::Buttons::YesNo) !=
        Ui::Answer::Yes)
        return;
    if (!steps::Report(m_ctx.ui, "The assignment could not be deleted: ", [&] { rs.Delete(); })) return;
    FillGradeGrid();
    QCoreApplication::processEvents();
    Calculating = true;
    RecalculateAll();
    Calculating = false;
}
