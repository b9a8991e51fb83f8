#include "gradesheet/Averages.h"
#include "gradesheet/GradeForm.h"
#include "platform/ui/GridControl.h"
#include "shell/ChangePassword.h"
#include "shell/MDITallyroll.h"
#include "support/Fixtures.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace fixtures;

namespace {

// A class of three students and three assignments:
//   Q1 (50 points, Sep 1), Q2 (100 points, Sep 5), Q3 (10 points, Sep 10)
//   Abel, Zed: 45, 90, -     Lee, Ann: 40, -, 10     Ray, Bob: no scores
class GradeSheetTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        createDataFile(path("g.TLR"));
        openDataFile(ctx->state, ui, path("g.TLR"));
        auto& db = ctx->state.CurrentDB;
        bio = addClass(db, "Biology", "Fall", 0);
        ann = addStudent(db, "Ann", "Lee");
        bob = addStudent(db, "Bob", "Ray");
        zed = addStudent(db, "Zed", "Abel");
        for (int s : {ann, bob, zed}) enrol(db, bio, s, QVariant(), QVariant());
        q2 = addAssignment(db, bio, "Q2", 100, QDate(2026, 9, 5));
        q1 = addAssignment(db, bio, "Q1", 50, QDate(2026, 9, 1));
        q3 = addAssignment(db, bio, "Q3", 10, QDate(2026, 9, 10));
        addScore(db, zed, q1, 45);
        addScore(db, zed, q2, 90);
        addScore(db, ann, q1, 40);
        addScore(db, ann, q3, 10);
        ctx->state.CurrentClassID = bio;
    }

    GradeForm& open() {
        mdi = &ctx->forms.get<MDITallyroll>();
        mdi->show();
        auto& form = ctx->forms.get<GradeForm>();
        mdi->ShowChild(form);
        return form;
    }

    // Clicks a cell as the teacher does and lets the editor take the keyboard.
    void select(GradeForm& f, int row, int col) {
        QTableView* t = f.GradeGrid->table();
        const QModelIndex index = t->model()->index(row - 1, col);
        t->scrollTo(index);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualRect(index).center());
        f.GradeTextTimer_Timer();
    }

    // Types into the editor one key at a time and lets the average follow.
    void type(GradeForm& f, const QString& keys) {
        for (QChar c : keys) {
            QTest::keyClick(f.GradeText, c.toLatin1());
            if (f.CalculateTimer->isActive()) f.CalculateTimer_Timer();
        }
    }

    QVariant score(int student, int assignment) {
        return scalar(ctx->state.CurrentDB,
                      QString("SELECT Score FROM Scores WHERE StudentID = %1 AND AssignmentID = %2").arg(student).arg(assignment));
    }
    QVariant average(int student) {
        return scalar(ctx->state.CurrentDB,
                      QString("SELECT Average FROM StudentClass WHERE StudentID = %1 AND ClassID = %2").arg(student).arg(bio));
    }
    QStringList row(GradeForm& f, int r) {
        QStringList out;
        for (int c = 0; c < f.GradeGrid->Cols(); ++c) out << f.GradeGrid->TextMatrix(r, c);
        return out;
    }
    void leave(QLineEdit* box) { QCoreApplication::sendEvent(box, new QFocusEvent(QEvent::FocusOut)); }

    MDITallyroll* mdi = nullptr;
    int bio = 0, ann = 0, bob = 0, zed = 0, q1 = 0, q2 = 0, q3 = 0;
};

TEST_F(GradeSheetTest, FillShowsStudentsByNameAndAssignmentsByDate) {
    const QByteArray before = fileBytes("g.TLR");
    GradeForm& f = open();
    EXPECT_EQ(f.windowTitle(), "Grades");
    ASSERT_EQ(f.GradeGrid->Rows(), 4);
    ASSERT_EQ(f.GradeGrid->Cols(), 6);
    EXPECT_EQ(row(f, 0), (QStringList{"", "Average", "Grade", "Q1", "Q2", "Q3"}));
    EXPECT_EQ(row(f, 1), (QStringList{"Abel, Zed", "", "", "45", "90", ""}));
    EXPECT_EQ(row(f, 2), (QStringList{"Lee, Ann", "", "", "40", "", "10"}));
    EXPECT_EQ(row(f, 3), (QStringList{"Ray, Bob", "", "", "", "", ""}));
    EXPECT_EQ(f.StudentIDs.mid(0, 4), (QVector<std::int32_t>{0, zed, ann, bob}));
    EXPECT_EQ(f.AssignmentIDs, (QVector<std::int32_t>{0, 0, 0, q1, q2, q3}));
    EXPECT_EQ(f.GradeGrid->ColWidth(0), 1395);  // 1400 twips at 15 twips a pixel
    EXPECT_EQ(f.GradeGrid->ColWidth(1), 795);
    EXPECT_EQ(f.GradeGrid->ColWidth(3), 795);
    EXPECT_EQ(f.GradeGrid->ColAlignment(3), GridControl::AlignCenter);
    // The panels: the class, and the last assignment column.
    EXPECT_EQ(f.ClassNameBox->text(), "Biology");
    EXPECT_EQ(f.TermBox->text(), "Fall");
    EXPECT_FALSE(f.UseWeightsBox->isChecked());
    EXPECT_EQ(f.DescriptionBox->text(), "Q3");
    EXPECT_EQ(f.MaxPointsBox->text(), "10");
    EXPECT_EQ(f.WeightBox->text(), "1");
    EXPECT_EQ(f.DateBox->text(), "09/10/2026");
    EXPECT_FALSE(f.GradeText->isVisible());
    EXPECT_TRUE(f.GradeGrid->isVisible());
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(fileBytes("g.TLR"), before) << "showing the class stores nothing";
    EXPECT_FALSE(ctx->state.NeedRefresh);
}

TEST_F(GradeSheetTest, NamesSortTheWayAPersonReadsThem) {
    auto& db = ctx->state.CurrentDB;
    for (auto [first, last] : {std::pair{"Ali", "Çelik"}, std::pair{"amy", "lee"}, std::pair{"Cy", "Cole"}})
        enrol(db, bio, addStudent(db, first, last));
    GradeForm& f = open();
    QStringList names;
    for (int r = 1; r < f.GradeGrid->Rows(); ++r) names << f.GradeGrid->TextMatrix(r, 0);
    EXPECT_EQ(names, (QStringList{"Abel, Zed", "Çelik, Ali", "Cole, Cy", "lee, amy", "Lee, Ann", "Ray, Bob"}));
}

TEST_F(GradeSheetTest, StoredAveragesAndGradesAreShownNotRecomputed) {
    auto& db = ctx->state.CurrentDB;
    db.Execute(QString("UPDATE StudentClass SET Average = 0.875, Grade = 'B+' WHERE StudentID = %1").arg(zed));
    db.Execute(QString("DELETE FROM StudentClass WHERE StudentID = %1").arg(bob));
    GradeForm& f = open();
    EXPECT_EQ(row(f, 1).mid(1, 2), (QStringList{"87.50%", "B+"}));
    EXPECT_EQ(row(f, 2).mid(1, 2), (QStringList{"", ""}));
    EXPECT_EQ(f.GradeGrid->Rows(), 3) << "a student no longer enrolled is not listed";
}

TEST_F(GradeSheetTest, MenuBarIsTheGradeSheetsWhileItIsActive) {
    open();
    QStringList titles;
    for (QAction* a : mdi->menuBar()->actions()) titles << a->text().remove('&');
    EXPECT_EQ(titles, (QStringList{"File", "Format", "Reports", "Classes", "Students", "Assignments", "Help"}));
    GradeForm& f = *ctx->forms.find<GradeForm>();
    EXPECT_EQ(f.DeleteAssignmentMenu->text(), "Delete Assigment");
    EXPECT_EQ(f.CloseTRMenu->text(), "Close ");
}

TEST_F(GradeSheetTest, TypingStoresEveryKeystrokeAndRecomputesTheAverage) {
    GradeForm& f = open();
    select(f, 3, 4);  // Ray, Bob on Q2
    ASSERT_TRUE(f.GradeText->isVisible());
    EXPECT_EQ(f.EditRow, 3);
    EXPECT_EQ(f.EditCol, 4);
    EXPECT_EQ(f.DescriptionBox->text(), "Q2") << "the panel follows the selected column";
    QTest::keyClick(f.GradeText, '8');
    EXPECT_DOUBLE_EQ(score(bob, q2).toDouble(), 8);
    EXPECT_TRUE(f.CalculateTimer->isActive());
    f.CalculateTimer_Timer();
    EXPECT_EQ(f.GradeGrid->TextMatrix(3, 1), "8.00%");
    QTest::keyClick(f.GradeText, '5');
    EXPECT_DOUBLE_EQ(score(bob, q2).toDouble(), 85);
    f.CalculateTimer_Timer();
    EXPECT_EQ(f.GradeGrid->TextMatrix(3, 4), "85");
    EXPECT_EQ(f.GradeGrid->TextMatrix(3, 1), "85.00%");
    EXPECT_FLOAT_EQ(average(bob).toFloat(), 0.85f);
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT Late || \"Drop\" FROM Scores WHERE StudentID = %1").arg(bob)).toString(), "00");
}

TEST_F(GradeSheetTest, ClearingAScoreDeletesItAndLettersAreRefused) {
    GradeForm& f = open();
    select(f, 1, 3);  // Abel, Zed on Q1: 45
    EXPECT_EQ(f.GradeText->text(), "45");
    EXPECT_EQ(f.GradeText->selectedText(), "45");
    type(f, "a");
    EXPECT_EQ(ui.messages, QStringList{"Please enter a number."});
    EXPECT_DOUBLE_EQ(score(zed, q1).toDouble(), 45);
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 3), "45");
    EXPECT_EQ(f.GradeText->text(), "a");

    f.GradeText->setText("   ");
    f.CalculateTimer_Timer();
    EXPECT_TRUE(score(zed, q1).isNull());
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 3), "");
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 1), "90.00%") << "90 of 100 without Q1";
}

TEST_F(GradeSheetTest, TheEightyXSequenceInACell) {
    GradeForm& f = open();
    select(f, 3, 5);
    type(f, "80x");
    EXPECT_EQ(ui.messages, QStringList{"Please enter a number."});
    EXPECT_DOUBLE_EQ(score(bob, q3).toDouble(), 80);
    EXPECT_EQ(f.GradeGrid->TextMatrix(3, 5), "80");
    EXPECT_EQ(f.GradeGrid->TextMatrix(3, 1), "800.00%") << "scores above the maximum are not limited";
}

TEST_F(GradeSheetTest, GradesAreFreeTextStoredAsTyped) {
    GradeForm& f = open();
    select(f, 2, 2);
    type(f, "B ");
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT Grade FROM StudentClass WHERE StudentID = %1").arg(ann)).toString(), "B ");
    EXPECT_EQ(f.GradeGrid->TextMatrix(2, 2), "B");
    EXPECT_EQ(f.GradeGrid->TextMatrix(2, 1), "") << "a grade recomputes no average";
    EXPECT_TRUE(f.DescriptionBox->text().isEmpty()) << "the grade column has no assignment";
}

TEST_F(GradeSheetTest, KeyboardMovesBetweenCellsLikeASpreadsheet) {
    GradeForm& f = open();
    select(f, 1, 3);
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int row, col;
    };
    const Step steps[] = {
        {Qt::Key_Return, Qt::NoModifier, 2, 3}, {Qt::Key_Down, Qt::NoModifier, 3, 3},
        {Qt::Key_Down, Qt::NoModifier, 3, 3},  // the last student: stays
        {Qt::Key_Up, Qt::NoModifier, 2, 3},     {Qt::Key_Tab, Qt::NoModifier, 2, 4},
        {Qt::Key_Tab, Qt::NoModifier, 2, 5},    {Qt::Key_Tab, Qt::NoModifier, 2, 5},
        {Qt::Key_Backtab, Qt::ShiftModifier, 2, 4}, {Qt::Key_Left, Qt::NoModifier, 2, 3},
        {Qt::Key_Right, Qt::NoModifier, 2, 4},  // an empty cell: the caret is at both edges
        {Qt::Key_Left, Qt::NoModifier, 2, 3},   {Qt::Key_Left, Qt::NoModifier, 2, 2},
        {Qt::Key_Left, Qt::NoModifier, 2, 2},   // the grade column is the first that can be edited
    };
    for (const Step& s : steps) {
        QTest::keyClick(f.GradeText, s.key, s.mods);
        EXPECT_EQ(f.EditRow, s.row) << s.key;
        EXPECT_EQ(f.EditCol, s.col) << s.key;
        EXPECT_EQ(f.GradeText->text(), f.GradeGrid->TextMatrix(s.row, s.col));
    }
    // Typing in a moved-to cell stores it there.
    QTest::keyClick(f.GradeText, Qt::Key_Right);
    QTest::keyClick(f.GradeText, Qt::Key_Down);
    EXPECT_EQ(f.EditRow, 3);
    EXPECT_EQ(f.EditCol, 3);
    type(f, "7");
    EXPECT_DOUBLE_EQ(score(bob, q1).toDouble(), 7);
    // Inside a number the arrows move the caret.
    type(f, "5");
    QTest::keyClick(f.GradeText, Qt::Key_Left);
    EXPECT_EQ(f.EditCol, 3);
    EXPECT_EQ(f.GradeText->cursorPosition(), 1);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(GradeSheetTest, ClassWithoutStudentsHasOneEmptyRowThatStoresNothing) {
    const int empty = addClass(ctx->state.CurrentDB, "Empty");
    addAssignment(ctx->state.CurrentDB, empty, "Only", 10, QDate(2026, 1, 1));
    ctx->state.CurrentClassID = empty;
    GradeForm& f = open();
    ASSERT_EQ(f.GradeGrid->Rows(), 2);
    EXPECT_EQ(f.StudentIDs.value(1), 0);
    select(f, 1, 3);
    EXPECT_TRUE(f.GradeText->isVisible());
    type(f, "9");
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "SELECT COUNT(*) FROM Scores").toInt(), 4);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(GradeSheetTest, ClassWithoutAssignmentsHasThreeColumns) {
    const int empty = addClass(ctx->state.CurrentDB, "No work yet");
    enrol(ctx->state.CurrentDB, empty, ann, 0.5, "A");
    ctx->state.CurrentClassID = empty;
    GradeForm& f = open();
    ASSERT_EQ(f.GradeGrid->Cols(), 3);
    EXPECT_EQ(row(f, 1), (QStringList{"Lee, Ann", "", ""})) << "averages and grades need assignments too";
    EXPECT_TRUE(f.DescriptionBox->text().isEmpty());
}

TEST_F(GradeSheetTest, NoCurrentClassHidesTheGridAndPanels) {
    ctx->state.CurrentClassID = 9999;
    GradeForm& f = open();
    EXPECT_FALSE(f.GradeGrid->isVisible());
    EXPECT_FALSE(f.ClassInfoFrame->isVisible());
    EXPECT_FALSE(f.AsnInfoFrame->isVisible());
    EXPECT_EQ(f.HideClassInfoMenu->text(), "Show Class Information");
    EXPECT_EQ(f.HideAsnInfoMenu->text(), "Show Assignment Information");
    for (QAction* a : {f.ChangeClsRstrMenu, f.AddAssignmentMenu, f.DeleteAssignmentMenu, f.HideClassInfoMenu,
                       f.HideAsnInfoMenu, f.ColWidthMenu})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
}

TEST(Averages, PlainAndWeighted) {
    using averages::Compute;
    using averages::Scored;
    struct Case {
        const char* what;
        QList<Scored> scored;
        bool weighted;
        double expected;
    };
    const QList<Case> cases{
        {"plain totals", {{45, 50, 1}, {90, 100, 1}}, false, 0.9},
        {"weighted 1 and 3", {{25, 50, 1}, {100, 100, 3}}, true, 0.875},
        {"nothing scored", {}, false, 0.0},
        {"every weight 0", {{5, 10, 0}, {6, 10, 0}}, true, 0.0},
        {"above the maximum", {{12, 10, 1}}, false, 1.2},
        {"plain differs from weighted: plain", {{9, 10, 1}, {50, 100, 1}}, false, 59.0 / 110.0},
        {"plain differs from weighted: weighted", {{9, 10, 1}, {50, 100, 1}}, true, 0.7},
        {"missing weight counts as 1", {{5, 10, QVariant()}, {10, 10, 1}}, true, 0.75},
        {"maximum 0 is left out when weighted", {{5, 0, 1}, {8, 10, 1}}, true, 0.8},
        {"empty maximum is left out", {{5, QVariant(), 1}, {8, 10, 1}}, true, 0.8},
        {"empty maximum is left out when plain", {{5, QVariant(), 1}, {8, 10, 1}}, false, 0.8},
        {"score without a value is left out", {{QVariant(), 10, 1}, {8, 10, 1}}, true, 0.8},
        {"only a maximum of 0", {{5, 0, 1}}, true, 0.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(Compute(c.scored, c.weighted), c.expected, 1e-6) << c.what;
}

TEST_F(GradeSheetTest, UseWeightsRecomputesEveryRowAndRepairsMissingWeights) {
    ctx->state.CurrentDB.Execute("UPDATE Assignments SET Weight = NULL");
    // 9 of 10 and 50 of 100 differ between plain totals and equal weights.
    ctx->state.CurrentDB.Execute(QString("UPDATE Assignments SET MaximumPoints = 10 WHERE AssignmentID = %1").arg(q1));
    ctx->state.CurrentDB.Execute(QString("UPDATE Scores SET Score = 9 WHERE AssignmentID = %1 AND StudentID = %2").arg(q1).arg(zed));
    ctx->state.CurrentDB.Execute(QString("UPDATE Scores SET Score = 50 WHERE AssignmentID = %1 AND StudentID = %2").arg(q2).arg(zed));
    GradeForm& f = open();
    ui.busyChanges.clear();
    QTest::mouseClick(f.UseWeightsBox, Qt::LeftButton);
    ASSERT_TRUE(f.UseWeightsBox->isChecked());
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT UseWeight FROM Classes WHERE ClassID = %1").arg(bio)).toInt(), 1);
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 1), "70.00%");
    EXPECT_EQ(f.GradeGrid->TextMatrix(3, 1), "0.00%") << "no scores: 0, not empty";
    EXPECT_NEAR(average(zed).toDouble(), 0.7, 1e-6);
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "SELECT COUNT(*) FROM Assignments WHERE Weight = 1").toInt(), 3);
    EXPECT_EQ(ui.busyChanges, (QList<bool>{true, false}));

    QTest::mouseClick(f.UseWeightsBox, Qt::LeftButton);
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 1), "53.64%");
    EXPECT_FALSE(f.Calculating);
    EXPECT_FALSE(f.Filling);
}

TEST_F(GradeSheetTest, WeightedClassWithUnusableMaximumsNeverBreaks) {
    ctx->state.CurrentDB.Execute(QString("UPDATE Classes SET UseWeight = 1 WHERE ClassID = %1").arg(bio));
    ctx->state.CurrentDB.Execute(QString("UPDATE Assignments SET MaximumPoints = 0 WHERE AssignmentID = %1").arg(q1));
    ctx->state.CurrentDB.Execute(QString("UPDATE Assignments SET MaximumPoints = NULL WHERE AssignmentID = %1").arg(q3));
    GradeForm& f = open();
    f.RecalculateAll();
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 1), "90.00%") << "Q1 (maximum 0) is left out";
    EXPECT_EQ(f.GradeGrid->TextMatrix(2, 1), "0.00%") << "nothing usable left";
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(GradeSheetTest, MaximumPointsEightyXAndRecalculation) {
    GradeForm& f = open();
    select(f, 1, 4);  // Q2, maximum 100
    const QString before = f.GradeGrid->TextMatrix(1, 1);
    f.MaxPointsBox->clear();
    QTest::keyClicks(f.MaxPointsBox, "80x");
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT MaximumPoints FROM Assignments WHERE AssignmentID = %1").arg(q2)).toDouble(), 80);
    leave(f.MaxPointsBox);
    EXPECT_EQ(ui.messages, QStringList{"Please enter a valid number for the maximum number of points."});
    EXPECT_EQ(f.MaxPointsBox->text(), "80");
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 1), before) << "no recalculation after the rejected value";
    EXPECT_FALSE(f.MaxPointsChanged);

    f.MaxPointsBox->setText("50");
    leave(f.MaxPointsBox);
    // Abel, Zed: 45 of 50 and 90 of 50 -> 135 / 100
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 1), "135.00%");
    EXPECT_EQ(f.GradeGrid->TextMatrix(2, 1), "83.33%");
    EXPECT_EQ(f.GradeGrid->TextMatrix(3, 1), "0.00%");

    f.WeightBox->setText("abc");
    leave(f.WeightBox);
    EXPECT_EQ(ui.messages.last(), "Please enter a valid number for the weight.");
    EXPECT_EQ(f.WeightBox->text(), "1");
}

TEST_F(GradeSheetTest, ChangingTheDateReordersTheColumns) {
    GradeForm& f = open();
    select(f, 1, 3);  // Q1, Sep 1
    f.DateBox->setText("9/20/2026");
    leave(f.DateBox);
    EXPECT_EQ(row(f, 0).mid(3), (QStringList{"Q2", "Q3", "Q1"}));
    EXPECT_EQ(row(f, 1).mid(3), (QStringList{"90", "", "45"}));

    select(f, 1, 3);  // Q2 now
    f.DateBox->setText("not a date");
    leave(f.DateBox);
    EXPECT_EQ(ui.messages, QStringList{"Please enter a valid date."});
    EXPECT_EQ(row(f, 0).mid(3), (QStringList{"Q2", "Q3", "Q1"})) << "the grid is refilled all the same";
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT Date FROM Assignments WHERE AssignmentID = %1").arg(q2)).toDate(),
              QDate(2026, 9, 5));
}

TEST_F(GradeSheetTest, ShowingAnAssignmentNeverChangesItsDate) {
    ctx->state.CurrentDB.Execute(QString("UPDATE Assignments SET Date = '2031-01-05' WHERE AssignmentID = %1").arg(q1));
    ctx->state.CurrentDB.Execute(QString("UPDATE Assignments SET Date = '1925-03-04 10:30:00' WHERE AssignmentID = %1").arg(q2));
    GradeForm& f = open();
    for (int c = 3; c <= 5; ++c) select(f, 1, c);
    auto stored = [&](int id) {
        return scalar(ctx->state.CurrentDB, QString("SELECT Date || '' FROM Assignments WHERE AssignmentID = %1").arg(id)).toString();
    };
    EXPECT_EQ(stored(q1), "2031-01-05");
    EXPECT_EQ(stored(q2), "1925-03-04 10:30:00");
    select(f, 1, 3);
    EXPECT_EQ(f.DateBox->text(), "03/04/1925");
    // A date typed with a two-digit year is the one closest to today.
    f.DateBox->setText("3/4/25");
    EXPECT_EQ(stored(q2), "2025-03-04");
}

TEST_F(GradeSheetTest, PanelWithoutAnAssignmentChangesNone) {
    GradeForm& f = open();
    select(f, 1, 4);  // Q2
    select(f, 1, 2);  // the grade column: no assignment
    EXPECT_TRUE(f.DescriptionBox->text().isEmpty());
    f.DescriptionBox->setText("Renamed");
    f.MaxPointsBox->setText("7");
    f.DateBox->setText("1/1/2020");
    leave(f.DescriptionBox);
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "SELECT COUNT(*) FROM Assignments WHERE Description = 'Renamed' OR "
                                            "MaximumPoints = 7 OR Date = '2020-01-01'").toInt(), 0);
}

TEST_F(GradeSheetTest, ClassAndDescriptionBoxesWriteThrough) {
    GradeForm& f = open();
    auto className = [&] {
        return scalar(ctx->state.CurrentDB, QString("SELECT ClassName FROM Classes WHERE ClassID = %1").arg(bio)).toString();
    };
    f.ClassNameBox->setText("  Biology II ");
    EXPECT_EQ(className(), "Biology II");
    f.ClassNameBox->setText("   ");
    EXPECT_EQ(className(), "Biology II");
    leave(f.ClassNameBox);
    EXPECT_TRUE(ui.messages.isEmpty()) << "blanks only: not stored, no message";
    f.ClassNameBox->clear();
    leave(f.ClassNameBox);
    EXPECT_EQ(ui.messages, QStringList{"Class name must be at least 1 character."});
    EXPECT_EQ(f.ClassNameBox->text(), "Biology II");
    f.TermBox->setText("");
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT Term FROM Classes WHERE ClassID = %1").arg(bio)).toString(), "");
    f.NotesBox->setText("Room 4");
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT Notes FROM Classes WHERE ClassID = %1").arg(bio)).toString(), "Room 4");

    select(f, 1, 3);
    f.DescriptionBox->setText(" Quiz one ");
    leave(f.DescriptionBox);
    EXPECT_EQ(f.GradeGrid->TextMatrix(0, 3), "Quiz one");
    f.DescriptionBox->clear();
    leave(f.DescriptionBox);
    EXPECT_EQ(f.GradeGrid->TextMatrix(0, 3), "Quiz one");
    EXPECT_TRUE(f.DescriptionBox->text().isEmpty());
    EXPECT_EQ(ui.messages.size(), 1);
}

TEST_F(GradeSheetTest, ColumnWidthTakesOnlyUsableWidths) {
    GradeForm& f = open();
    struct Case {
        std::optional<QString> answer;
        int expected;
    };
    const Case cases[] = {{"1200", 1200}, {"wide", 1200}, {std::nullopt, 1200}, {"0", 1200},
                          {"-5", 1200},   {"40000", 1200}, {"900.4", 900}};
    for (const Case& c : cases) {
        ui.answerInput(c.answer);
        f.ColWidthMenu->trigger();
        EXPECT_EQ(ctx->state.ColumnWidth, c.expected);
        for (int col = 2; col < f.GradeGrid->Cols(); ++col) EXPECT_EQ(f.GradeGrid->ColWidth(col), c.expected / 15 * 15);
        EXPECT_EQ(f.GradeGrid->ColWidth(0), 1395);
        EXPECT_EQ(f.GradeGrid->ColWidth(1), 795);
    }
    EXPECT_EQ(ui.inputPrompts.first(), "Enter new column width");
}

TEST_F(GradeSheetTest, HidingPanelsMovesTheGridUp) {
    GradeForm& f = open();
    const int stackedTop = f.GradeGrid->y();
    EXPECT_EQ(f.AsnInfoFrame->y(), (60 + 1035 + 100) / 15);
    f.HideClassInfoMenu->trigger();
    f.HideAsnInfoMenu->trigger();
    EXPECT_EQ(f.HideClassInfoMenu->text(), "Show Class Information");
    EXPECT_EQ(f.GradeGrid->y(), 100 / 15);
    EXPECT_FALSE(f.ClassInfoFrame->isVisible());
    EXPECT_FALSE(f.AsnInfoFrame->isVisible());
    f.HideClassInfoMenu->trigger();
    EXPECT_EQ(f.GradeGrid->y(), (60 + 1035 + 100) / 15);
    f.HideAsnInfoMenu->trigger();
    EXPECT_EQ(f.GradeGrid->y(), stackedTop);
    f.resize(300, 400);
    EXPECT_EQ(f.ClassInfoFrame->x(), 0) << "a narrow window keeps the panels at its left edge";
}

TEST_F(GradeSheetTest, DeleteAssignmentAsksAndRecomputes) {
    GradeForm& f = open();
    select(f, 1, 2);
    f.DeleteAssignmentMenu->trigger();
    EXPECT_TRUE(ui.messages.isEmpty()) << "the grade column is no assignment";

    select(f, 1, 3);  // Q1
    ui.answerMsgBox(Ui::Answer::No);
    f.DeleteAssignmentMenu->trigger();
    EXPECT_EQ(ui.messages, QStringList{"Are you sure you want to delete the assignment Q1"});
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "SELECT COUNT(*) FROM Assignments").toInt(), 3);

    ui.answerMsgBox(Ui::Answer::Yes);
    f.DeleteAssignmentMenu->trigger();
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "SELECT COUNT(*) FROM Assignments").toInt(), 2);
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT COUNT(*) FROM Scores WHERE AssignmentID = %1").arg(q1)).toInt(), 0);
    EXPECT_EQ(row(f, 0).mid(3), (QStringList{"Q2", "Q3"}));
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 1), "90.00%");
    EXPECT_EQ(f.GradeGrid->TextMatrix(2, 1), "100.00%");
}

TEST_F(GradeSheetTest, DeleteStudentRemovesThemFromTheFile) {
    const int chem = addClass(ctx->state.CurrentDB, "Chemistry");
    enrol(ctx->state.CurrentDB, chem, ann);
    GradeForm& f = open();
    select(f, 2, 3);  // Lee, Ann
    ui.answerMsgBox(Ui::Answer::Yes);
    f.DeleteStudentMenu->trigger();
    EXPECT_EQ(ui.messages, QStringList{"Are you sure you want to delete the student Ann Lee"});
    EXPECT_EQ(f.GradeGrid->Rows(), 3);
    EXPECT_TRUE(scalar(ctx->state.CurrentDB, QString("SELECT COUNT(*) FROM StudentClass WHERE StudentID = %1").arg(ann)).toInt() == 0);
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT COUNT(*) FROM Students WHERE StudentID = %1").arg(ann)).toInt(), 0);
}

TEST_F(GradeSheetTest, DeletingTheOnlyClassHidesEverything) {
    GradeForm& f = open();
    ui.answerMsgBox(Ui::Answer::No);
    f.DeleteClassMenu->trigger();
    EXPECT_EQ(ui.messages, QStringList{"Are you sure you want to delete the class Biology"});
    EXPECT_TRUE(f.GradeGrid->isVisible());
    ui.answerMsgBox(Ui::Answer::Yes);
    f.DeleteClassMenu->trigger();
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "SELECT COUNT(*) FROM Classes").toInt(), 0);
    EXPECT_EQ(scalar(ctx->state.CurrentDB, "SELECT COUNT(*) FROM Scores").toInt(), 0);
    EXPECT_FALSE(f.GradeGrid->isVisible());
    EXPECT_FALSE(f.ChangeClsRstrMenu->isEnabled());
    f.UpdateMenus();
    EXPECT_FALSE(f.DeleteClassMenu->isEnabled());
    EXPECT_FALSE(f.SelectClassMenu->isEnabled());
    EXPECT_FALSE(f.AsnReportsMenu->isEnabled());
    EXPECT_TRUE(f.StudentInfoMenu->isEnabled()) << "the students are still in the file";
}

TEST_F(GradeSheetTest, DeletingAClassMovesToTheLastOne) {
    const int chem = addClass(ctx->state.CurrentDB, "Chemistry");
    GradeForm& f = open();
    ui.answerMsgBox(Ui::Answer::Yes);
    f.DeleteClassMenu->trigger();
    EXPECT_EQ(ctx->state.CurrentClassID, chem);
    EXPECT_EQ(f.ClassNameBox->text(), "Chemistry");
}

TEST_F(GradeSheetTest, MenusFollowWhatTheFileHolds) {
    ctx->state.CurrentDB.Execute("DELETE FROM Students");
    GradeForm& f = open();
    f.HousekeepingTimer_Timer();
    for (QAction* a : {f.DeleteStudentMenu, f.StudentInfoMenu, f.StudentReportsMenu}) EXPECT_FALSE(a->isEnabled());
    for (QAction* a : {f.SelectClassMenu, f.DeleteClassMenu, f.ClassReportsMenu, f.AsnReportsMenu}) EXPECT_TRUE(a->isEnabled());
    addStudent(ctx->state.CurrentDB, "New", "Kid");
    f.HousekeepingTimer_Timer();
    EXPECT_TRUE(f.DeleteStudentMenu->isEnabled());
}

TEST_F(GradeSheetTest, ClassesWithManyAssignmentsShowThemAll) {
    auto& db = ctx->state.CurrentDB;
    db.BeginTrans();
    for (int i = 0; i < 120; ++i) addAssignment(db, bio, QString("Extra %1").arg(i), 10, QDate(2027, 1, 1).addDays(i));
    db.CommitTrans();
    const int last = scalar(db, "SELECT MAX(AssignmentID) FROM Assignments").toInt();
    addScore(db, ann, last, 7);
    GradeForm& f = open();
    ASSERT_EQ(f.GradeGrid->Cols(), 126);
    EXPECT_EQ(f.GradeGrid->TextMatrix(0, 125), "Extra 119");
    EXPECT_EQ(f.AssignmentIDs.value(125), last);
    EXPECT_EQ(f.GradeGrid->TextMatrix(2, 125), "7");
    select(f, 3, 125);
    type(f, "4");
    EXPECT_DOUBLE_EQ(score(bob, last).toDouble(), 4);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(GradeSheetTest, AScoreTheFileCannotHoldIsReportedOnceAndNotShownAsStored) {
    GradeForm& f = open();
    select(f, 1, 3);  // 45
    f.GradeText->setText("1e39");
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith("The score could not be stored: ")) << ui.messages[0].toStdString();
    EXPECT_DOUBLE_EQ(score(zed, q1).toDouble(), 45);
    EXPECT_EQ(f.GradeGrid->TextMatrix(1, 3), "45");
    EXPECT_EQ(f.GradeText->text(), "45");
}

TEST_F(GradeSheetTest, CloseEndsTheFileAndTheGradeSheet) {
    GradeForm& f = open();
    ASSERT_TRUE(QFile::exists(path("g.LDB")));
    f.CloseTRMenu->trigger();
    EXPECT_FALSE(ctx->forms.isLoaded<GradeForm>());
    EXPECT_FALSE(ctx->state.isFileOpen());
    EXPECT_FALSE(QFile::exists(path("g.LDB")));
    EXPECT_EQ(ctx->state.FileName, path("g.TLR"));
}

TEST_F(GradeSheetTest, ClosingTheWindowClosesItsFile) {
    GradeForm& f = open();
    QWidget* frame = f.parentWidget();
    ASSERT_NE(frame, nullptr);
    frame->close();
    EXPECT_FALSE(ctx->forms.isLoaded<GradeForm>());
    EXPECT_FALSE(ctx->state.isFileOpen());
    EXPECT_FALSE(QFile::exists(path("g.LDB")));
    QStringList titles;
    for (QAction* a : mdi->menuBar()->actions()) titles << a->text().remove('&');
    EXPECT_EQ(titles, (QStringList{"File", "Help"}));
}

TEST_F(GradeSheetTest, ChangePasswordFromTheMenuWritesTheOpenFile) {
    GradeForm& f = open();
    ui.onModal([](Form& form) {
        auto& d = dynamic_cast<ChangePassword&>(form);
        EXPECT_FALSE(d.newFileMode());
        d.Text1->setText("new");
        d.Text2->setText("new");
        d.OKCommand->click();
    });
    f.ChangePWMenu->trigger();
    EXPECT_EQ(ctx->state.FilePassword, "new");
    EXPECT_TRUE(ui.allAnswersUsed());
}

TEST_F(GradeSheetTest, EditorFollowsScrollingAndHidesWhenItsCellLeavesTheView) {
    auto& db = ctx->state.CurrentDB;
    db.BeginTrans();
    for (int i = 0; i < 60; ++i) enrol(db, bio, addStudent(db, QString("S%1").arg(i, 2, 10, QChar('0')), "Zz"));
    db.CommitTrans();
    GradeForm& f = open();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.GradeGrid->table()->verticalScrollBar()->value(), 0) << "a class opens at its first student";
    select(f, 1, 3);
    ASSERT_TRUE(f.GradeText->isVisible());
    const int top = f.GradeText->y();
    f.GradeGrid->table()->verticalScrollBar()->setValue(f.GradeGrid->table()->verticalScrollBar()->maximum());
    f.HousekeepingTimer_Timer();
    EXPECT_FALSE(f.GradeText->isVisible());
    f.GradeGrid->table()->verticalScrollBar()->setValue(0);
    select(f, 2, 3);
    EXPECT_TRUE(f.GradeText->isVisible());
    EXPECT_GT(f.GradeText->y(), top);
}

TEST_F(GradeSheetTest, ActivationRefreshesOnlyWhenAskedTo) {
    GradeForm& f = open();
    addStudent(ctx->state.CurrentDB, "Late", "Comer");
    enrol(ctx->state.CurrentDB, bio, scalar(ctx->state.CurrentDB, "SELECT MAX(StudentID) FROM Students").toInt());
    f.Activate();
    EXPECT_EQ(f.GradeGrid->Rows(), 4);
    ctx->state.NeedRefresh = true;
    f.Activate();
    EXPECT_EQ(f.GradeGrid->Rows(), 5);
    EXPECT_FALSE(ctx->state.NeedRefresh);
    EXPECT_TRUE(f.HousekeepingTimer->isActive());
}

}  // namespace
