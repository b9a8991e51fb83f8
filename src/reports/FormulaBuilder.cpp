#include "FormulaBuilder.h"

#include "platform/runtime/Runtime.h"

namespace reports {

QString FormulaNumber(double value) { return QString::number(value, 'g', 15); }

std::optional<QString> BuildFormula(const Criteria& c) {
    const QString& q = c.queryKind;
    QString students, classes, dates;

    if (c.students == Criteria::Students::SomeAverages) {
        auto low = runtime::ParseNumber(c.lowerAverage);
        auto high = runtime::ParseNumber(c.upperAverage);
        if (low && high) {
            if (*high < *low) std::swap(low, high);
            students = (q == "ScoreSummary" ? "({ScoreSummary.Average}" : "({ClassSummary.Average}") + QString(" in (") +
                       FormulaNumber((*low - 0.00001) / 100) + " to " + FormulaNumber((*high + 0.00001) / 100) + "))";
        }
    } else if (c.students == Criteria::Students::Selected) {
        const bool score = q == "ScoreSummary";
        const QString opening = score ? "({ScoreSummary.StudentID} = " : "({ClassSummary.StudentID} = ";
        const QString separator = score ? " or {ScoreSummary.StudentID} = " : "or {ClassSummary.StudentID} = ";
        for (int id : c.selectedStudents) students += (students.isEmpty() ? opening : separator) + QString::number(id);
        if (!students.isEmpty()) students += ")";
    }

    if (c.classes == Criteria::Classes::Selected) {
        QString opening, separator;
        if (q == "ScoreSummary") {
            opening = "({ScoreSummary.ClassID} = ", separator = " or {ScoreSummary.ClassID} = ";
        } else if (q == "NoQuery") {
            opening = "({Classes.ClassID} = ", separator = " or {Classes.ClassID} = ";
        } else {
            opening = "({ClassSummary.ClassID} = ", separator = " Or {ClassSummary.ClassID} = ";
        }
        for (int id : c.selectedClasses) classes += (classes.isEmpty() ? opening : separator) + QString::number(id);
        if (!classes.isEmpty()) classes += ")";
    }

    if (c.assignments == Criteria::Assignments::BetweenDates) {
        auto first = runtime::ParseDate(c.lowerDate);
        auto second = runtime::ParseDate(c.upperDate);
        if (!first || !second) return std::nullopt;
        if (first->daysTo(*second) <= 0) std::swap(first, second);
        auto date = [](QDate d) { return QString("%1, %2, %3").arg(d.year()).arg(d.month()).arg(d.day()); };
        dates = (q == "ScoreSummary" ? "({ScoreSummary.Date}" : "({Assignments.Date}") + QString(" in Date(") + date(*first) +
                ") to Date(" + date(*second) + "))";
        if (q == "ClassSummary") dates.clear();
    }

    QStringList parts;
    for (const QString& p : {students, classes, dates})
        if (!p.isEmpty()) parts << p;
    return parts.join(" and ");
}

}  // namespace reports
