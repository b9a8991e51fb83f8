#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <optional>

// The selection formula language of the report criteria window:
//
//   ({ScoreSummary.StudentID} = 5 or {ScoreSummary.StudentID} = 7)
//     and ({ScoreSummary.Date} in Date(1996, 9, 1) to Date(1996, 12, 20))
//
// fields in braces, = <> < <= > >=, "in a to b" and "in (a to b)" (both ends included), numbers,
// 'text', Date(y, m, d), and / or / not, parentheses; keywords in any letter case. A formula is
// compiled into a parameterised SQLite condition: its values never become SQL text.
namespace formula {

// What the formula may name: "Table.Field" for every field of the report's source, with whether
// it holds dates (compared by calendar day).
struct Field {
    QString qualified;  // e.g. "ScoreSummary.Date"
    QString sql;        // how the condition refers to it, e.g. "\"ScoreSummary\".\"Date\""
    bool isDate = false;
};

struct Compiled {
    QString where;  // empty for an empty formula
    QVariantList params;
};

struct Error {
    int position;  // 1-based character position in the formula
    QString message;
    QString text() const { return QString("%1 (at character %2)").arg(message).arg(position); }
};

// Compiles the formula against the source's fields; an error says what is wrong and where.
std::optional<Compiled> Compile(const QString& formula, const QList<Field>& fields, Error* error);

}  // namespace formula
