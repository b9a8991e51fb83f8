#include "ReportEngine.h"

#include "platform/engine/Engine.h"
#include "platform/runtime/Runtime.h"

#include <algorithm>

namespace report {
namespace {

QString quoted(const QString& name) { return "\"" + name + "\""; }

// The tables the assignment list reads directly, with the names its rows give their fields.
struct Direct {
    const char* table;
    const char* field;
    const char* as;
};
const Direct kDirect[] = {
    {"Classes", "ClassID", "ClassID"},       {"Classes", "ClassName", "ClassName"},
    {"Classes", "Term", "Term"},             {"Classes", "Notes", "ClassNotes"},
    {"Classes", "UseWeight", "UseWeight"},   {"Assignments", "AssignmentID", "AssignmentID"},
    {"Assignments", "Description", "Description"}, {"Assignments", "MaximumPoints", "MaximumPoints"},
    {"Assignments", "Date", "Date"},         {"Assignments", "Weight", "Weight"},
};

}  // namespace

QString SourceSelect(const QString& source) {
    if (source != "NoQuery") return "SELECT * FROM " + quoted(source);
    QStringList cols;
    for (const Direct& d : kDirect) cols << QString("%1.%2 AS %3").arg(quoted(d.table), quoted(d.field), quoted(d.as));
    return "SELECT " + cols.join(", ") + " FROM \"Classes\" LEFT JOIN \"Assignments\" ON \"Assignments\".\"ClassID\" = "
                                         "\"Classes\".\"ClassID\"";
}

QList<formula::Field> FormulaFields(const engine::Database& db, const QString& source) {
    QList<formula::Field> out;
    if (source == "NoQuery") {
        for (const char* table : {"Classes", "Assignments"}) {
            for (const QString& f : db.FieldNames(table))
                out << formula::Field{QString("%1.%2").arg(table, f), quoted(table) + "." + quoted(f), f == "Date"};
        }
        return out;
    }
    const auto columns = db.Select(QString("SELECT name, type FROM pragma_table_info('%1')").arg(source));
    for (const QVariantList& c : columns) {
        const QString name = c[0].toString();
        out << formula::Field{source + "." + name, quoted(source) + "." + quoted(name), name == "Date"};
    }
    return out;
}

Rows ReadRows(const engine::Database& db, const Definition& definition, const formula::Compiled& selection) {
    QString sql = SourceSelect(definition.source);
    if (!selection.where.isEmpty()) sql += " WHERE " + selection.where;
    Rows rows;
    engine::Database copy = db;
    // Column names come from a query that returns no row, so that an empty report still has them.
    engine::Recordset shape = copy.OpenDynaset(SourceSelect(definition.source) + " LIMIT 0");
    rows.columns = shape.fieldNames();
    rows.rows = db.Select(sql, selection.params);
    // Sorted here rather than by SQLite, so that names order the way a person reads them.
    QList<int> keys;
    for (const QString& s : definition.sort) keys << int(rows.columns.indexOf(s));
    const QCollator collator = runtime::NameCollator();
    std::stable_sort(rows.rows.begin(), rows.rows.end(), [&](const QVariantList& a, const QVariantList& b) {
        for (int k : keys) {
            if (k < 0) continue;
            const QVariant& x = a[k];
            const QVariant& y = b[k];
            int c = 0;
            if (x.typeId() == QMetaType::QString && y.typeId() == QMetaType::QString) {
                c = collator.compare(x.toString(), y.toString());
            } else {
                const auto order = QVariant::compare(x, y);
                c = order == QPartialOrdering::Less ? -1 : order == QPartialOrdering::Greater ? 1 : 0;
            }
            if (c != 0) return c < 0;
        }
        return false;
    });
    return rows;
}

std::optional<Document> Run(const QString& reportFile, const QString& dataFile, const QString& selectionFormula,
                            QString* error, QDate today) {
    DefinitionError definitionError;
    const auto definition = LoadDefinition(reportFile, &definitionError);
    if (!definition) {
        if (error) *error = QString("The report %1 cannot be used: %2.").arg(reportFile, definitionError.text());
        return std::nullopt;
    }
    engine::Database db;
    try {
        db = engine::Workspace::Default().OpenDatabase(dataFile, engine::Workspace::Mode::ReadOnly);
        engine::Recordset shape = db.OpenDynaset(SourceSelect(definition->source) + " LIMIT 0");
        const QStringList columns = shape.fieldNames();
        for (const FieldUse& use : FieldsUsed(*definition)) {
            if (!columns.contains(use.field)) {
                if (error)
                    *error = QString("The report %1 cannot be used: line %2, column %3: %4 has no field %5.")
                                 .arg(reportFile)
                                 .arg(use.line)
                                 .arg(use.column)
                                 .arg(definition->source, use.field);
                return std::nullopt;
            }
        }
        formula::Error formulaError;
        const auto selection = formula::Compile(selectionFormula, FormulaFields(db, definition->source), &formulaError);
        if (!selection) {
            if (error) *error = "The selection formula cannot be read: " + formulaError.text() + ".";
            return std::nullopt;
        }
        const Rows rows = ReadRows(db, *definition, *selection);
        db.Close();
        return Layout(*definition, rows, today);
    } catch (const engine::DbError& e) {
        db.Close();
        if (error) *error = e.description();
        return std::nullopt;
    }
}

}  // namespace report
