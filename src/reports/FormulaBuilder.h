#pragma once

#include <QList>
#include <QString>
#include <optional>

// The selection formula the report criteria window writes for the report engine, from the
// teacher's choices.
namespace reports {

struct Criteria {
    QString queryKind;  // "ScoreSummary", "ClassSummary" or "NoQuery"
    enum class Students { All, SomeAverages, Selected } students = Students::All;
    QString lowerAverage, upperAverage;  // percent, as typed
    QList<int> selectedStudents;         // in list order
    enum class Classes { All, Selected } classes = Classes::All;
    QList<int> selectedClasses;
    enum class Assignments { All, BetweenDates } assignments = Assignments::All;
    QString lowerDate, upperDate;  // as typed
};

// The formula, empty when nothing narrows the report; nullopt when the dates cannot be read.
std::optional<QString> BuildFormula(const Criteria& c);

// A bound written the way the formula language reads numbers: a decimal point and as many digits
// as the value needs, up to 15 significant ones.
QString FormulaNumber(double value);

}  // namespace reports
