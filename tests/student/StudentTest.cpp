#include "classes/SelectClassesForm.h"
#include "classes/SelectOneStudentForm.h"
#include "gradesheet/GradeForm.h"
#include "platform/ui/GridControl.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Twips.h"
#include "shell/MDITallyroll.h"
#include "student/PlotBox.h"
#include "student/PlotData.h"
#include "student/StudentInfo.h"
#include "support/Fixtures.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QMenuBar>
#include <QTest>

using namespace fixtures;
using plot::DayNumber;

namespace {

class StudentTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        createDataFile(path("s.TLR"));
        openDataFile(ctx->state, ui, path("s.TLR"));
        ann = addStudent(db(), "Ann", "Smith", "A-1");
    }
    engine::Database& db() { return ctx->state.CurrentDB; }

    // A class with the student on its roster and scored assignments: {max, date, weight, score}.
    struct Work {
        QVariant maximum;
        QDate date;
        QVariant weight;
        QVariant score;  // null: not scored
    };
    int classWith(const QString& name, bool weighted, const QList<Work>& work, int student = 0) {
        const int c = addClass(db(), name, "Fall", weighted ? 1 : 0);
        enrol(db(), c, student ? student : ann);
        for (const Work& w : work) {
            const int a = addAssignment(db(), c, "W", w.maximum, w.date, w.weight);
            if (!w.score.isNull()) addScore(db(), student ? student : ann, a, w.score.toDouble());
        }
        return c;
    }
    plot::DataSets data(QStringList* errors = nullptr) { return plot::FillDataSets(ctx->state, ann, errors); }

    int ann = 0;
};

TEST_F(StudentTest, NoRosterNoSeries) {
    QStringList errors;
    const auto d = data(&errors);
    EXPECT_TRUE(d.names.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(StudentTest, SeriesAndCumulativeAverages) {
    const QDate mar1(2026, 3, 1), mar8(2026, 3, 8), mar5(2026, 3, 5);
    struct Case {
        const char* what;
        bool weighted;
        QList<Work> work;
        QList<plot::Point> expected;
    };
    const QList<Case> cases{
        {"plain totals", false, {{10, mar1, 1, 8}, {20, mar8, 1, 15}},
         {{DayNumber(mar1), 80, 80}, {DayNumber(mar8), 75, 100.0 * 23 / 30}}},
        {"weighted 1 and 3", true, {{10, mar1, 1, 8}, {20, mar8, 3, 15}},
         {{DayNumber(mar1), 80, 80}, {DayNumber(mar8), 75, 76.25}}},
        {"an unscored assignment adds nothing", false, {{10, mar1, 1, 8}, {50, mar5, 1, QVariant()}, {20, mar8, 1, 15}},
         {{DayNumber(mar1), 80, 80}, {DayNumber(mar8), 75, 100.0 * 23 / 30}}},
        {"missing weight counts as 1", true, {{10, mar1, QVariant(), 8}, {20, mar8, 3, 15}},
         {{DayNumber(mar1), 80, 80}, {DayNumber(mar8), 75, 76.25}}},
        {"maximum 0 or empty gives no point", true, {{0, mar1, 1, 8}, {QVariant(), mar5, 1, 3}, {20, mar8, 1, 15}},
         {{DayNumber(mar8), 75, 75}}},
    };
    for (const Case& c : cases) {
        db().Execute("DELETE FROM Classes");
        classWith("Biology", c.weighted, c.work);
        QStringList errors;
        const auto d = data(&errors);
        ASSERT_EQ(d.points.size(), 1) << c.what;
        ASSERT_EQ(d.points[0].size(), c.expected.size()) << c.what;
        for (int p = 0; p < c.expected.size(); ++p) {
            EXPECT_DOUBLE_EQ(d.points[0][p].date, c.expected[p].date) << c.what;
            EXPECT_NEAR(d.points[0][p].percent, c.expected[p].percent, 1e-4) << c.what;
            EXPECT_NEAR(d.points[0][p].cumulative, c.expected[p].cumulative, 1e-4) << c.what;
        }
        EXPECT_TRUE(errors.isEmpty()) << c.what;
    }
}

TEST_F(StudentTest, MissingWeightInAWeightedClassIsStoredAsOne) {
    classWith("Biology", true, {{10, QDate(2026, 3, 1), QVariant(), 8}});
    data();
    EXPECT_EQ(scalar(db(), "SELECT Weight FROM Assignments").toDouble(), 1.0);
}

TEST_F(StudentTest, SameDayAssignmentsInKeyOrder) {
    const int c = addClass(db(), "Biology", "Fall", 0);
    enrol(db(), c, ann);
    const QDate day(2026, 4, 1);
    for (int score : {3, 9, 6}) addScore(db(), ann, addAssignment(db(), c, "W", 10, day), score);
    const auto d = data();
    ASSERT_EQ(d.points[0].size(), 3);
    EXPECT_EQ(d.points[0][0].percent, 30);
    EXPECT_EQ(d.points[0][1].percent, 90);
    EXPECT_EQ(d.points[0][2].percent, 60);
}

TEST_F(StudentTest, TheLastSixClassesArePlottedAndNamesAreCut) {
    for (int i = 0; i < 8; ++i) classWith(QString("Class %1").arg(i), false, {});
    const int longOne = addClass(db(), QString(30, 'N'), QString(20, 'T'));
    enrol(db(), longOne, ann);
    const auto d = data();
    ASSERT_EQ(d.selected.size(), 9);
    EXPECT_EQ(d.selected, (QList<bool>{false, false, false, true, true, true, true, true, true}));
    EXPECT_EQ(d.names[0], "Class 0  Fall");
    EXPECT_EQ(d.names[8], QString(30, 'N') + "  " + QString(8, 'T'));
}

TEST(PlotScale, SpansAndDivisions) {
    struct Case {
        QList<QDate> dates;
        int daysPerDivision, total;
        QDate first;
    };
    const QDate today(2026, 12, 11);
    const QList<Case> cases{
        {{QDate(1997, 3, 1), QDate(1997, 3, 29)}, 3, 42, QDate(1997, 2, 22)},
        {{QDate(1997, 3, 1), QDate(1997, 3, 1)}, 1, 14, QDate(1997, 2, 23)},
        {{}, 1, 14, today.addDays(-6)},
        {{QDate(2026, 9, 1), QDate(2027, 6, 15)}, 21, 294, QDate(2026, 9, 1).addDays((287 - 294) / 2)},
    };
    for (const Case& c : cases) {
        plot::DataSets d;
        if (!c.dates.isEmpty()) {
            d.names = {"A"};
            d.selected = {true};
            QList<plot::Point> points;
            for (QDate date : c.dates) points.append({DayNumber(date), 50, 50});
            d.points = {points};
        }
        const plot::Scale s = plot::ComputeScale(d, today);
        EXPECT_EQ(s.NumXDivisions, 15);
        EXPECT_EQ(s.NumYDivisions, 12);
        EXPECT_EQ(s.DaysPerDivision, c.daysPerDivision);
        EXPECT_EQ(s.totalDays, c.total);
        EXPECT_EQ(s.FirstDate, c.first);
    }
}

// ---------------------------------------------------------------------------------------------
// The window

class StudentWindowTest : public StudentTest {
protected:
    StudentInfo& show(int student) {
        auto& mdi = ctx->forms.get<MDITallyroll>();
        mdi.show();
        ctx->state.SelectedStudentID = student;
        auto& w = ctx->forms.get<StudentInfo>();
        mdi.ShowChild(w);
        return w;
    }
    QString stored(const QString& field) {
        return scalar(db(), QString("SELECT %1 FROM Students WHERE StudentID = %2").arg(field).arg(ann)).toString();
    }
};

TEST_F(StudentWindowTest, ShowsTheStudentAndWritesThroughAsTyped) {
    db().Execute(QString("UPDATE Students SET Notes = 'front row' WHERE StudentID = %1").arg(ann));
    const int bob = addStudent(db(), "Bob", "Jones");
    StudentInfo& w = show(ann);
    EXPECT_EQ(w.windowTitle(), "Student Information");
    EXPECT_EQ(w.FirstNameText->text(), "Ann");
    EXPECT_EQ(w.LastNameText->text(), "Smith");
    EXPECT_EQ(w.IDText->text(), "A-1");
    EXPECT_EQ(w.NotesText->text(), "front row");
    EXPECT_FALSE(ctx->state.NeedRefresh) << "loading changes nothing";

    QTest::keyClicks(w.NotesText, "!");
    EXPECT_EQ(stored("Notes"), "front row!");
    QTest::keyClicks(w.FirstNameText, "e");
    EXPECT_EQ(stored("FirstName"), "Anne");
    EXPECT_TRUE(ctx->state.NeedRefresh);
    w.LastNameText->selectAll();
    QTest::keyClick(w.LastNameText, Qt::Key_Backspace);
    EXPECT_EQ(stored("LastName"), "Smith") << "an emptied name keeps the last one";

    ctx->state.SelectedStudentID = bob;
    w.FillStudentInfo();
    EXPECT_EQ(w.FirstNameText->text(), "Bob");
    EXPECT_TRUE(w.IDText->text().isEmpty());
    EXPECT_TRUE(w.NotesText->text().isEmpty());
}

TEST_F(StudentWindowTest, CancelledPickOrExitHidesTheWindow) {
    StudentInfo& w = show(ann);
    ASSERT_TRUE(w.isVisible());
    ui.onModal([](Form& f) { dynamic_cast<SelectOneStudentForm&>(f).CancelCommand->click(); });
    w.StudentsMenu->trigger();
    EXPECT_FALSE(w.isVisible());
    show(ann);
    EXPECT_TRUE(w.isVisible());
    w.EndProgram->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(ctx->forms.isLoaded<MDITallyroll>()) << "Exit only hides the window";
}

TEST_F(StudentWindowTest, PlotDrawsBarsInClassColoursAndTheLegend) {
    // One class, two scores a week apart: the span is 7 days, 1 day a division, 14 days wide.
    const QDate d1(2026, 3, 1), d2(2026, 3, 8);
    classWith("Biology", false, {{10, d1, 1, 8}, {10, d2, 1, 5}});
    StudentInfo& w = show(ann);
    EXPECT_EQ(w.Scale.FirstDate, d1.addDays(-3));
    const QImage plotImage = w.Picture1->composed();
    const QColor blue(0, 0, 255);
    // The first bar: 3 days from the left edge of a 14-day plot, from 0 up to 80 percent of 110.
    const QPointF foot = w.Picture1->toPixels(3, 5);
    EXPECT_EQ(plotImage.pixelColor(foot.toPoint()), blue);
    EXPECT_EQ(plotImage.pixelColor(w.Picture1->toPixels(3, 75).toPoint()), blue);
    EXPECT_NE(plotImage.pixelColor(w.Picture1->toPixels(3, 85).toPoint()), blue) << "the bar stops at 80 percent";
    EXPECT_NE(plotImage.pixelColor(w.Picture1->toPixels(6, 20).toPoint()), blue) << "no bar between the scores";
    // The legend: a short line in the class colour in the strip above the plot.
    const int h = twips::fromPixels(w.fontMetrics().height());
    const int ly = twips::toPixels(twips::fromPixels(w.Frame1->height()) + 100);
    const int lx = twips::toPixels(twips::fromPixels(w.Picture1->x()) + 200);
    EXPECT_EQ(w.surface().pixelColor(lx, ly), blue);
    EXPECT_NE(w.surface().pixelColor(lx, ly + twips::toPixels(h + 10)), blue) << "one class, one legend line";

    // Cumulative averages: a black dot on each point, a line between them.
    w.PlotScoresMenu->trigger();
    EXPECT_FALSE(w.PlotScoresMenu->isChecked());
    EXPECT_TRUE(w.PlotCumAveMenu->isChecked());
    const QImage cumulative = w.Picture1->composed();
    // The second point (8 March, 13 of 20 so far) is drawn after the line that reaches it.
    EXPECT_EQ(cumulative.pixelColor(w.Picture1->toPixels(10, 65).toPoint()), QColor(Qt::black));
    EXPECT_EQ(cumulative.pixelColor(w.Picture1->toPixels(3, 5).toPoint()), QColor(Qt::white)) << "no bars";
    w.PlotScoresMenu->trigger();
    EXPECT_TRUE(w.PlotScoresMenu->isChecked());
}

TEST_F(StudentWindowTest, LegendTakesTwoColumnsOfThree) {
    const QDate d(2026, 3, 1);
    for (int i = 0; i < 4; ++i) classWith(QString("Class %1").arg(i), false, {{10, d, 1, 5}});
    StudentInfo& w = show(ann);
    const int h = twips::fromPixels(w.fontMetrics().height());
    const int top = twips::fromPixels(w.Frame1->height()) + 100;
    const int left = twips::fromPixels(w.Picture1->x());
    const int half = twips::fromPixels(w.Picture1->width()) / 2;
    struct Entry {
        int x, y;
        QColor color;
    };
    const QList<Entry> legend{{left + 200, top, QColor(0, 0, 255)},
                              {left + 200, top + (h + 10), QColor(255, 0, 0)},
                              {left + 200, top + 2 * (h + 10), QColor(0, 255, 0)},
                              {left + half + 200, top, QColor(255, 0, 255)}};
    for (const Entry& e : legend) EXPECT_EQ(w.surface().pixelColor(twips::toPixels(e.x), twips::toPixels(e.y)), e.color);
}

TEST_F(StudentWindowTest, GridAndPointerReadoutLiveOnTheOverlay) {
    classWith("Biology", false, {{10, QDate(2026, 3, 1), 1, 8}});
    StudentInfo& w = show(ann);
    const QImage clean = w.Picture1->composed();
    w.GridOnOff->trigger();
    EXPECT_EQ(w.GridOnOff->text(), "Grid Off");
    EXPECT_NE(w.Picture1->composed(), clean);
    w.Picture1_Paint();
    w.GridOnOff->trigger();
    EXPECT_EQ(w.GridOnOff->text(), "Grid On");
    EXPECT_EQ(w.Picture1->composed(), clean) << "the grid goes with the overlay";

    w.GridOnOff->trigger();
    const QPoint at = w.Picture1->toPixels(7, 55).toPoint();
    QTest::mousePress(w.Picture1, Qt::RightButton, {}, at);
    QTest::mouseRelease(w.Picture1, Qt::RightButton, {}, at);
    EXPECT_EQ(w.GridOnOff->text(), "Grid Off") << "only the left button counts";
    QTest::mousePress(w.Picture1, Qt::LeftButton, {}, at);
    const QImage withReadout = w.Picture1->composed();
    EXPECT_NE(withReadout, clean);
    QTest::mouseRelease(w.Picture1, Qt::LeftButton, {}, at);
    EXPECT_EQ(w.GridOnOff->text(), "Grid On");
    EXPECT_EQ(w.Picture1->composed(), clean) << "release takes the readout and the grid away";
}

TEST_F(StudentWindowTest, AddRemoveClassesRedrawsWithTheChosenClasses) {
    const QDate d(2026, 3, 1);
    classWith("Alpha", false, {{10, d, 1, 5}});
    classWith("Beta", false, {{10, d, 1, 5}});
    StudentInfo& w = show(ann);
    const QColor red(255, 0, 0);
    const int ly = twips::toPixels(twips::fromPixels(w.Frame1->height()) + 100 + twips::fromPixels(w.fontMetrics().height()) + 10);
    const int lx = twips::toPixels(twips::fromPixels(w.Picture1->x()) + 200);
    EXPECT_EQ(w.surface().pixelColor(lx, ly), red) << "two classes, two legend lines";
    ui.onModal([](Form& f) {
        auto& d = dynamic_cast<SelectClassesForm&>(f);
        d.ClassList->setSelected(0, false);
        d.OKCommand->click();
    });
    w.AddClassesMenu->trigger();
    EXPECT_EQ(ctx->state.ClassSelected, (QList<bool>{false, true}));
    EXPECT_NE(w.surface().pixelColor(lx, ly), red) << "one class left";
}

TEST_F(StudentWindowTest, ViewInformationFromTheGradeSheet) {
    const int cls = classWith("Biology", false, {{10, QDate(2026, 3, 1), 1, 8}});
    ctx->state.CurrentClassID = cls;
    auto& mdi = ctx->forms.get<MDITallyroll>();
    mdi.show();
    auto& sheet = ctx->forms.get<GradeForm>();
    mdi.ShowChild(sheet);
    sheet.GradeGrid->setCurrentCell(1, 2);
    sheet.StudentInfoMenu->trigger();
    ASSERT_TRUE(ctx->forms.isLoaded<StudentInfo>());
    EXPECT_TRUE(ctx->forms.find<StudentInfo>()->isVisible());
    EXPECT_EQ(ctx->forms.find<StudentInfo>()->ShownStudentID, ann);
    EXPECT_EQ(ctx->forms.activeChild(), ctx->forms.find<StudentInfo>());
    QStringList titles;
    for (QAction* a : mdi.menuBar()->actions()) titles << a->text().remove('&');
    EXPECT_EQ(titles, (QStringList{"Exit", "Students", "Plot", "Help"}));

    // Exit hands the menus and the keyboard back to the grade sheet.
    ctx->forms.find<StudentInfo>()->EndProgram->trigger();
    EXPECT_EQ(ctx->forms.activeChild(), &sheet);
    titles.clear();
    for (QAction* a : mdi.menuBar()->actions()) titles << a->text().remove('&');
    EXPECT_EQ(titles.first(), "File");
    EXPECT_EQ(titles.size(), 7);
}

}  // namespace
