#include "data/DataFile.h"
#include "gradesheet/GradeForm.h"
#include "platform/profile/Profile.h"
#include "platform/ui/GridControl.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Twips.h"
#include "reports/CustomRepForm.h"
#include "reports/FormulaBuilder.h"
#include "reports/ReportCatalog.h"
#include "reports/ReportInfo.h"
#include "reports/ReportTypeForm.h"
#include "shell/MDITallyroll.h"
#include "support/Fixtures.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace fixtures;
using reports::Criteria;

namespace {

TEST(FormulaBuilder, WritesTheFormulaCharacterForCharacter) {
    struct Case {
        const char* what;
        Criteria c;
        QString expected;
    };
    auto make = [](QString kind) {
        Criteria c;
        c.queryKind = kind;
        return c;
    };
    QList<Case> cases;
    {
        Criteria c = make("ScoreSummary");
        c.students = Criteria::Students::Selected;
        c.selectedStudents = {5, 7};
        c.assignments = Criteria::Assignments::BetweenDates;
        c.lowerDate = "9/1/1996";
        c.upperDate = "12/20/1996";
        cases << Case{"students and dates", c,
                      "({ScoreSummary.StudentID} = 5 or {ScoreSummary.StudentID} = 7) and ({ScoreSummary.Date} in "
                      "Date(1996, 9, 1) to Date(1996, 12, 20))"};
    }
    {
        Criteria c = make("ClassSummary");
        c.students = Criteria::Students::SomeAverages;
        c.lowerAverage = "60";
        c.upperAverage = "80";
        c.classes = Criteria::Classes::Selected;
        c.selectedClasses = {2, 3};
        cases << Case{"averages and classes", c,
                      "({ClassSummary.Average} in (0.5999999 to 0.8000001)) and ({ClassSummary.ClassID} = 2 Or "
                      "{ClassSummary.ClassID} = 3)"};
    }
    {
        Criteria c = make("NoQuery");
        c.classes = Criteria::Classes::Selected;
        c.selectedClasses = {4};
        cases << Case{"tables directly", c, "({Classes.ClassID} = 4)"};
    }
    {
        Criteria c = make("ClassSummary");
        c.students = Criteria::Students::Selected;
        c.selectedStudents = {1, 2};
        cases << Case{"class summary's separator has no leading blank", c,
                      "({ClassSummary.StudentID} = 1or {ClassSummary.StudentID} = 2)"};
    }
    {
        Criteria c = make("ScoreSummary");
        c.students = Criteria::Students::SomeAverages;
        c.lowerAverage = "100";
        c.upperAverage = "50";
        cases << Case{"bounds in either order", c, "({ScoreSummary.Average} in (0.4999999 to 1.0000001))"};
        c.lowerAverage = "9";
        c.upperAverage = "10";
        cases << Case{"small bounds", c, "({ScoreSummary.Average} in (0.0899999 to 0.1000001))"};
        c.lowerAverage = "low";
        cases << Case{"a bound that is no number", c, ""};
    }
    {
        Criteria c = make("ScoreSummary");
        c.students = Criteria::Students::Selected;
        c.classes = Criteria::Classes::Selected;
        cases << Case{"selected but nothing picked", c, ""};
    }
    {
        Criteria c = make("ScoreSummary");
        c.assignments = Criteria::Assignments::BetweenDates;
        c.lowerDate = "12/20/1996";
        c.upperDate = "9/3/1996";
        cases << Case{"dates in reverse", c, "({ScoreSummary.Date} in Date(1996, 9, 3) to Date(1996, 12, 20))"};
        c.upperDate = "12/20/1996";
        cases << Case{"equal dates", c, "({ScoreSummary.Date} in Date(1996, 12, 20) to Date(1996, 12, 20))"};
        c.queryKind = "NoQuery";
        cases << Case{"dates of the assignment table", c, "({Assignments.Date} in Date(1996, 12, 20) to Date(1996, 12, 20))"};
        c.queryKind = "ClassSummary";
        cases << Case{"no dates in class summaries", c, ""};
    }
    for (const Case& c : cases) EXPECT_EQ(reports::BuildFormula(c.c).value_or("(none)"), c.expected) << c.what;

    Criteria bad = make("ScoreSummary");
    bad.assignments = Criteria::Assignments::BetweenDates;
    bad.lowerDate = "9/1/1996";
    bad.upperDate = "someday";
    EXPECT_FALSE(reports::BuildFormula(bad).has_value());
    EXPECT_EQ(reports::FormulaNumber((0 - 0.00001) / 100), "-1e-07");
}

// ---------------------------------------------------------------------------------------------

class ReportsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        createDataFile(path("r.TLR"));
        openDataFile(ctx->state, ui, path("r.TLR"));
        auto& db = ctx->state.CurrentDB;
        bio = addClass(db, "Biology", "Fall");
        chem = addClass(db, "Chemistry", "Spring");
        art = addClass(db, "Art", "Spring");
        ann = addStudent(db, "Ann", "Smith");
        bob = addStudent(db, "Bob", "Jones");
        cy = addStudent(db, "Cy", "Abel");
        enrol(db, bio, ann, 0.9);
        enrol(db, chem, bob, 0.6);
        enrol(db, art, cy, 0.7);
        for (auto [cls, student] : {std::pair{bio, ann}, std::pair{chem, bob}, std::pair{art, cy}})
            addScore(db, student, addAssignment(db, cls, "Work", 10, QDate(2026, 9, 1)), 8);
    }
    QString ini() const { return path("TLYROLL.INI"); }
    QStringList visibleRows(ReportTypeForm& f) {
        QStringList out;
        for (QRadioButton* o : f.Opt)
            if (!o->isHidden()) out << o->text();
        return out;
    }
    void writeIni(const QByteArray& text) {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    int bio = 0, chem = 0, art = 0, ann = 0, bob = 0, cy = 0;
};

TEST_F(ReportsTest, CatalogListsEachCategoryAndSizesItself) {
    struct Case {
        QString category;
        int rows, heightTwips;
        QString first;
    };
    const QList<Case> cases{{"Student", 4, 3300, "Student grade report"},
                            {"Assignment", 2, 2150, "List of assignment scores by student name"},
                            {"Class", 7, 5025, "List of assignments for class"}};
    for (const Case& c : cases) {
        auto& f = ctx->forms.get<ReportTypeForm>();
        f.Tag = c.category;
        ui.onModal([&](Form& form) {
            auto& catalog = dynamic_cast<ReportTypeForm&>(form);
            EXPECT_EQ(catalog.windowTitle(), "Report Type");
            const QStringList rows = visibleRows(catalog);
            EXPECT_EQ(rows.size(), c.rows);
            EXPECT_EQ(rows.value(0), c.first);
            EXPECT_EQ(catalog.height(), twips::toPixels(c.heightTwips));
            EXPECT_TRUE(catalog.Opt[0]->isChecked());
            catalog.CancelCommand->click();
        });
        ctx->forms.showModal(f);
        ctx->forms.unload<ReportTypeForm>();
    }
    // No settings file before: it now names the installed report folder.
    EXPECT_EQ(profile::GetPrivateProfileString("AppPath", "RepPath", "", 200, ini()), reports::InstalledReportFolder());
    EXPECT_TRUE(ui.messages.isEmpty()) << "the built-in reports are found where they are installed";
    EXPECT_EQ(ctx->forms.get<ReportInfo>().Tag, "NoQuery") << "opening prepares the first entry: the assignment list";
    EXPECT_EQ(ctx->forms.get<ReportInfo>().ReportFileName, reports::InstalledReportFolder() + "ASNLIST.RPT");
}

TEST_F(ReportsTest, CustomEntriesComeFirstAndOnlyTwelveRowsShow) {
    QByteArray text = "[AppPath]\nRepPath=" + reports::InstalledReportFolder().toUtf8() + "\n[NumReports]\nStudent=2\nClass=6\n";
    for (int n = 1; n <= 6; ++n)
        text += QString("[Class%1]\nFile=CLSSUM.RPT\nQuery=ClassSummary\nLabel=My list %1\n").arg(n).toUtf8();
    text += "[Student1]\nFile=RPT_S.RPT\nQuery=ClassSummary\nLabel=Mine one\n[Student2]\nFile=RPT_S.RPT\nQuery=ClassSummary\nLabel=Mine two\n";
    writeIni(text);
    auto& f = ctx->forms.get<ReportTypeForm>();
    f.Tag = "Student";
    ui.onModal([&](Form& form) {
        auto& catalog = dynamic_cast<ReportTypeForm&>(form);
        EXPECT_EQ(visibleRows(catalog).mid(0, 3), (QStringList{"Mine one", "Mine two", "Student grade report"}));
        EXPECT_EQ(catalog.height(), twips::toPixels(4450));
        catalog.CancelCommand->click();
    });
    ctx->forms.showModal(f);
    ctx->forms.unload<ReportTypeForm>();

    auto& c = ctx->forms.get<ReportTypeForm>();
    c.Tag = "Class";
    ui.onModal([&](Form& form) {
        auto& catalog = dynamic_cast<ReportTypeForm&>(form);
        const QStringList rows = visibleRows(catalog);
        EXPECT_EQ(rows.size(), 12);
        EXPECT_EQ(catalog.EntryCount, 13);
        EXPECT_FALSE(rows.contains("Tallyroll style report of student scores"));
        EXPECT_EQ(catalog.height(), twips::toPixels(13 * 575 + 1000));
        catalog.CancelCommand->click();
    });
    ctx->forms.showModal(c);
}

TEST_F(ReportsTest, AMissingReportAsksForItsFolder) {
    writeIni("[AppPath]\nRepPath=" + path("nowhere/").toUtf8() + "\n");
    auto& f = ctx->forms.get<ReportTypeForm>();
    f.Tag = "Assignment";
    ui.answerFile(reports::InstalledReportFolder() + "ASNID.RPT");
    ui.onModal([&](Form& form) {
        auto& catalog = dynamic_cast<ReportTypeForm&>(form);
        EXPECT_EQ(ui.messages, QStringList{"Can't find " + path("nowhere/") + "ASNNAME.RPT. Please locate the report file."});
        // The entry keeps its own file name, in the folder just located.
        EXPECT_EQ(ctx->forms.get<ReportInfo>().ReportFileName, reports::InstalledReportFolder() + "ASNNAME.RPT");
        catalog.Opt[1]->click();
        EXPECT_EQ(ctx->forms.get<ReportInfo>().ReportFileName, reports::InstalledReportFolder() + "ASNID.RPT");
        catalog.CancelCommand->click();
    });
    ctx->forms.showModal(f);
    EXPECT_EQ(profile::GetPrivateProfileString("AppPath", "RepPath", "", 200, ini()), reports::InstalledReportFolder());
}

TEST_F(ReportsTest, CriteriaWindowLaysItselfOutByQueryKind) {
    struct Case {
        QString kind;
        bool students, assignments;
        int heightTwips, classTop;
    };
    const QList<Case> cases{{"ScoreSummary", true, true, 5505, 180 + 1995 + 100},
                            {"ClassSummary", true, false, 4590, 180 + 1995 + 100},
                            {"NoQuery", false, true, 3510, 180}};
    auto& info = ctx->forms.get<ReportInfo>();
    for (const Case& c : cases) {
        info.Tag = c.kind;
        ui.onModal([&](Form& form) {
            auto& w = dynamic_cast<ReportInfo&>(form);
            EXPECT_EQ(w.windowTitle(), "Report Information");
            EXPECT_EQ(!w.StudentFrame->isHidden(), c.students) << c.kind.toStdString();
            EXPECT_EQ(!w.AssignmentsFrame->isHidden(), c.assignments) << c.kind.toStdString();
            EXPECT_EQ(w.height(), twips::toPixels(c.heightTwips)) << c.kind.toStdString();
            EXPECT_EQ(w.ClassFrame->y(), twips::toPixels(c.classTop)) << c.kind.toStdString();
            EXPECT_TRUE(w.AllStudentsOption->isChecked());
            EXPECT_FALSE(ctx->state.isFileOpen()) << "the file is closed while the window is open";
            EXPECT_TRUE(QFile::exists(ReportInfo::SnapshotPath()));
            w.CancelCommand->click();
        });
        ctx->forms.showModal(info);
        EXPECT_FALSE(QFile::exists(ReportInfo::SnapshotPath()));
        EXPECT_TRUE(ctx->state.isFileOpen()) << "and open again after Close";
    }
}

TEST_F(ReportsTest, ListsTypingAndInvalidDates) {
    auto& info = ctx->forms.get<ReportInfo>();
    info.Tag = "ScoreSummary";
    info.ReportFileName = reports::InstalledReportFolder() + "ASNNAME.RPT";
    ui.onModal([&](Form& form) {
        auto& w = dynamic_cast<ReportInfo&>(form);
        QStringList students;
        for (int i = 0; i < w.StudentList->ListCount(); ++i) students << w.StudentList->List(i);
        EXPECT_EQ(students, (QStringList{"Abel, Cy", "Jones, Bob", "Smith, Ann"}));
        EXPECT_EQ(w.ClassList->ListCount(), 3);
        w.LowerAverage->setText("50");
        EXPECT_TRUE(w.SomeStudentsOption->isChecked());
        w.LowerDate->setText("9/1/2026");
        w.UpperDate->setText("not a date");
        EXPECT_TRUE(w.SomeAssignmentsOption->isChecked());
        w.OKCommand->click();
        EXPECT_EQ(ui.messages, QStringList{"Please enter two valid dates for assignment selection."});
        EXPECT_TRUE(ui.reports.isEmpty()) << "no report runs";
        EXPECT_FALSE(ui.busy);
        w.PrinterCommand->click();
        w.CancelCommand->click();
    });
    ctx->forms.showModal(info);
    EXPECT_EQ(ui.printerDialogs, 1);
    ui.onModal([&](Form& form) {
        auto& w = dynamic_cast<ReportInfo&>(form);
        EXPECT_EQ(w.LowerAverage->text(), "50") << "typed texts stay for the next time";
        EXPECT_TRUE(w.AllStudentsOption->isChecked());
        EXPECT_TRUE(w.AllAssignmentsOption->isChecked());
        w.CancelCommand->click();
    });
    ctx->forms.showModal(info);
}

TEST_F(ReportsTest, ClassReportForTwoSelectedClassesHoldsTheirStudentsOnly) {
    auto& mdi = ctx->forms.get<MDITallyroll>();
    mdi.show();
    ctx->state.CurrentClassID = bio;
    auto& sheet = ctx->forms.get<GradeForm>();
    mdi.ShowChild(sheet);
    ui.onModal([&](Form& form) {
        auto& catalog = dynamic_cast<ReportTypeForm&>(form);
        const int row = int(visibleRows(catalog).indexOf("List of student grades and averages for class"));
        ASSERT_GE(row, 0);
        catalog.Opt[row]->click();
        catalog.OKCommand->click();
    });
    ui.onModal([&](Form& form) {
        auto& w = dynamic_cast<ReportInfo&>(form);
        for (int i = 0; i < w.ClassList->ListCount(); ++i) {
            if (w.ClassList->List(i) == "Art") continue;
            QTest::mouseClick(w.ClassList->viewport(), Qt::LeftButton, {},
                              w.ClassList->visualItemRect(w.ClassList->item(i)).center());
        }
        EXPECT_TRUE(w.SelectedClassesOption->isChecked());
        w.OKCommand->click();
        EXPECT_EQ(w.SelectionFormula,
                  QString("({ClassSummary.ClassID} = %1 Or {ClassSummary.ClassID} = %2)").arg(bio).arg(chem));
        w.CancelCommand->click();
    });
    sheet.ClassReportsMenu->trigger();
    ASSERT_EQ(ui.reports.size(), 1) << ui.messages.join("|").toStdString();
    QStringList texts;
    for (const report::Page& p : ui.reports[0].pages) texts << p.texts();
    EXPECT_TRUE(texts.contains("Smith, Ann"));
    EXPECT_TRUE(texts.contains("Jones, Bob"));
    EXPECT_FALSE(texts.contains("Abel, Cy"));
    EXPECT_FALSE(ctx->forms.isLoaded<ReportTypeForm>()) << "the catalog is unloaded after each use";
    EXPECT_TRUE(ctx->state.isFileOpen());
    EXPECT_TRUE(sheet.GradeGrid->isVisible());
    // The grade sheet works on the reopened file: a score typed now is stored.
    sheet.GradeGrid->setCurrentCell(1, 2);
    sheet.GradeGrid->setCurrentCell(1, 3);
    sheet.GradeTextTimer_Timer();
    QTest::keyClicks(sheet.GradeText, "6");
    EXPECT_EQ(scalar(ctx->state.CurrentDB, QString("SELECT Score FROM Scores WHERE StudentID = %1").arg(ann)).toDouble(), 6);
}

TEST_F(ReportsTest, ADataFileThatCannotBeReopenedClosesTheGradeSheet) {
    auto& mdi = ctx->forms.get<MDITallyroll>();
    mdi.show();
    ctx->state.CurrentClassID = bio;
    mdi.ShowChild(ctx->forms.get<GradeForm>());
    auto& info = ctx->forms.get<ReportInfo>();
    info.Tag = "ClassSummary";
    ui.onModal([&](Form& form) {
        // Another program takes the file away while the report window is open.
        ASSERT_TRUE(QFile::rename(path("r.TLR"), path("moved.TLR")));
        dynamic_cast<ReportInfo&>(form).CancelCommand->click();
    });
    ctx->forms.showModal(info);
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_TRUE(ui.messages[0].startsWith("OpenDB "));
    EXPECT_TRUE(ui.messages[1].contains("grade sheet has been closed"));
    EXPECT_FALSE(ctx->forms.isLoaded<GradeForm>());
    EXPECT_FALSE(QFile::exists(ReportInfo::SnapshotPath()));
}

TEST_F(ReportsTest, CustomReportsAreAppendedToTheSettings) {
    QFile report(path("mine.RPT"));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.write("<report source=\"ClassSummary\"/>");
    report.close();
    auto& dialog = ctx->forms.get<CustomRepForm>();
    EXPECT_EQ(dialog.windowTitle(), "Custom Report");
    ui.onModal([&](Form& form) {
        auto& d = dynamic_cast<CustomRepForm&>(form);
        d.FileText->setText(path("missing.RPT"));
        d.OKCommand->click();
        EXPECT_EQ(ui.messages, QStringList{"Can't find the file " + path("missing.RPT") + ". Please enter the file name again."});
        EXPECT_FALSE(QFile::exists(ini()));
        ui.answerFile(path("mine.RPT"));
        d.BrowseCommand->click();
        EXPECT_EQ(d.FileText->text(), "mine.RPT");
        d.DescriptionText->setPlainText("My list\nof things");
        EXPECT_EQ(d.DescriptionText->toPlainText(), "My list of things") << "no line breaks";
        d.OKCommand->click();
    });
    ctx->forms.showModal(dialog);
    ui.onModal([&](Form& form) {
        auto& d = dynamic_cast<CustomRepForm&>(form);
        d.TypeOpt[0]->setChecked(true);
        d.StyleOpt[1]->setChecked(true);
        d.OKCommand->click();
    });
    ctx->forms.showModal(dialog);
    ui.onModal([&](Form& form) {
        dynamic_cast<CustomRepForm&>(form).HelpCommand->click();
        dynamic_cast<CustomRepForm&>(form).OKCommand->click();
    });
    ctx->forms.showModal(dialog);
    const reports::Settings s(ini());
    EXPECT_EQ(s.count("Class"), 1) << "no type chosen: Class";
    EXPECT_EQ(s.count("Student"), 2) << "the dialog keeps its last choices";
    const reports::Entry first = s.custom("Class", 1);
    EXPECT_EQ(first.file, "mine.RPT");
    EXPECT_EQ(first.query, "NoQuery");
    EXPECT_EQ(first.description, "My list of things");
    EXPECT_EQ(s.custom("Student", 1).query, "ClassSummary");
    EXPECT_EQ(s.custom("Student", 2).file, "mine.RPT");
    EXPECT_EQ(ui.helpTopics, QList<int>{30});
}

TEST_F(ReportsTest, ACustomReportThatDoesNotParseShowsWhereAndTheProgramGoesOn) {
    QFile report(path("broken.RPT"));
    ASSERT_TRUE(report.open(QIODevice::WriteOnly));
    report.write("<report source=\"ClassSummary\">\n<detail height=\"14\">\n<text>{Nmae}</text>\n</detail>\n</report>\n");
    report.close();
    auto& info = ctx->forms.get<ReportInfo>();
    info.Tag = "ClassSummary";
    info.ReportFileName = path("broken.RPT");
    ui.onModal([&](Form& form) {
        auto& w = dynamic_cast<ReportInfo&>(form);
        w.OKCommand->click();
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_TRUE(ui.messages[0].contains("line 3")) << ui.messages[0].toStdString();
        w.CancelCommand->click();
    });
    ctx->forms.showModal(info);
    EXPECT_TRUE(ctx->state.isFileOpen());
}

}  // namespace
