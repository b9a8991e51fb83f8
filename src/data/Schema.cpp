#include "Schema.h"

#include <QHash>
#include <QSet>

namespace schema {
namespace {

using FT = FieldType;

QString quoted(const QString& name) { return "\"" + name + "\""; }

// Name columns sort and compare the way a person reads them.
bool isNameColumn(const QString& field) {
    static const QSet<QString> names{"ClassName", "FirstName", "LastName", "Description"};
    return names.contains(field);
}

QString columnSql(const Table& table, const Field& f) {
    const QString n = quoted(f.name);
    auto check = [&](const QString& rule, const QString& condition) {
        return QString(" CONSTRAINT %1 CHECK (%2)").arg(quoted(f.name + "_" + rule), condition);
    };
    QString sql = n + " ";
    switch (f.type) {
        case FT::Counter:
            return sql + "INTEGER PRIMARY KEY AUTOINCREMENT";
        case FT::Long:
            sql += "INTEGER";
            sql += check("type", QString("typeof(%1) IN ('integer', 'null')").arg(n));
            sql += check("range", QString("%1 BETWEEN -2147483648 AND 2147483647").arg(n));
            break;
        case FT::Integer:
            sql += "SMALLINT";
            sql += check("type", QString("typeof(%1) IN ('integer', 'null')").arg(n));
            sql += check("range", QString("%1 BETWEEN -32768 AND 32767").arg(n));
            break;
        case FT::Single:
            sql += "REAL";
            sql += check("type", QString("typeof(%1) IN ('real', 'integer', 'null')").arg(n));
            sql += check("range", QString("abs(%1) <= 3.4028234663852886e38").arg(n));
            break;
        case FT::DateTime:
            sql += "DATETIME";
            sql += check("type", QString("%1 IS NULL OR (typeof(%1) = 'text' AND %1 GLOB "
                                         "'[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]*')").arg(n));
            break;
        case FT::Boolean:
            sql += "BOOLEAN";
            sql += check("type", QString("%1 IS NULL OR %1 IN (0, 1)").arg(n));
            break;
        case FT::Text:
            sql += QString("VARCHAR(%1)").arg(f.size);
            if (isNameColumn(f.name)) sql += " COLLATE NOCASE";
            sql += check("type", QString("typeof(%1) IN ('text', 'null')").arg(n));
            sql += check("size", QString("length(%1) <= %2").arg(n).arg(f.size));
            if (!f.allowZeroLength) sql += check("empty", QString("%1 <> ''").arg(n));
            break;
    }
    Q_UNUSED(table);
    return sql;
}

}  // namespace

const QList<Table>& Tables() {
    static const QList<Table> tables{
        {"Assignments",
         {{"AssignmentID", FT::Counter},
          {"Description", FT::Text, 50, false},
          {"ClassID", FT::Long},
          {"MaximumPoints", FT::Single},
          {"Date", FT::DateTime},
          {"Weight", FT::Single}},
         {{"AssignmentID", true, true, {"AssignmentID"}}, {"ClassID", false, false, {"ClassID"}}}},
        {"Classes",
         {{"ClassID", FT::Counter},
          {"ClassName", FT::Text, 30, false},
          {"Term", FT::Text, 20, true},
          {"Notes", FT::Text, 50, true},
          {"UseWeight", FT::Integer}},
         {{"ClassID", true, true, {"ClassID"}}}},
        {"Scores",
         {{"StudentID", FT::Long},
          {"AssignmentID", FT::Long},
          {"Score", FT::Single},
          {"Late", FT::Boolean},
          {"Drop", FT::Boolean}},
         {{"ScoreIndex", true, true, {"StudentID", "AssignmentID"}}}},
        {"StudentClass",
         {{"ClassID", FT::Long}, {"StudentID", FT::Long}, {"Grade", FT::Text, 50, true}, {"Average", FT::Single}},
         {{"StudentClassIndex", true, true, {"StudentID", "ClassID"}}}},
        {"Students",
         {{"StudentID", FT::Counter},
          {"FirstName", FT::Text, 20, false},
          {"LastName", FT::Text, 30, false},
          {"ID", FT::Text, 20, true},
          {"Notes", FT::Text, 100, true}},
         {{"StudentID", true, true, {"StudentID"}}}},
        {"Security", {{"SecurityID", FT::Counter}, {"Password", FT::Text, 10, true}}, {{"SecurityID", true, true, {"SecurityID"}}}},
        {"Version", {{"VersionID", FT::Counter}, {"VersionNumber", FT::Single}}, {{"VersionID", true, true, {"VersionID"}}}},
    };
    return tables;
}

const QList<Relation>& Relations() {
    static const QList<Relation> relations{
        {"Class_StudentClass", "Classes", "StudentClass", "ClassID"},
        {"Class_Assignment", "Classes", "Assignments", "ClassID"},
        {"Assignment_Score", "Assignments", "Scores", "AssignmentID"},
        {"Student_StudentClass", "Students", "StudentClass", "StudentID"},
        {"Student_Score", "Students", "Scores", "StudentID"},
    };
    return relations;
}

const QList<Query>& Queries() {
    static const QList<Query> queries{
        {"ClassSummary",
         "SELECT Students.LastName & ', ' & Students.FirstName AS Name, Students.ID AS ID, Students.Notes AS Notes, "
         "StudentClass.Average AS Average, Students.StudentID As StudentID, StudentClass.Grade AS Grade, Classes.ClassID "
         "AS ClassID, Classes.ClassName AS Class, Classes.Term AS Term FROM (StudentClass INNER JOIN Students ON "
         "StudentClass.StudentID = Students.StudentID) INNER JOIN Classes ON StudentClass.ClassID = Classes.ClassID "
         "ORDER BY Classes.ClassID, Students.LastName, Students.FirstName"},
        {"ScoreSummary",
         "SELECT Students.LastName & ', ' & Students.FirstName AS Name, Students.ID AS ID, Students.Notes AS Notes, "
         "StudentClass.Average AS Average, Students.StudentID As StudentID, StudentClass.Grade AS Grade, Classes.ClassID "
         "AS ClassID, Classes.ClassName AS Class, Classes.Term AS Term, Classes.Notes As ClassNotes, "
         "Assignments.AssignmentID AS AssignmentID, Assignments.Description, Assignments.Date, "
         "Assignments.MaximumPoints, Assignments.Weight AS Weight, Classes.UseWeight AS UseWeight, Scores.Score FROM "
         "(((StudentClass INNER JOIN Students ON StudentClass.StudentID = Students.StudentID) INNER JOIN Classes ON "
         "StudentClass.ClassID = Classes.ClassID) INNER JOIN Assignments ON Assignments.ClassID = Classes.ClassID) INNER "
         "JOIN Scores ON (Scores.AssignmentID = Assignments.AssignmentID) AND (Scores.StudentID = Students.StudentID) "
         "ORDER BY Classes.ClassID, Students.LastName, Students.FirstName, Assignments.Date"},
    };
    return queries;
}

const Table& TableNamed(const QString& name) {
    for (const Table& t : Tables())
        if (t.name == name) return t;
    throw engine::DbError(engine::ErrObjectNotFound, QString("No table '%1' in the data file's shape.").arg(name));
}

QString QueryText(const QString& name) {
    for (const Query& q : Queries())
        if (q.name == name) return q.sql;
    return {};
}

QString CreateTableSql(const Table& table) {
    QStringList parts;
    for (const Field& f : table.fields) parts << columnSql(table, f);
    for (const Relation& r : Relations()) {
        if (r.foreignTable != table.name) continue;
        parts << QString("CONSTRAINT %1 FOREIGN KEY (%2) REFERENCES %3 (%2) ON DELETE CASCADE")
                     .arg(quoted(r.name), quoted(r.field), quoted(r.primaryTable));
    }
    return QString("CREATE TABLE %1 (\n  %2\n)").arg(quoted(table.name), parts.join(",\n  "));
}

QStringList CreateIndexSql(const Table& table) {
    QStringList out;
    for (const Index& ix : table.indexes) {
        // A counter key is the table's own row key and needs no index of its own.
        if (ix.fields.size() == 1 && TableNamed(table.name).fields.first().name == ix.fields.first() &&
            TableNamed(table.name).fields.first().type == FT::Counter)
            continue;
        QStringList cols;
        for (const QString& f : ix.fields) cols << quoted(f);
        out << QString("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(ix.unique ? "UNIQUE " : "", quoted(table.name + "_" + ix.name), quoted(table.name), cols.join(", "));
    }
    // Each relation's foreign field is indexed too, so that cascading deletes find the dependent
    // rows directly instead of reading the whole table.
    for (const Relation& r : Relations()) {
        if (r.foreignTable != table.name) continue;
        bool covered = false;
        for (const Index& ix : table.indexes) covered = covered || ix.fields.first() == r.field;
        if (!covered)
            out << QString("CREATE INDEX %1 ON %2 (%3)")
                       .arg(quoted(table.name + "_fk_" + r.field), quoted(table.name), quoted(r.field));
    }
    return out;
}

void CreateVersionTable(engine::Database& db) { db.Execute(CreateTableSql(TableNamed("Version"))); }

void CreateSchema(engine::Database& db) {
    db.BeginTrans();
    try {
        for (const Table& t : Tables()) {
            db.Execute(CreateTableSql(t));
            for (const QString& sql : CreateIndexSql(t)) db.Execute(sql);
        }
        for (const Query& q : Queries()) db.CreateQueryDef(q.name, q.sql);
        engine::Recordset version = db.OpenTable("Version");
        version.AddNew();
        version.setField("VersionNumber", double(kCurrentVersion));
        version.Update();
        version.Close();
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

QString RefusalMessage(const engine::DbError& error) {
    static const QHash<QString, QString> words{
        {"Classes.ClassName", "class name"},  {"Classes.Term", "term"},          {"Classes.Notes", "class notes"},
        {"Students.FirstName", "first name"}, {"Students.LastName", "last name"}, {"Students.ID", "student ID"},
        {"Students.Notes", "student notes"},  {"Assignments.Description", "description"},
        {"Assignments.MaximumPoints", "maximum number of points"},            {"Assignments.Weight", "weight"},
        {"StudentClass.Grade", "grade"},       {"Scores.Score", "score"},
    };
    const QString what = words.value(error.field());
    if (what.isEmpty()) return error.description();
    const QString table = error.field().section('.', 0, 0);
    const QString name = error.field().section('.', 1);
    switch (error.number()) {
        case engine::ErrZeroLengthString:
            return QString("The %1 cannot be empty or only blanks.").arg(what);
        case engine::ErrFieldTooSmall:
            for (const Field& f : TableNamed(table).fields)
                if (f.name == name) return QString("The %1 can have at most %2 characters.").arg(what).arg(f.size);
            break;
        case engine::ErrNumericOverflow:
            return QString("The %1 is too large a number to be stored.").arg(what);
        default:
            break;
    }
    return error.description();
}

QString MissingParts(const engine::Database& db) {
    const QStringList present = db.TableNames();
    for (const Table& t : Tables()) {
        if (t.name == "Version") continue;
        if (!present.contains(t.name, Qt::CaseInsensitive)) return QString("the table '%1' is missing").arg(t.name);
        const QStringList fields = db.FieldNames(t.name);
        for (const Field& f : t.fields) {
            if (t.name == "Classes" && f.name == "UseWeight") continue;
            if (!fields.contains(f.name, Qt::CaseInsensitive))
                return QString("the field '%1.%2' is missing").arg(t.name, f.name);
        }
    }
    return {};
}

}  // namespace schema
