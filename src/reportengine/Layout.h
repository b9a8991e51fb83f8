#pragma once

#include "Definition.h"
#include "PageModel.h"

#include <QDate>
#include <QStringList>
#include <QVariantList>

// Lays the rows of a report out on pages: group headers and footers, details, summaries, page
// headers and footers with "Page N of M", page breaks (repeating the headers marked to repeat),
// and cross-tabs split across pages when their columns do not fit.
namespace report {

struct Rows {
    QStringList columns;
    QList<QVariantList> rows;
};

Document Layout(const Definition& definition, const Rows& data, QDate today = QDate::currentDate());

// One text of a band with its {…} parts filled in from a row and the rows it summarises.
QString Substitute(const QString& text, const QStringList& columns, const QVariantList* row,
                   const QList<const QVariantList*>& scope, int page, const QString& title, QDate today);

}  // namespace report
