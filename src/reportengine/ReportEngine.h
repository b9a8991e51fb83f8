#pragma once

#include "Definition.h"
#include "Formula.h"
#include "Layout.h"
#include "PageModel.h"
#include "platform/engine/Engine.h"

#include <QString>
#include <optional>

// What the report windows ask of the report engine: name a report definition file, give a
// selection formula, and get the laid-out report of a data file, read without being changed.
namespace report {

// The fields of a report source, as the formula names them ("ScoreSummary.Average").
QList<formula::Field> FormulaFields(const engine::Database& db, const QString& source);

// The SELECT that gives a source's rows, with the columns the report's texts name.
QString SourceSelect(const QString& source);

// Reads the rows the formula selects, in the definition's order. Throws engine::DbError.
Rows ReadRows(const engine::Database& db, const Definition& definition, const formula::Compiled& selection);

// Loads the definition, checks its fields against its source, compiles the formula, reads the
// data file (opened read-only) and lays the report out. On failure, `error` says what went wrong
// and where (the definition's line and column, or the formula's position).
std::optional<Document> Run(const QString& reportFile, const QString& dataFile, const QString& selectionFormula,
                            QString* error, QDate today = QDate::currentDate());

}  // namespace report
