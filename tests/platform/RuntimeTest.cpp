#include "platform/runtime/Runtime.h"

#include <gtest/gtest.h>

using namespace runtime;

TEST(Runtime, NumbersAsTeachersTypeThem) {
    struct Case {
        const char* text;
        bool numeric;
        double value;
    };
    const Case cases[] = {
        {"85", true, 85},     {" 85 ", true, 85},   {"-3", true, -3},     {"+2.5", true, 2.5}, {".5", true, 0.5},
        {"7.", true, 7},      {"1e3", true, 1000},  {"2.5E-1", true, 0.25}, {"", false, 0},    {"   ", false, 0},
        {"80x", false, 0},    {"8 0", false, 0},    {"abc", false, 0},    {"1,000", false, 0}, {"$5", false, 0},
        {"--1", false, 0},    {"1e", false, 0},     {"e5", false, 0},
    };
    for (const Case& c : cases) {
        const auto v = ParseNumber(c.text);
        EXPECT_EQ(v.has_value(), c.numeric) << c.text;
        if (c.numeric && v) {
            EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
        }
    }
}

TEST(Runtime, SinglesAndPercentages) {
    EXPECT_EQ(FormatSingle(ToSingle(85.3)), "85.3");
    EXPECT_EQ(FormatSingle(90), "90");
    EXPECT_EQ(FormatSingle(ToSingle(0.1)), "0.1");
    EXPECT_EQ(FormatSingle(ToSingle(1234567.0)), "1234567");
    EXPECT_EQ(FormatSingle(1e7), "1E+07");
    EXPECT_EQ(FormatPercent(0.875), "87.50%");
    EXPECT_EQ(FormatPercent(0), "0.00%");
    EXPECT_EQ(FormatPercent(1.2), "120.00%");
    EXPECT_TRUE(FitsSingle(3.4e38));
    EXPECT_FALSE(FitsSingle(3.5e38));
    EXPECT_EQ(Trim("  B+ "), "B+");
    EXPECT_EQ(Trim("\tB"), "\tB");
}

TEST(Runtime, DatesAsTeachersTypeThem) {
    const QDate today(2026, 12, 11);
    struct Case {
        const char* text;
        QDate expected;  // invalid: not a date
    };
    const Case cases[] = {
        {"2026-09-01", QDate(2026, 9, 1)},
        {"9/1/2026", QDate(2026, 9, 1)},
        {"09/01/26", QDate(2026, 9, 1)},
        {"1/5/31", QDate(2031, 1, 5)},     // closest to today: not 1931
        {"1/5/77", QDate(1977, 1, 5)},     // 49 years back is closer than 51 ahead
        {"1/5/76", QDate(1976, 1, 5)},     // 50 either way: the earlier year
        {"3/4/1925", QDate(1925, 3, 4)},
        {"Jan 5, 2024", QDate(2024, 1, 5)},
        {"5 January 2024", QDate(2024, 1, 5)},
        {"september 30 26", QDate(2026, 9, 30)},
        {"2/30/2026", QDate()},
        {"13/1/2026", QDate()},
        {"1/5/203", QDate()},
        {"tomorrow", QDate()},
        {"", QDate()},
        {"85", QDate()},
    };
    for (const Case& c : cases) {
        const auto d = ParseDate(c.text, today);
        EXPECT_EQ(d.value_or(QDate()), c.expected) << c.text;
    }
}

TEST(Runtime, ShownDatesReadBackUnchanged) {
    for (const QDate d : {QDate(1925, 3, 4), QDate(2031, 1, 5), QDate(2026, 12, 31), QDate(2099, 7, 1)}) {
        EXPECT_EQ(ParseDate(FormatShortDate(d)).value_or(QDate()), d) << FormatShortDate(d).toStdString();
        EXPECT_EQ(DateFromStorage(DateToStorage(d.startOfDay())).toDate(), d);
    }
    EXPECT_EQ(FormatMmDdYy(QDate(2031, 1, 5)), "01/05/31");
    EXPECT_EQ(DateSerial(QDate(1899, 12, 31).startOfDay()), 1.0);
    EXPECT_EQ(DateSerial(QDateTime(QDate(2000, 1, 1), QTime(12, 0))), 36526.5);
}
