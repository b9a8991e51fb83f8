#pragma once

#include <QCollator>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>

// The runtime rules the windows rely on: what counts as a number or a date when a teacher types it,
// how numbers, percentages and dates are shown, and the millisecond clock.
namespace runtime {

// Blanks (spaces) removed at both ends; other white space is kept, as the teacher typed it.
QString Trim(const QString& text);

// A number as a person types it in the user's locale: optional blanks around, a sign, digits with
// the locale's decimal separator or '.', an optional exponent. Nothing else.
std::optional<double> ParseNumber(const QString& text);
bool IsNumeric(const QString& text);

// Single-precision storage: the value as a 32-bit float would hold it, and whether it fits at all.
bool FitsSingle(double value);
double ToSingle(double value);

// The short form of a single-precision number: up to 7 significant digits, no trailing zeros.
QString FormatSingle(double value);

// The "Percent" format: value x 100 with two decimals and a percent sign (0.875 -> "87.50%").
QString FormatPercent(double value);

// Dates typed by a person: ISO (2024-01-05), the locale's short date and m/d/yyyy or m/d/yy, and
// dates with month names ("Jan 5, 2024", "5 January 2024"). A two-digit year is the year closest
// to `today`, at most 50 years away.
std::optional<QDate> ParseDate(const QString& text, QDate today = QDate::currentDate());
bool IsDate(const QString& text);

// "mm/dd/yy" and the locale's short date with a four-digit year (so that it reads back unchanged).
QString FormatMmDdYy(QDate date);
QString FormatShortDate(QDate date);

// Dates as the data file stores them: ISO-8601 text, with a time only when there is one.
QString DateToStorage(const QDateTime& value);
QVariant DateFromStorage(const QString& text);  // QDate, QDateTime, or null when unreadable

// Days since 30 December 1899, with the time of day as the fraction.
double DateSerial(const QDateTime& value);

// Compares names the way a person looks them up: without regard to case, accented letters with
// their base letters ("Çelik" among the Cs), in the user's language (English rules under the
// bare "C" locale, which would otherwise sort by code).
QCollator NameCollator();

// Milliseconds from a steady clock, wrapping like a 32-bit counter.
std::int32_t timeGetTime();

}  // namespace runtime
