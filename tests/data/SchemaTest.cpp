#include "data/Schema.h"
#include "support/Fixtures.h"

using namespace fixtures;

class SchemaTest : public TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        createDataFile(path("s.TLR"));
        db = engine::Workspace::Default().OpenDatabase(path("s.TLR"), engine::Workspace::Mode::ReadOnly);
    }
    void TearDown() override { db.Close(); }
    QStringList column(const QString& sql) {
        QStringList out;
        engine::Recordset rs = db.OpenDynaset(sql);
        while (!rs.AtEOF()) {
            out << rs.field(rs.fieldNames().first()).toString();
            rs.MoveNext();
        }
        return out;
    }
    engine::Database db;
};

TEST_F(SchemaTest, NewFileHasTheSevenTablesWithTheirFields) {
    EXPECT_EQ(db.TableNames(), (QStringList{"Assignments", "Classes", "Scores", "Security", "StudentClass", "Students",
                                            "Version"}));
    struct Expect {
        const char* table;
        QStringList fields;
        QStringList types;
    };
    const Expect expected[] = {
        {"Assignments", {"AssignmentID", "Description", "ClassID", "MaximumPoints", "Date", "Weight"},
         {"INTEGER", "VARCHAR(50)", "INTEGER", "REAL", "DATETIME", "REAL"}},
        {"Classes", {"ClassID", "ClassName", "Term", "Notes", "UseWeight"},
         {"INTEGER", "VARCHAR(30)", "VARCHAR(20)", "VARCHAR(50)", "SMALLINT"}},
        {"Scores", {"StudentID", "AssignmentID", "Score", "Late", "Drop"}, {"INTEGER", "INTEGER", "REAL", "BOOLEAN", "BOOLEAN"}},
        {"StudentClass", {"ClassID", "StudentID", "Grade", "Average"}, {"INTEGER", "INTEGER", "VARCHAR(50)", "REAL"}},
        {"Students", {"StudentID", "FirstName", "LastName", "ID", "Notes"},
         {"INTEGER", "VARCHAR(20)", "VARCHAR(30)", "VARCHAR(20)", "VARCHAR(100)"}},
        {"Security", {"SecurityID", "Password"}, {"INTEGER", "VARCHAR(10)"}},
        {"Version", {"VersionID", "VersionNumber"}, {"INTEGER", "REAL"}},
    };
    for (const Expect& e : expected) {
        EXPECT_EQ(db.FieldNames(e.table), e.fields) << e.table;
        EXPECT_EQ(column(QString("SELECT type FROM pragma_table_info('%1')").arg(e.table)), e.types) << e.table;
    }
}

TEST_F(SchemaTest, EightNamedIndexesFiveCascadingRelationsTwoQueries) {
    int indexes = 0;
    for (const schema::Table& t : schema::Tables()) {
        engine::Recordset rs = db.OpenTable(t.name);
        for (const schema::Index& ix : t.indexes) {
            EXPECT_NO_THROW(rs.setIndex(ix.name)) << t.name.toStdString() << "." << ix.name.toStdString();
            ++indexes;
        }
    }
    EXPECT_EQ(indexes, 8);
    EXPECT_EQ(column("SELECT name FROM sqlite_master WHERE type = 'index' AND name LIKE '%Index'"),
              (QStringList{"Scores_ScoreIndex", "StudentClass_StudentClassIndex"}));
    QStringList relations;
    for (const QString& t : db.TableNames())
        for (const QString& r : column(QString("SELECT \"table\" || '>' || '%1' || '.' || \"from\" || ':' || on_delete "
                                               "FROM pragma_foreign_key_list('%1')").arg(t)))
            relations << r;
    relations.sort();
    EXPECT_EQ(relations, (QStringList{"Assignments>Scores.AssignmentID:CASCADE", "Classes>Assignments.ClassID:CASCADE",
                                      "Classes>StudentClass.ClassID:CASCADE", "Students>Scores.StudentID:CASCADE",
                                      "Students>StudentClass.StudentID:CASCADE"}));
    EXPECT_EQ(db.QueryDefNames(), (QStringList{"ClassSummary", "ScoreSummary"}));
    for (const schema::Query& q : schema::Queries()) EXPECT_EQ(db.QueryDefSql(q.name), q.sql);
}

TEST_F(SchemaTest, VersionRowAndNoSecurityRow) {
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM Version").toInt(), 1);
    EXPECT_EQ(float(scalar(db, "SELECT VersionNumber FROM Version").toDouble()), 2.01f);
    EXPECT_EQ(scalar(db, "SELECT COUNT(*) FROM Security").toInt(), 0);
    EXPECT_EQ(scalar(db, "PRAGMA integrity_check").toString(), "ok");
    EXPECT_TRUE(scalar(db, "PRAGMA foreign_key_check").isNull());
}
