#include "data/Crypt.h"
#include "data/DataFile.h"
#include "data/Schema.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

using namespace fixtures;
using datafile::OpenResult;

namespace {

// Raw SQL on a file, as another tool would run it.
void rawSql(const QString& file, const QString& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

QString schemaDump(const QString& file) {
    engine::Database db = engine::Workspace::Default().OpenDatabase(file, engine::Workspace::Mode::ReadOnly);
    engine::Recordset rs = db.OpenDynaset("SELECT type || ' ' || name || ' ' || IFNULL(sql, '') AS s FROM sqlite_master ORDER BY name");
    QString out;
    while (!rs.AtEOF()) {
        out += rs.field("s").toString() + "\n";
        rs.MoveNext();
    }
    db.Close();
    return out;
}

class DataFileTest : public TempFolderTest {
protected:
    OpenResult open(const QString& name, const QString& password = {}) {
        st.FileName = path(name);
        st.LockFileName = engine::Workspace::LockFilePath(st.FileName);
        st.FilePassword = password;
        return datafile::OpenDB(st, ui);
    }

    // A file as the earliest format wrote it: no Version table, no UseWeight, no stored queries.
    void makeEarliestFormat(const QString& name) {
        createDataFile(path(name));
        {
            engine::Database db = engine::Workspace::Default().OpenDatabase(path(name));
            const int cls = addClass(db, "Old class", "1998", QVariant());
            const int s = addStudent(db, "Ann", "Lee");
            enrol(db, cls, s, 0.5);
            db.Close();
        }
        rawSql(path(name), "DROP VIEW ClassSummary; DROP VIEW ScoreSummary; DROP TABLE Version; "
                           "ALTER TABLE Classes DROP COLUMN UseWeight;");
    }

    ProgramState st;
    ScriptedUi ui;
};

TEST_F(DataFileTest, EarliestFormatIsUpgradedOnceAndKeepsItsRows) {
    makeEarliestFormat("old.TLR");
    ASSERT_EQ(open("old.TLR"), OpenResult::Opened) << ui.messages.join("|").toStdString();
    EXPECT_EQ(float(scalar(st.CurrentDB, "SELECT VersionNumber FROM Version").toDouble()), 2.01f);
    EXPECT_EQ(scalar(st.CurrentDB, "SELECT COUNT(*) FROM Version").toInt(), 1);
    EXPECT_TRUE(st.CurrentDB.FieldNames("Classes").contains("UseWeight"));
    EXPECT_TRUE(scalar(st.CurrentDB, "SELECT UseWeight FROM Classes").isNull());
    EXPECT_EQ(scalar(st.CurrentDB, "SELECT Class FROM ClassSummary").toString(), "Old class");
    EXPECT_EQ(st.CurrentDB.QueryDefSql("ScoreSummary"), schema::QueryText("ScoreSummary"));
    datafile::CloseDataFile(st);

    const QString upgraded = schemaDump(path("old.TLR"));
    ASSERT_EQ(open("old.TLR"), OpenResult::Opened);
    datafile::CloseDataFile(st);
    EXPECT_EQ(schemaDump(path("old.TLR")), upgraded) << "a second opening changes nothing";
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(DataFileTest, IntermediateFormatGetsTheNewScoreSummary) {
    createDataFile(path("v2.TLR"));
    rawSql(path("v2.TLR"), "UPDATE Version SET VersionNumber = 2; DROP VIEW ScoreSummary; "
                           "CREATE VIEW ScoreSummary AS SELECT StudentID FROM Scores;");
    ASSERT_EQ(open("v2.TLR"), OpenResult::Opened);
    EXPECT_EQ(st.CurrentDB.QueryDefSql("ScoreSummary"), schema::QueryText("ScoreSummary"));
    EXPECT_EQ(float(scalar(st.CurrentDB, "SELECT VersionNumber FROM Version").toDouble()), 2.01f);
}

TEST_F(DataFileTest, CurrentFormatIsNotTouched) {
    createDataFile(path("new.TLR"));
    const QString before = schemaDump(path("new.TLR"));
    ASSERT_EQ(open("new.TLR"), OpenResult::Opened);
    datafile::CloseDataFile(st);
    EXPECT_EQ(schemaDump(path("new.TLR")), before);
}

TEST_F(DataFileTest, UpgradeThatFailsHalfWayLeavesTheFileAsItWas) {
    makeEarliestFormat("broken.TLR");
    // Another tool left a table where the upgrade must put a stored query.
    rawSql(path("broken.TLR"), "CREATE TABLE ClassSummary (x)");
    const QByteArray before = fileBytes("broken.TLR");
    EXPECT_EQ(open("broken.TLR"), OpenResult::Failed);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith("OpenDB ")) << ui.messages[0].toStdString();
    EXPECT_EQ(fileBytes("broken.TLR"), before);
    EXPECT_FALSE(st.isFileOpen());
    EXPECT_TRUE(st.FileName.isEmpty());
    EXPECT_FALSE(QFile::exists(path("broken.LDB")));
}

TEST_F(DataFileTest, FirstOpeningStoresThePasswordScrambled) {
    createDataFile(path("p.TLR"));
    ASSERT_EQ(open("p.TLR", "Secret"), OpenResult::Opened);
    const QString stored = scalar(st.CurrentDB, "SELECT Password FROM Security").toString();
    EXPECT_NE(stored, "Secret");
    EXPECT_EQ(secret::Crypt(stored), "Secret");
    datafile::CloseDataFile(st);

    struct Case {
        const char* typed;
        OpenResult result;
    };
    for (const Case& c : {Case{"Secret", OpenResult::Opened}, Case{"secret", OpenResult::WrongPassword},
                          Case{"", OpenResult::WrongPassword}, Case{"Secret ", OpenResult::WrongPassword}}) {
        ui.messages.clear();
        EXPECT_EQ(open("p.TLR", c.typed), c.result) << c.typed;
        if (c.result == OpenResult::WrongPassword) {
            EXPECT_EQ(ui.messages, QStringList{"Password is incorrect."});
            EXPECT_TRUE(st.FileName.isEmpty());
            EXPECT_FALSE(st.isFileOpen());
            EXPECT_FALSE(st.ClassesRS.isOpen());
            EXPECT_FALSE(QFile::exists(path("p.LDB")));
        }
        datafile::CloseDataFile(st);
    }
}

TEST_F(DataFileTest, EmptyPasswordOpensOnlyWithAnEmptyPrompt) {
    createDataFile(path("e.TLR"));
    ASSERT_EQ(open("e.TLR", ""), OpenResult::Opened);
    datafile::CloseDataFile(st);
    EXPECT_EQ(open("e.TLR", "x"), OpenResult::WrongPassword);
    EXPECT_EQ(open("e.TLR", ""), OpenResult::Opened);
}

TEST_F(DataFileTest, FilesThatAreNoDataFilesAreRefusedUntouched) {
    createDataFile(path("good.TLR"));
    ASSERT_EQ(open("good.TLR"), OpenResult::Opened);
    const int cls = addClass(st.CurrentDB, "Kept");
    st.CurrentClassID = cls;

    auto writeFile = [&](const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    writeFile("text.TLR", "Name,Score\nAnn,85\n");
    writeFile("empty.TLR", "");
    createDataFile(path("full.TLR"));
    writeFile("truncated.TLR", fileBytes("full.TLR").left(3000));
    rawSql(path("other.TLR"), "CREATE TABLE recipes (name TEXT, minutes INTEGER); INSERT INTO recipes VALUES ('soup', 20);");
    createDataFile(path("missing.TLR"));
    rawSql(path("missing.TLR"), "DROP TABLE Scores");

    for (const QString name : {"text.TLR", "empty.TLR", "truncated.TLR", "other.TLR", "missing.TLR", "absent.TLR"}) {
        const QByteArray before = fileBytes(name);
        const bool existed = QFile::exists(path(name));
        ui.messages.clear();
        EXPECT_EQ(open(name), OpenResult::Failed) << name.toStdString();
        ASSERT_EQ(ui.messages.size(), 1) << name.toStdString();
        EXPECT_TRUE(ui.messages[0].startsWith("OpenDB ")) << ui.messages[0].toStdString();
        EXPECT_GT(ui.messages[0].size(), 12) << "the message says what is wrong";
        EXPECT_EQ(fileBytes(name), before) << name.toStdString();
        EXPECT_EQ(QFile::exists(path(name)), existed) << name.toStdString();
        EXPECT_FALSE(QFile::exists(engine::Workspace::LockFilePath(path(name)))) << name.toStdString();
        // The file that was open is still fully open.
        EXPECT_EQ(st.FileName, path("good.TLR"));
        EXPECT_EQ(st.LockFileName, path("good.LDB"));
        ASSERT_TRUE(st.ClassesRS.isOpen());
        st.ClassesRS.setIndex("ClassID");
        st.ClassesRS.Seek("=", cls);
        EXPECT_FALSE(st.ClassesRS.NoMatch());
    }
}

TEST_F(DataFileTest, OpeningAnotherFileReleasesThePreviousOne) {
    createDataFile(path("a.TLR"));
    createDataFile(path("b.TLR"));
    ASSERT_EQ(open("a.TLR"), OpenResult::Opened);
    engine::Recordset oldClasses = st.ClassesRS;
    ASSERT_EQ(open("b.TLR"), OpenResult::Opened);
    EXPECT_FALSE(oldClasses.isOpen());
    EXPECT_FALSE(QFile::exists(path("a.LDB")));
    EXPECT_TRUE(QFile::exists(path("b.LDB")));
    EXPECT_EQ(st.CurrentDB.Name(), path("b.TLR"));
    datafile::CloseDataFile(st);
    EXPECT_FALSE(QFile::exists(path("b.LDB")));
    EXPECT_EQ(st.FileName, path("b.TLR")) << "closing keeps the name";
}

TEST_F(DataFileTest, NamesMustEndInTlr) {
    struct Case {
        const char* name;
        bool accepted;
        const char* lock;
    };
    const Case cases[] = {
        {"/w/Work.2024/marks.tlr", true, "/w/Work.2024/marks.LDB"},
        {"/w/marks.TlR", true, "/w/marks.LDB"},
        {"/w/marks.txt", false, ""},
        {"/w/marks", false, ""},
        {"/w/Work.TLR/marks", false, ""},
    };
    for (const Case& c : cases) {
        ui.messages.clear();
        st.LockFileName.clear();
        EXPECT_EQ(datafile::CheckName(st, ui, c.name), c.accepted) << c.name;
        EXPECT_EQ(st.LockFileName, c.lock);
        EXPECT_EQ(ui.messages, c.accepted ? QStringList{} : QStringList{"File must have .TLR as extension"});
    }
}

TEST_F(DataFileTest, SameFileSeesThroughSpellings) {
    createDataFile(path("same.TLR"));
    ASSERT_TRUE(QFile::link(path("same.TLR"), path("link.TLR")));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("sub"));
    EXPECT_TRUE(datafile::SameFile(path("same.TLR"), path("sub/../same.TLR")));
    EXPECT_TRUE(datafile::SameFile(path("same.TLR"), path("link.TLR")));
    EXPECT_FALSE(datafile::SameFile(path("same.TLR"), path("other.TLR")));
}

}  // namespace
