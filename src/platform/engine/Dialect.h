#pragma once

#include <QString>

namespace engine::dialect {

// The program's SQL is written in the desktop database dialect, where `&` joins texts and treats
// Null as empty text. SQLite reads `&` as a bitwise and, so each `a & b & c` chain becomes
// `(COALESCE(a,'') || COALESCE(b,'') || COALESCE(c,''))`. Operands are single terms (names, literals,
// parenthesised groups), which is all the program's queries use.
QString translate(const QString& sql);

// Adds a filter to a SELECT's WHERE clause (creating one when there is none), in front of any
// GROUP BY or ORDER BY, so that the query keeps its order.
QString addFilter(const QString& sql, const QString& filter);

}  // namespace engine::dialect
