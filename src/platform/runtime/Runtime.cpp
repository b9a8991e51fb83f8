#include "Runtime.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <charconv>
#include <chrono>
#include <cmath>
#include <limits>

namespace runtime {

QString Trim(const QString& text) {
    int b = 0;
    int e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return text.mid(b, e - b);
}

std::optional<double> ParseNumber(const QString& text) {
    const QChar dec = QLocale().decimalPoint().isEmpty() ? QChar('.') : QLocale().decimalPoint()[0];
    QString s = text.trimmed();
    if (s.isEmpty()) return std::nullopt;
    static const QRegularExpression shape(
        R"(^[+-]?(\d+([.,]\d*)?|[.,]\d+)([eE][+-]?\d+)?$)");
    if (!shape.match(s).hasMatch()) return std::nullopt;
    // Only the locale's decimal separator and '.' may separate the fraction.
    if (s.contains(',') && dec != ',') return std::nullopt;
    s.replace(',', '.');
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

bool IsNumeric(const QString& text) { return ParseNumber(text).has_value(); }

bool FitsSingle(double value) {
    return std::isfinite(value) && std::fabs(value) <= std::numeric_limits<float>::max();
}

double ToSingle(double value) { return static_cast<double>(static_cast<float>(value)); }

namespace {

// The decimal separator of the user's locale, looked up once: the grid formats thousands of numbers.
const QString& decimalPoint() {
    static const QString point = QLocale().decimalPoint();
    return point;
}

QString withLocalePoint(const char* begin, const char* end) {
    QString s = QString::fromLatin1(begin, end - begin);
    if (decimalPoint() != ".") s.replace('.', decimalPoint());
    return s;
}

}  // namespace

QString FormatSingle(double value) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, static_cast<float>(value), std::chars_format::general, 7);
    if (ec != std::errc()) return {};
    // 1e+07 is shown as 1E+07, the way a grade book has always shown large numbers.
    for (char* p = buf; p != end; ++p)
        if (*p == 'e') *p = 'E';
    return withLocalePoint(buf, end);
}

QString FormatPercent(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf - 1, value * 100.0, std::chars_format::fixed, 2);
    if (ec != std::errc()) return {};
    *end++ = '%';
    return withLocalePoint(buf, end);
}

namespace {

int expandYear(int yy, int digits, QDate today) {
    if (digits > 2) return yy;
    // The year closest to today with these last two digits, never more than 50 years away.
    const int base = today.year() - today.year() % 100;
    // Candidates in ascending order: on a tie the earlier year wins.
    int best = base - 100 + yy;
    for (int candidate : {base + yy, base + 100 + yy}) {
        if (std::abs(candidate - today.year()) < std::abs(best - today.year())) best = candidate;
    }
    return best;
}

int monthFromName(const QString& word) {
    const QString w = word.toLower().remove('.');
    if (w.size() < 3) return 0;
    const QLocale locales[] = {QLocale(), QLocale(QLocale::English)};
    for (const QLocale& loc : locales) {
        for (int m = 1; m <= 12; ++m) {
            const QString full = loc.monthName(m, QLocale::LongFormat).toLower();
            const QString shortName = loc.monthName(m, QLocale::ShortFormat).toLower().remove('.');
            if (w == full || w == shortName || (full.startsWith(w) && w.size() >= 3)) return m;
        }
    }
    return 0;
}

// Order of day, month and year in the locale's short date: "MDY", "DMY" or "YMD".
QString localeOrder() {
    const QString fmt = QLocale().dateFormat(QLocale::ShortFormat);
    const int d = fmt.indexOf('d'), m = fmt.indexOf('M'), y = fmt.indexOf('y');
    if (d < 0 || m < 0 || y < 0 || QLocale().language() == QLocale::C) return "MDY";
    if (y < m && m < d) return "YMD";
    if (d < m) return "DMY";
    return "MDY";
}

}  // namespace

std::optional<QDate> ParseDate(const QString& text, QDate today) {
    const QString s = text.trimmed();
    if (s.isEmpty()) return std::nullopt;

    static const QRegularExpression numeric(R"(^(\d{1,4})\s*[/.-]\s*(\d{1,2})\s*[/.-]\s*(\d{1,4})$)");
    if (auto m = numeric.match(s); m.hasMatch()) {
        const QString a = m.captured(1), b = m.captured(2), c = m.captured(3);
        int y, mo, d, ydigits;
        if (a.size() >= 3) {  // year first: ISO
            y = a.toInt(), ydigits = a.size(), mo = b.toInt(), d = c.toInt();
        } else {
            if (c.size() == 3) return std::nullopt;
            const QString order = localeOrder();
            if (order == "DMY") {
                d = a.toInt(), mo = b.toInt();
            } else {
                mo = a.toInt(), d = b.toInt();
            }
            y = c.toInt(), ydigits = c.size();
        }
        if (ydigits == 3) return std::nullopt;
        y = expandYear(y, ydigits, today);
        const QDate date(y, mo, d);
        if (!date.isValid()) return std::nullopt;
        return date;
    }

    // Month names: "Jan 5, 2024", "5 January 2024", "January 5 24".
    static const QRegularExpression words(R"([\s,]+)");
    const QStringList parts = s.split(words, Qt::SkipEmptyParts);
    if (parts.size() != 3) return std::nullopt;
    int month = 0;
    QList<QString> numbers;
    for (const QString& p : parts) {
        bool isNum = false;
        p.toInt(&isNum);
        if (isNum) {
            numbers.append(p);
        } else if (month == 0) {
            month = monthFromName(p);
            if (month == 0) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    if (month == 0 || numbers.size() != 2) return std::nullopt;
    // The day comes first of the two numbers; the year is last.
    QString dayText = numbers[0], yearText = numbers[1];
    if (dayText.size() > 2) std::swap(dayText, yearText);
    if (yearText.size() == 3 || dayText.size() > 2) return std::nullopt;
    const QDate date(expandYear(yearText.toInt(), yearText.size(), today), month, dayText.toInt());
    if (!date.isValid()) return std::nullopt;
    return date;
}

bool IsDate(const QString& text) { return ParseDate(text).has_value(); }

QString FormatMmDdYy(QDate date) { return date.toString("MM/dd/yy"); }

QString FormatShortDate(QDate date) {
    QString fmt = QLocale().dateFormat(QLocale::ShortFormat);
    if (QLocale().language() == QLocale::C || !fmt.contains('d') || !fmt.contains('M')) fmt = "M/d/yyyy";
    if (!fmt.contains("yyyy")) fmt.replace("yy", "yyyy");
    return QLocale().toString(date, fmt);
}

QString DateToStorage(const QDateTime& value) {
    if (!value.isValid()) return {};
    if (value.time() == QTime(0, 0)) return value.date().toString("yyyy-MM-dd");
    return value.toString("yyyy-MM-dd HH:mm:ss");
}

namespace {

// Reads exactly `count` digits at `from`, or -1.
int digits(const QString& text, int from, int count) {
    int v = 0;
    for (int i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < '0' || c > '9') return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

QVariant DateFromStorage(const QString& text) {
    // Read by hand: query record sets turn many stored dates into values at once.
    if (text.size() != 10 && text.size() != 19) return {};
    if (text[4] != '-' || text[7] != '-') return {};
    const QDate d(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2));
    if (!d.isValid()) return {};
    if (text.size() == 10) return d;
    if (text[10] != ' ' || text[13] != ':' || text[16] != ':') return {};
    const QTime t(digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2));
    if (!t.isValid()) return {};
    return QDateTime(d, t);
}

double DateSerial(const QDateTime& value) {
    static const QDate epoch(1899, 12, 30);
    const double days = static_cast<double>(epoch.daysTo(value.date()));
    return days + value.time().msecsSinceStartOfDay() / 86400000.0;
}

QCollator NameCollator() {
    QCollator collator(QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

std::int32_t timeGetTime() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

}  // namespace runtime
