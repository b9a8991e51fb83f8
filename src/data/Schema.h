#pragma once

#include "platform/engine/Engine.h"

#include <QList>
#include <QString>
#include <QStringList>

// The shape of a data file: seven tables, their named indexes, five cascading relations and the
// two stored queries the reports read.
namespace schema {

inline constexpr const char* kLocale = ";LANGID=0x0409;CP=1252;COUNTRY=0";
inline constexpr float kCurrentVersion = 2.01f;

enum class FieldType { Counter, Long, Integer, Single, DateTime, Boolean, Text };

struct Field {
    QString name;
    FieldType type;
    int size = 0;                   // Text only
    bool allowZeroLength = true;    // Text only
};

struct Index {
    QString name;
    bool primary;
    bool unique;
    QStringList fields;
};

struct Table {
    QString name;
    QList<Field> fields;
    QList<Index> indexes;
};

struct Relation {
    QString name;
    QString primaryTable;
    QString foreignTable;
    QString field;
};

struct Query {
    QString name;
    QString sql;
};

const QList<Table>& Tables();
const QList<Relation>& Relations();
const QList<Query>& Queries();

const Table& TableNamed(const QString& name);
QString QueryText(const QString& name);

// The CREATE TABLE statement of a table, with its field rules and relations.
QString CreateTableSql(const Table& table);
QStringList CreateIndexSql(const Table& table);

// Builds every table, index, relation and query and the Version row 2.01 in an empty database.
void CreateSchema(engine::Database& db);

// Adds the Version table in its empty form (for files written before it existed).
void CreateVersionTable(engine::Database& db);

// What to tell the teacher when the file refused a value: the field in their words and the rule
// it broke ("A first name can have at most 20 characters."), or the engine's description.
QString RefusalMessage(const engine::DbError& error);

// What an open file lacks to be a data file this program can open (empty when nothing): every
// table but Version, with all its fields (Classes.UseWeight may be missing in old files).
QString MissingParts(const engine::Database& db);

}  // namespace schema
