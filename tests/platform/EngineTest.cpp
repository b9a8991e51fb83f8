#include "platform/engine/Dialect.h"
#include "platform/engine/Engine.h"
#include "platform/runtime/Runtime.h"
#include "support/Fixtures.h"

#include <QFile>
#include <functional>

using engine::DbError;
using namespace fixtures;

namespace {

class EngineTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        createDataFile(path("e.TLR"));
        db = engine::Workspace::Default().OpenDatabase(path("e.TLR"));
    }
    void TearDown() override { db.Close(); }

    int errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const DbError& e) {
            lastMessage = e.description();
            return e.number();
        }
        return 0;
    }

    engine::Database db;
    QString lastMessage;
};

TEST_F(EngineTest, RefusesWhatTheFieldRulesForbid) {
    const int cls = addClass(db, "Biology");
    const int student = addStudent(db, "Ann", "Lee");
    const int asn = addAssignment(db, cls, "Quiz", 10, QDate(2026, 9, 1));
    enrol(db, cls, student);
    addScore(db, student, asn, 8);

    struct Case {
        const char* what;
        std::function<void()> action;
        int expected;
    };
    const QList<Case> cases{
        {"empty class name", [&] { addClass(db, ""); }, engine::ErrZeroLengthString},
        {"empty first name", [&] { addStudent(db, "", "Lee"); }, engine::ErrZeroLengthString},
        {"empty assignment description", [&] { addAssignment(db, cls, "", 10, QDate(2026, 1, 1)); },
         engine::ErrZeroLengthString},
        {"empty term and notes are fine", [&] { addClass(db, "Chem", ""); }, 0},
        {"term of 21 characters", [&] { addClass(db, "Chem", QString(21, 'x')); }, engine::ErrFieldTooSmall},
        {"term of 20 characters", [&] { addClass(db, "Chem", QString(20, 'x')); }, 0},
        {"first name of 21 characters", [&] { addStudent(db, QString(21, 'a'), "Lee"); }, engine::ErrFieldTooSmall},
        {"second roster row", [&] { enrol(db, cls, student); }, engine::ErrDuplicateKey},
        {"second score", [&] { addScore(db, student, asn, 9); }, engine::ErrDuplicateKey},
        {"score of a missing assignment", [&] { addScore(db, student, asn + 100, 9); }, engine::ErrRelatedRecordRequired},
        {"roster row of a missing class", [&] { enrol(db, cls + 100, student); }, engine::ErrRelatedRecordRequired},
        {"score beyond single precision", [&] { addScore(db, student, addAssignment(db, cls, "B", 1, QDate(2026, 1, 2)), 1e39); },
         engine::ErrNumericOverflow},
        {"score that is no number",
         [&] {
             engine::Recordset rs = db.OpenTable("Scores");
             rs.AddNew();
             rs.setField("StudentID", student);
             rs.setField("AssignmentID", asn);
             rs.setField("Score", "abc");
             rs.Update();
         },
         engine::ErrConversion},
        {"password of 11 characters",
         [&] {
             engine::Recordset rs = db.OpenTable("Security");
             rs.AddNew();
             rs.setField("Password", QString(11, 'p'));
             rs.Update();
         },
         engine::ErrFieldTooSmall},
        {"raw SQL obeys the same rules", [&] { db.Execute("INSERT INTO Classes (ClassName) VALUES ('')"); },
         engine::ErrZeroLengthString},
        {"raw SQL cannot store text as a score",
         [&] { db.Execute(QString("UPDATE Scores SET Score = 'high' WHERE StudentID = %1").arg(student)); },
         engine::ErrConversion},
    };
    for (const Case& c : cases) EXPECT_EQ(errorOf(c.action), c.expected) << c.what << ": " << lastMessage.toStdString();
}

TEST_F(EngineTest, RelatedRecordMessageNamesTheTable) {
    const int student = addStudent(db, "Ann", "Lee");
    EXPECT_EQ(errorOf([&] { addScore(db, student, 999, 1); }), engine::ErrRelatedRecordRequired);
    EXPECT_TRUE(lastMessage.contains("'Assignments'")) << lastMessage.toStdString();
}

TEST_F(EngineTest, DeletingCascadesThroughTheRelations) {
    const int bio = addClass(db, "Biology");
    const int chem = addClass(db, "Chemistry");
    const int ann = addStudent(db, "Ann", "Lee");
    const int bob = addStudent(db, "Bob", "Ray");
    const int q1 = addAssignment(db, bio, "Q1", 10, QDate(2026, 9, 1));
    const int c1 = addAssignment(db, chem, "C1", 10, QDate(2026, 9, 1));
    for (int s : {ann, bob}) {
        enrol(db, bio, s);
        enrol(db, chem, s);
        addScore(db, s, q1, 5);
        addScore(db, s, c1, 6);
    }
    auto count = [&](const QString& sql) { return scalar(db, sql).toInt(); };

    engine::Recordset classes = db.OpenTable("Classes");
    classes.setIndex("ClassID");
    classes.Seek("=", bio);
    ASSERT_FALSE(classes.NoMatch());
    classes.Delete();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Assignments"), 1);
    EXPECT_EQ(count(QString("SELECT COUNT(*) FROM StudentClass WHERE ClassID = %1").arg(bio)), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM StudentClass"), 2);
    EXPECT_EQ(count(QString("SELECT COUNT(*) FROM Scores WHERE AssignmentID = %1").arg(q1)), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Scores"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Students"), 2);

    engine::Recordset students = db.OpenTable("Students");
    students.setIndex("StudentID");
    students.Seek("=", ann);
    students.Delete();
    EXPECT_EQ(count("SELECT COUNT(*) FROM Scores"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM StudentClass"), 1);
    EXPECT_EQ(count(QString("SELECT COUNT(*) FROM Scores WHERE StudentID = %1").arg(bob)), 1);
}

TEST_F(EngineTest, SeeksOnOneAndTwoKeysAndWalksInIndexOrder) {
    const int cls = addClass(db, "Biology");
    const int a = addStudent(db, "Ann", "Lee");
    const int b = addStudent(db, "Bob", "Ray");
    const int q1 = addAssignment(db, cls, "Q1", 10, QDate(2026, 9, 1));
    const int q2 = addAssignment(db, cls, "Q2", 10, QDate(2026, 9, 2));
    addScore(db, b, q1, 7);
    addScore(db, a, q2, 8);
    addScore(db, a, q1, 9);

    engine::Recordset scores = db.OpenTable("Scores");
    scores.setIndex("ScoreIndex");
    scores.Seek("=", a, q2);
    ASSERT_FALSE(scores.NoMatch());
    EXPECT_DOUBLE_EQ(scores.field("Score").toDouble(), 8);
    scores.Seek("=", b, q2);
    EXPECT_TRUE(scores.NoMatch());
    EXPECT_EQ(errorOf([&] { scores.field("Score"); }), engine::ErrNoCurrentRecord);

    // Index order: (a,q1), (a,q2), (b,q1)
    scores.MoveFirst();
    QList<double> seen;
    while (!scores.AtEOF()) {
        seen << scores.field("Score").toDouble();
        scores.MoveNext();
    }
    EXPECT_EQ(seen, (QList<double>{9, 8, 7}));
    EXPECT_EQ(errorOf([&] { scores.MoveNext(); }), engine::ErrNoCurrentRecord);
    EXPECT_EQ(scores.RecordCount(), 3);

    engine::Recordset asn = db.OpenTable("Assignments");
    asn.setIndex("AssignmentID");
    asn.Seek("=", q2);
    EXPECT_EQ(asn.field("Description").toString(), "Q2");
    EXPECT_EQ(asn.field("Date").toDate(), QDate(2026, 9, 2));
    EXPECT_EQ(errorOf([&] { asn.setIndex("NoSuchIndex"); }), engine::ErrItemNotFound);
    EXPECT_EQ(errorOf([&] { asn.field("NoSuchField"); }), engine::ErrItemNotFound);
}

TEST_F(EngineTest, EmptyTablesBookmarksAndDeletedRows) {
    engine::Recordset classes = db.OpenTable("Classes");
    EXPECT_TRUE(classes.AtEOF());
    EXPECT_TRUE(classes.AtBOF());
    EXPECT_EQ(errorOf([&] { classes.MoveFirst(); }), engine::ErrNoCurrentRecord);
    EXPECT_EQ(errorOf([&] { classes.MoveLast(); }), engine::ErrNoCurrentRecord);
    EXPECT_EQ(errorOf([&] { classes.Edit(); }), engine::ErrNoCurrentRecord);
    EXPECT_EQ(errorOf([&] { classes.setField("ClassName", "x"); }), engine::ErrUpdateWithoutEdit);

    classes.AddNew();
    classes.setField("ClassName", "One");
    classes.Update();
    const QString first = classes.LastModified();
    classes.AddNew();
    classes.setField("ClassName", "Two");
    classes.Update();
    classes.setBookmark(first);
    EXPECT_EQ(classes.field("ClassName").toString(), "One");
    const QString mark = classes.Bookmark();
    classes.MoveLast();
    EXPECT_EQ(classes.field("ClassName").toString(), "Two");
    classes.setBookmark(mark);
    classes.Edit();
    classes.setField("ClassName", "Uno");
    classes.Update();
    EXPECT_EQ(classes.field("ClassName").toString(), "Uno");
    EXPECT_EQ(classes.LastModified(), mark);

    classes.Delete();
    EXPECT_EQ(errorOf([&] { classes.field("ClassName"); }), engine::ErrRecordDeleted);
    classes.MoveNext();
    EXPECT_EQ(classes.field("ClassName").toString(), "Two");
    EXPECT_EQ(errorOf([&] { classes.setBookmark(mark); }), engine::ErrRecordDeleted);
}

TEST_F(EngineTest, SinglesAreStoredAtSinglePrecision) {
    const int cls = addClass(db, "Biology");
    const int s = addStudent(db, "Ann", "Lee");
    const int q = addAssignment(db, cls, "Q", 100, QDate(2026, 9, 1));
    addScore(db, s, q, 85.3);
    const double stored = scalar(db, "SELECT Score FROM Scores").toDouble();
    EXPECT_EQ(stored, double(85.3f));
    EXPECT_EQ(runtime::FormatSingle(stored), "85.3");
}

TEST_F(EngineTest, DynasetsTranslateConcatenationAndTakeFilters) {
    const int cls = addClass(db, "Biology");
    const int other = addClass(db, "Chemistry");
    const int ann = addStudent(db, "Ann", "Lee");
    const int zed = addStudent(db, "Zed", "Abel");
    engine::Recordset students = db.OpenTable("Students");
    students.setIndex("StudentID");
    students.Seek("=", zed);
    students.Edit();
    students.setField("FirstName", QVariant());
    students.Update();
    enrol(db, cls, ann);
    enrol(db, cls, zed);
    enrol(db, other, ann);

    engine::Recordset names = db.OpenDynaset(
        "SELECT Students.LastName & ', ' & Students.FirstName AS Name, Students.StudentID FROM Students "
        "ORDER BY Students.LastName & ', ' & Students.FirstName");
    ASSERT_EQ(names.RecordCount(), 2);
    EXPECT_EQ(names.field("Name").toString(), "Abel, ");  // Null joins as empty text
    names.MoveNext();
    EXPECT_EQ(names.field("Name").toString(), "Lee, Ann");

    engine::Recordset roster = db.OpenDynaset(
        "SELECT FirstName, LastName, Students.StudentID, StudentClass.ClassID FROM Students INNER JOIN StudentClass ON "
        "Students.StudentID = StudentClass.StudentID ORDER BY LastName, FirstName",
        QString("ClassID = %1").arg(cls));
    ASSERT_EQ(roster.RecordCount(), 2);
    EXPECT_EQ(roster.field("LastName").toString(), "Abel");
    roster.MoveLast();
    EXPECT_EQ(roster.field("StudentID").toInt(), ann);
    EXPECT_EQ(errorOf([&] { roster.Edit(); }), engine::ErrReadOnly);
    EXPECT_EQ(errorOf([&] { roster.Seek("=", 1); }), engine::ErrNotSupported);
}

TEST(Dialect, TranslatesChainsAndPlacesFilters) {
    using engine::dialect::addFilter;
    using engine::dialect::translate;
    EXPECT_EQ(translate("SELECT a & ', ' & b AS N FROM t"), "SELECT (COALESCE(a,'') || COALESCE(', ','') || COALESCE(b,'')) AS N FROM t");
    EXPECT_EQ(translate("SELECT x FROM t WHERE a = 'R&D'"), "SELECT x FROM t WHERE a = 'R&D'");
    EXPECT_EQ(translate("SELECT (a & b) AS N FROM t"), "SELECT ((COALESCE(a,'') || COALESCE(b,''))) AS N FROM t");
    EXPECT_EQ(addFilter("SELECT * FROM A ORDER BY Date", "ClassID = 3"), "SELECT * FROM A WHERE (ClassID = 3) ORDER BY Date");
    EXPECT_EQ(addFilter("SELECT * FROM A WHERE x = 1 OR y = 2 ORDER BY Date", "ClassID = 3"),
              "SELECT * FROM A WHERE (x = 1 OR y = 2) AND (ClassID = 3) ORDER BY Date");
    EXPECT_EQ(addFilter("SELECT * FROM A", "ClassID = 3"), "SELECT * FROM A WHERE (ClassID = 3) ");
    EXPECT_EQ(addFilter("SELECT * FROM (SELECT * FROM B WHERE q ORDER BY z) ORDER BY Date", "k = 1"),
              "SELECT * FROM (SELECT * FROM B WHERE q ORDER BY z) WHERE (k = 1) ORDER BY Date");
}

TEST_F(EngineTest, StoredQueriesKeepTheirTextAndRun) {
    const QString text = db.QueryDefSql("ClassSummary");
    EXPECT_TRUE(text.startsWith("SELECT Students.LastName & ', ' & Students.FirstName AS Name")) << text.toStdString();
    const int cls = addClass(db, "Biology", "Fall");
    const int s = addStudent(db, "Ann", "Lee");
    enrol(db, cls, s, 0.5, "B");
    engine::Recordset rs = db.OpenDynaset("SELECT Name, Class, Average, Grade FROM ClassSummary");
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.field("Name").toString(), "Lee, Ann");
    EXPECT_EQ(rs.field("Class").toString(), "Biology");
    EXPECT_DOUBLE_EQ(rs.field("Average").toDouble(), 0.5);
}

TEST_F(EngineTest, RollbackLeavesTheFileAsItWas) {
    db.BeginTrans();
    addClass(db, "Temporary");
    db.Rollback();
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM Classes").toInt(), 0);
}

TEST_F(EngineTest, ClosedDatabaseInvalidatesItsRecordsets) {
    engine::Recordset classes = db.OpenTable("Classes");
    db.Close();
    EXPECT_FALSE(classes.isOpen());
    EXPECT_EQ(errorOf([&] { classes.MoveFirst(); }), engine::ErrObjectInvalid);
}

TEST_F(EngineTest, LockFileLivesWhileTheFileIsOpen) {
    const QString lock = path("e.LDB");
    EXPECT_TRUE(QFile::exists(lock));
    engine::Database second = engine::Workspace::Default().OpenDatabase(path("e.TLR"));
    second.Close();
    EXPECT_TRUE(QFile::exists(lock)) << "the other connection still holds the file";
    db.Close();
    EXPECT_FALSE(QFile::exists(lock));
    engine::Database reader = engine::Workspace::Default().OpenDatabase(path("e.TLR"), engine::Workspace::Mode::ReadOnly);
    EXPECT_FALSE(QFile::exists(lock)) << "reading leaves no lock file";
    EXPECT_EQ(errorOf([&] { addClass(reader, "X"); }), engine::ErrReadOnly);
    reader.Close();
}

TEST_F(EngineTest, CreateAndOpenRefusals) {
    EXPECT_EQ(errorOf([&] { engine::Workspace::Default().CreateDatabase(path("e.TLR"), ""); }), engine::ErrDatabaseExists);
    EXPECT_EQ(errorOf([&] { engine::Workspace::Default().OpenDatabase(path("missing.TLR")); }), engine::ErrFileNotFound);
    QFile text(path("notes.TLR"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("these are my notes, not a database\n");
    text.close();
    EXPECT_EQ(errorOf([&] { engine::Workspace::Default().OpenDatabase(path("notes.TLR")); }), engine::ErrUnrecognizedFormat);
    EXPECT_FALSE(QFile::exists(path("notes.LDB")));
}

TEST(LockFilePath, ReplacesOnlyTheExtension) {
    EXPECT_EQ(engine::Workspace::LockFilePath("/w/Work.2024/marks.tlr"), "/w/Work.2024/marks.LDB");
    EXPECT_EQ(engine::Workspace::LockFilePath("/w/Work.2024/marks"), "/w/Work.2024/marks.LDB");
}

}  // namespace
