#pragma once

#include "data/ProgramState.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The series of a student's plot: per class, one point per scored assignment in date order, with
// the score as a percentage of the maximum points and the cumulative average so far. As much as
// the student has; the plot draws at most six classes.
namespace plot {

struct Point {
    double date;        // day number: days since 30 December 1899
    double percent;     // 100 x score / maximum points
    double cumulative;  // the class's average after this assignment, in percent
};

struct DataSets {
    QStringList names;         // ClassNameList
    QList<bool> selected;      // ClassSelected
    QList<QList<Point>> points;  // by class, as names
};

// Reads the student's classes, assignments and scores. In a weighted class an assignment without a
// weight gets weight 1 stored. An assignment whose maximum points are 0 or empty gives no point.
// Engine errors other than "no current record" are added to `errors`.
DataSets FillDataSets(ProgramState& st, int studentId, QStringList* errors);

// The date range and divisions of the plot's horizontal axis.
struct Scale {
    QDate FirstDate;
    QDate LastDate;
    int NumXDivisions = 15;
    int DaysPerDivision = 1;
    int NumYDivisions = 12;
    int totalDays = 14;  // width of the plot in days
};

Scale ComputeScale(const DataSets& data, QDate today = QDate::currentDate());

// Day number of a date and back.
double DayNumber(QDate date);
QDate DateOfDay(double dayNumber);

}  // namespace plot
