#pragma once

#include "PageModel.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A report definition file (.RPT): XML that says where the data comes from, in what order, how
// it is grouped, and what each band prints. The format is documented in the help file's topic
// "Free Custom Reports" so that teachers can write their own.
namespace report {

struct Element {
    enum Kind { Text, Line, Box, CrossTab };
    Kind kind = Text;
    double x = 0, y = 0, width = 0, height = 0;
    double x2 = 0, y2 = 0;  // Line: the other end
    double lineWidth = 0.5;
    bool shaded = false;
    QString text;  // with {Field}, {Field:format}, {sum(Field)}, {page}, {pages}, {today}, {title}
    int align = 0;
    FontSpec font;
    // Cross-tab: one row per value of rowField, one column per value of columnField (in the order
    // of columnOrder), each cell the row's valueField; an optional last column rowValue.
    QString rowField, rowTitle, columnField, columnOrder, valueField, valueFormat, rowValue, rowValueTitle,
        rowValueFormat;
    double rowWidth = 140, columnWidth = 40, rowHeight = 14;
    int line = 0, column = 0;  // where it stands in the file, for messages
};

struct Band {
    bool present = false;
    double height = 0;
    bool repeat = false;  // a group header printed again at the top of each page the group continues on
    QList<Element> elements;
};

struct Group {
    QString field;
    bool newPage = false;
    Band header, footer;
};

struct Definition {
    QString title;
    QString source;  // "ScoreSummary", "ClassSummary" or "NoQuery"
    QStringList sort;
    bool landscape = false;
    Band pageHeader, reportHeader, detail, reportFooter, pageFooter;
    QList<Group> groups;
};

struct DefinitionError {
    int line = 0, column = 0;
    QString message;
    QString text() const { return QString("line %1, column %2: %3").arg(line).arg(column).arg(message); }
};

std::optional<Definition> ParseDefinition(const QByteArray& xml, DefinitionError* error);
std::optional<Definition> LoadDefinition(const QString& path, DefinitionError* error);

// The fields a definition names in its texts, sorts, groups and cross-tabs, with where they stand.
struct FieldUse {
    QString field;
    int line, column;
};
QList<FieldUse> FieldsUsed(const Definition& d);

}  // namespace report
