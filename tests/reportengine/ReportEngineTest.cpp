#include "platform/help/HelpFile.h"
#include "reportengine/Painter.h"
#include "reportengine/ReportEngine.h"
#include "support/Fixtures.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cmath>

using namespace fixtures;

namespace {

QString builtIn(const QString& name) {
    return QCoreApplication::applicationDirPath() + "/../share/tallyroll/reports/" + name;
}

// Three students in two classes with four assignments of 1996:
//   Biology (Fall): Quiz 1 (10 points, 1 Sep), Test 1 (100 points, 20 Dec)
//   Chemistry (Spring): Lab (20 points, 5 Oct), Final (50 points, 21 Dec)
//   Ann Smith and Bob Jones take both classes, Cy Abel only Biology.
class ReportTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        file = path("r.TLR");
        createDataFile(file);
        engine::Database db = engine::Workspace::Default().OpenDatabase(file);
        bio = addClass(db, "Biology", "Fall");
        chem = addClass(db, "Chemistry", "Spring");
        ann = addStudent(db, "Ann", "Smith", "S-3");
        bob = addStudent(db, "Bob", "Jones", "S-1");
        cy = addStudent(db, "Cy", "Abel", "S-2");
        enrol(db, bio, ann, 0.9, "A-");
        enrol(db, bio, bob, 0.55, "C");
        enrol(db, bio, cy, 0.7, "B-");
        enrol(db, chem, ann, 0.8, "B");
        enrol(db, chem, bob, 0.6, "C+");
        quiz = addAssignment(db, bio, "Quiz 1", 10, QDate(1996, 9, 1));
        test = addAssignment(db, bio, "Test 1", 100, QDate(1996, 12, 20));
        lab = addAssignment(db, chem, "Lab", 20, QDate(1996, 10, 5));
        final = addAssignment(db, chem, "Final", 50, QDate(1996, 12, 21));
        addScore(db, ann, quiz, 9);
        addScore(db, ann, test, 91);
        addScore(db, bob, quiz, 5);
        addScore(db, bob, test, 58);
        addScore(db, cy, quiz, 7);
        addScore(db, ann, lab, 16);
        addScore(db, ann, final, 40);
        addScore(db, bob, lab, 12);
        db.Close();
    }

    report::Document run(const QString& report, const QString& formula = {}) {
        QString error;
        const auto doc = report::Run(builtIn(report), file, formula, &error, QDate(2026, 12, 11));
        EXPECT_TRUE(doc.has_value()) << error.toStdString();
        return doc.value_or(report::Document());
    }

    // The rows a formula selects from a source, by their first field.
    QStringList selected(const QString& source, const QString& formula, const QString& column, QString* error = nullptr) {
        engine::Database db = engine::Workspace::Default().OpenDatabase(file, engine::Workspace::Mode::ReadOnly);
        report::Definition d;
        d.source = source;
        d.sort = {column};
        formula::Error e;
        const auto compiled = formula::Compile(formula, report::FormulaFields(db, source), &e);
        QStringList out;
        if (!compiled) {
            if (error) *error = e.text();
            db.Close();
            return {"error"};
        }
        const report::Rows rows = report::ReadRows(db, d, *compiled);
        const int c = int(rows.columns.indexOf(column));
        for (const QVariantList& r : rows.rows) out << r[c].toString();
        db.Close();
        return out;
    }

    QString file;
    int bio = 0, chem = 0, ann = 0, bob = 0, cy = 0, quiz = 0, test = 0, lab = 0, final = 0;
};

TEST_F(ReportTest, FormulasSelectTheRightRows) {
    struct Case {
        const char* what;
        QString source;
        QString formula;
        QString column;
        QStringList expected;
    };
    const QList<Case> cases{
        {"students by ID, dates inclusive", "ScoreSummary",
         QString("({ScoreSummary.StudentID} = %1 or {ScoreSummary.StudentID} = %2) and ({ScoreSummary.Date} in "
                 "Date(1996, 9, 1) to Date(1996, 12, 20))").arg(ann).arg(cy),
         "Description", {"Lab", "Quiz 1", "Quiz 1", "Test 1"}},
        {"averages and classes", "ClassSummary",
         QString("({ClassSummary.Average} in (0.5999999 to 0.8000001)) and ({ClassSummary.ClassID} = %1 Or "
                 "{ClassSummary.ClassID} = %2)").arg(bio).arg(chem),
         "Name", {"Abel, Cy", "Jones, Bob", "Smith, Ann"}},
        {"the tables directly", "NoQuery", QString("({Classes.ClassID} = %1)").arg(chem), "Description", {"Final", "Lab"}},
        {"keywords in any case", "ClassSummary",
         QString("NOT ({ClassSummary.ClassID} = %1) AnD {ClassSummary.Average} >= 0.69").arg(chem), "Name",
         {"Abel, Cy", "Smith, Ann"}},
        {"average bound reaches the stored value", "ClassSummary",
         "{ClassSummary.Average} in 0.0899999 to 0.5500001", "Name", {"Jones, Bob"}},
        {"the last day of a range is included", "ScoreSummary",
         "{ScoreSummary.Date} in Date(1996, 12, 21) to Date(1996, 12, 21)", "Description", {"Final"}},
        {"text compared as text", "ClassSummary", "{ClassSummary.Grade} = 'C+'", "Name", {"Jones, Bob"}},
        {"an empty formula selects everything", "ClassSummary", "", "Name",
         {"Abel, Cy", "Jones, Bob", "Jones, Bob", "Smith, Ann", "Smith, Ann"}},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(selected(c.source, c.formula, c.column, &error), c.expected) << c.what << " " << error.toStdString();
    }
}

TEST_F(ReportTest, FormulaErrorsSayWhereAndNeverReachSql) {
    struct Case {
        QString formula;
        int position;
        QString words;
    };
    const QList<Case> cases{
        {"{ScoreSummary.Nope} = 1", 1, "no field"},
        {"({ScoreSummary.StudentID} = )", 29, "Expected a number"},
        {"{ScoreSummary.Date} in Date(1996, 13, 1) to Date(1996, 12, 1)", 24, "does not exist"},
        {"{ScoreSummary.StudentID = 5", 1, "not closed"},
        {"{ScoreSummary.StudentID} = 5; DROP TABLE Scores", 29, "Unexpected character"},
        {"{ScoreSummary.StudentID} = 5 {ScoreSummary.ClassID} = 1", 30, "Expected 'and'"},
        {"{ScoreSummary.Average} in 0.1 0.2", 31, "Expected 'to'"},
        {"{ScoreSummary.Average} = Date(1996, 1, 1)", 26, "holds no dates"},
    };
    engine::Database db = engine::Workspace::Default().OpenDatabase(file, engine::Workspace::Mode::ReadOnly);
    const auto fields = report::FormulaFields(db, "ScoreSummary");
    db.Close();
    for (const Case& c : cases) {
        formula::Error e;
        EXPECT_FALSE(formula::Compile(c.formula, fields, &e).has_value()) << c.formula.toStdString();
        EXPECT_EQ(e.position, c.position) << c.formula.toStdString() << ": " << e.text().toStdString();
        EXPECT_TRUE(e.message.contains(c.words)) << e.text().toStdString();
    }
    // Values are parameters: a quote in a text is data, not SQL.
    formula::Error e;
    const auto compiled = formula::Compile("{ScoreSummary.Grade} = 'x'' OR 1=1 --'", fields, &e);
    ASSERT_TRUE(compiled.has_value());
    EXPECT_EQ(compiled->params, QVariantList{"x' OR 1=1 --"});
    EXPECT_FALSE(compiled->where.contains("1=1"));
}

TEST_F(ReportTest, StudentReportsGiveEachStudentAPage) {
    const report::Document doc = run("RPT_SS.RPT");
    ASSERT_EQ(doc.pages.size(), 3);
    const QStringList names{"Abel, Cy", "Jones, Bob", "Smith, Ann"};
    for (int p = 0; p < 3; ++p) {
        const QStringList texts = doc.pages[p].texts();
        EXPECT_TRUE(texts.contains(names[p])) << p;
        for (int q = 0; q < 3; ++q) {
            if (q != p) {
                EXPECT_FALSE(texts.contains(names[q])) << "one student per page";
            }
        }
        EXPECT_TRUE(texts.contains(QString("Page %1 of 3").arg(p + 1)));
        EXPECT_TRUE(texts.contains("Parent's or guardian's signature"));
    }
    EXPECT_TRUE(doc.pages[2].texts().contains("90.00%"));
    EXPECT_TRUE(doc.pages[2].texts().contains("A-"));
}

TEST_F(ReportTest, StatisticsAreComputedPerAssignment) {
    const report::Document doc = run("ASNSTRAW.RPT", QString("{ScoreSummary.ClassID} = %1").arg(bio));
    ASSERT_EQ(doc.pages.size(), 1);
    const QStringList texts = doc.pages[0].texts();
    // Quiz 1: 9, 5, 7 -> count 3, mean 7.0, lowest 5.0, highest 9.0, standard deviation 2.00
    const int quizAt = int(texts.indexOf("Quiz 1"));
    ASSERT_GE(quizAt, 0);
    EXPECT_EQ(texts.mid(quizAt, 8), (QStringList{"Quiz 1", "9/1/1996", "10", "3", "7.0", "5.0", "9.0", "2.00"}));
    // Test 1: 91, 58 -> mean 74.5, standard deviation 23.33
    const int testAt = int(texts.indexOf("Test 1"));
    EXPECT_EQ(texts.mid(testAt, 8), (QStringList{"Test 1", "12/20/1996", "100", "2", "74.5", "58.0", "91.0", "23.33"}));
    EXPECT_FALSE(texts.contains("Smith, Ann")) << "the report has no detail band: no student lines";

    const report::Document percent = run("ASNSTPER.RPT", QString("{ScoreSummary.ClassID} = %1").arg(bio));
    const QStringList p = percent.pages[0].texts();
    EXPECT_EQ(p.mid(int(p.indexOf("Quiz 1")), 8),
              (QStringList{"Quiz 1", "9/1/1996", "10", "3", "70.00%", "50.00%", "90.00%", "20.00%"}));
}

TEST_F(ReportTest, ClassListsCountAndAverage) {
    const report::Document doc = run("CLSSUM.RPT");
    ASSERT_EQ(doc.pages.size(), 2) << "a page per class";
    const QStringList bioTexts = doc.pages[0].texts();
    EXPECT_TRUE(bioTexts.contains("3 students"));
    EXPECT_TRUE(bioTexts.contains("Class mean 71.67%"));
    EXPECT_LT(bioTexts.indexOf("Abel, Cy"), bioTexts.indexOf("Jones, Bob"));
    const report::Document byId = run("CLSSUMID.RPT");
    const QStringList idTexts = byId.pages[0].texts();
    EXPECT_LT(idTexts.indexOf("S-1"), idTexts.indexOf("S-2"));
    EXPECT_LT(idTexts.indexOf("S-2"), idTexts.indexOf("S-3"));
}

TEST_F(ReportTest, LongListsRepeatTheirColumnHeadings) {
    {
        engine::Database db = engine::Workspace::Default().OpenDatabase(file);
        db.BeginTrans();
        for (int i = 0; i < 60; ++i) enrol(db, bio, addStudent(db, QString("K%1").arg(i, 2, 10, QChar('0')), "Many"));
        db.CommitTrans();
        db.Close();
    }
    const report::Document doc = run("CLSSUM.RPT", QString("{ClassSummary.ClassID} = %1").arg(bio));
    ASSERT_GE(doc.pages.size(), 2);
    for (const report::Page& p : doc.pages) {
        EXPECT_TRUE(p.texts().contains("Student")) << "the column headings on every page";
        EXPECT_TRUE(p.texts().contains("Biology"));
    }
    EXPECT_TRUE(doc.pages.last().texts().contains("63 students")) << "the summary comes once, at the end";
    EXPECT_FALSE(doc.pages.first().texts().contains("63 students"));
}

TEST_F(ReportTest, CrossTabSplitsColumnsThatDoNotFit) {
    {
        engine::Database db = engine::Workspace::Default().OpenDatabase(file);
        db.BeginTrans();
        for (int i = 0; i < 30; ++i) addScore(db, ann, addAssignment(db, bio, QString("Extra %1").arg(i), 10, QDate(1997, 1, 1).addDays(i)), i % 10);
        db.CommitTrans();
        db.Close();
    }
    const report::Document doc = run("GSSCORE.RPT", QString("{ScoreSummary.ClassID} = %1").arg(bio));
    ASSERT_GE(doc.pages.size(), 2);
    QStringList all;
    for (const report::Page& p : doc.pages) all << p.texts();
    EXPECT_TRUE(all.contains("Quiz 1"));
    EXPECT_TRUE(all.contains("Extra 29"));
    EXPECT_EQ(all.count("Smith, Ann"), doc.pages.size()) << "the rows are repeated beside the columns that follow";
    EXPECT_EQ(all.count("Average"), doc.pages.size());
    EXPECT_EQ(all.count("Extra 29"), 1) << "each column once";
    // Columns in date order: Quiz 1 (1 Sep) before Test 1 (20 Dec) before the extras.
    const QStringList first = doc.pages[0].texts();
    EXPECT_LT(first.indexOf("Quiz 1"), first.indexOf("Test 1"));
    EXPECT_LT(first.indexOf("Test 1"), first.indexOf("Extra 0"));
}

TEST_F(ReportTest, EveryBuiltInReportRunsAndNamesOnlyItsSourcesFields) {
    const QStringList reports{"RPT_S.RPT",   "RPT_SS.RPT",   "SCORESUM.RPT", "RPT_NS.RPT",  "ASNNAME.RPT",
                              "ASNID.RPT",   "ASNLIST.RPT",  "ASNSTRAW.RPT", "ASNSTPER.RPT", "CLSSUM.RPT",
                              "CLSSUMID.RPT", "DATAENT.RPT", "GSSCORE.RPT"};
    for (const QString& r : reports) {
        const report::Document doc = run(r);
        EXPECT_FALSE(doc.pages.isEmpty()) << r.toStdString();
        EXPECT_FALSE(doc.title.isEmpty()) << r.toStdString();
    }
    EXPECT_EQ(run("ASNLIST.RPT").pages[0].texts().count("Quiz 1"), 1);
}

TEST_F(ReportTest, BadDefinitionsAreReportedWithTheirPlace) {
    struct Case {
        QByteArray xml;
        QString words;
    };
    const QList<Case> cases{
        {"<report source=\"ClassSummary\">\n  <detail height=\"10\">\n    <text>{Name}\n  </detail>\n</report>\n", "line 4"},
        {"<report source=\"Elsewhere\"/>", "source must be"},
        {"<report source=\"ClassSummary\">\n<detail>\n<circle/>\n</detail>\n</report>", "line 3"},
        {"<report source=\"ClassSummary\">\n<detail height=\"10\">\n<text>{Nmae}</text>\n</detail>\n</report>",
         "line 3, column 6: ClassSummary has no field Nmae"},
        {"<report source=\"ClassSummary\">\n<detail height=\"ten\"/>\n</report>", "is not a number"},
    };
    const QByteArray before = fileBytes("r.TLR");
    for (const Case& c : cases) {
        QFile f(path("custom.RPT"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.xml);
        f.close();
        QString error;
        EXPECT_FALSE(report::Run(path("custom.RPT"), file, {}, &error).has_value());
        EXPECT_TRUE(error.contains(c.words)) << error.toStdString();
    }
    EXPECT_EQ(fileBytes("r.TLR"), before);
}

TEST_F(ReportTest, TheDataFileIsOnlyRead) {
    const QByteArray before = fileBytes("r.TLR");
    run("RPT_NS.RPT");
    EXPECT_EQ(fileBytes("r.TLR"), before);
    EXPECT_FALSE(QFile::exists(path("r.LDB")));
}

TEST_F(ReportTest, PdfCarriesTheReportsText) {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    ASSERT_FALSE(pdftotext.isEmpty()) << "poppler-utils is part of the set-up";
    const report::Document doc = run("RPT_S.RPT");
    QString error;
    ASSERT_TRUE(report::WritePdf(doc, path("out.pdf"), &error)) << error.toStdString();
    QProcess p;
    p.start(pdftotext, {"-layout", path("out.pdf"), "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains("Student Grade Report"));
    EXPECT_TRUE(text.contains("Smith, Ann"));
    EXPECT_TRUE(text.contains("Page 3 of 3"));
    EXPECT_EQ(text.count("Student Grade Report -"), 3) << "every page has its footer";
}

TEST(ReportHelp, FreeCustomReportsDocumentsTheFormat) {
    HelpFile help;
    ASSERT_TRUE(help.load(HelpFile::locate("Tlyroll.hlp")));
    const HelpFile::Topic* t = help.topic(28);
    ASSERT_NE(t, nullptr);
    for (const char* word : {"&lt;report", "&lt;group", "&lt;detail", "&lt;crosstab", "{sum(", ":percent", "{pages}"})
        EXPECT_TRUE(t->body.contains(word)) << word;
}

}  // namespace
