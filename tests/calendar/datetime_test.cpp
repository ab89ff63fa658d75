// Date encoding, decoding and the fixed formatting patterns.
#include "calendar/datetime.h"

#include <gtest/gtest.h>

#include "calendar/date_format.h"

TEST(DateTime, KnownDaysMatchTheirSerialNumbers)
{
    // Serial numbers as every spreadsheet and older copy of the program stores them.
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(2024, 1, 1), 45292.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
}

TEST(DateTime, EveryDayOfYears1To9999RoundTripsAndFollowsTheLastOne)
{
    TDateTime expected = EncodeDate(1, 1, 1);
    for (int y = kMinYear; y <= kMaxYear; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const int days = DaysInMonth(y, m);
            for (int d = 1; d <= days; ++d) {
                const TDateTime v = EncodeDate(y, m, d);
                ASSERT_EQ(v, expected) << y << '-' << m << '-' << d;
                ASSERT_EQ(DecodeDate(v), (DateParts{y, m, d}));
                expected += 1;
            }
        }
    }
}

TEST(DateTime, LeapRulesAndInvalidDates)
{
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_TRUE(TryEncodeDate(2024, 2, 29).has_value());
    EXPECT_FALSE(TryEncodeDate(2023, 2, 29).has_value());
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29).has_value());
    EXPECT_FALSE(TryEncodeDate(0, 12, 31).has_value());
    EXPECT_FALSE(TryEncodeDate(10000, 1, 1).has_value());
    EXPECT_FALSE(TryEncodeDate(2024, 13, 1).has_value());
    EXPECT_FALSE(TryEncodeDate(2024, 4, 31).has_value());
    EXPECT_THROW(EncodeDate(2024, 0, 1), std::out_of_range);
}

TEST(DateTime, WeekdaysSundayFirst)
{
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 6, 23)), 1);   // Sunday
    EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);       // Monday, proleptic
    EXPECT_EQ(IsoDayOfWeek(EncodeDate(2024, 6, 23)), 7);
    EXPECT_EQ(FormatDateTime("dddd", EncodeDate(2024, 1, 1)), "poniedziałek");
    EXPECT_EQ(FormatDateTime("dddd", EncodeDate(2024, 6, 23)), "niedziela");
    EXPECT_EQ(FormatDateTime("ddd", EncodeDate(2024, 6, 26)), "Śr");
}

TEST(DateTime, TimesBeforeTheEpochCountForwardFromMidnight)
{
    EXPECT_EQ(DecodeDate(-1.25), (DateParts{1899, 12, 29}));
    EXPECT_EQ(DecodeTime(-1.25), (TimeParts{6, 0, 0, 0}));
}

TEST(DateFormat, FixedPatterns)
{
    const TDateTime v = EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 10);
    EXPECT_EQ(FormatDateTime("yyyy.mm.dd", v), "2024.03.05");
    EXPECT_EQ(FormatDateTime("yyyy.mm.dd  hh:nn", v), "2024.03.05  07:08");
    EXPECT_EQ(FormatDateTime("yyyy.mm.dd  hh:nn:ss", v), "2024.03.05  07:08:09");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", v), "07:08:09");
    EXPECT_EQ(FormatDateTime("hh:nn", v), "07:08");
    EXPECT_EQ(FormatDateTime("mmmm", v), "marzec");
    EXPECT_EQ(FormatDateTime("dddd", v), "wtorek");
    EXPECT_EQ(FormatDateTime("mmm yyyy", v), "mar 2024");
    EXPECT_EQ(FormatDateTime("mmmm yyyy", v), "marzec 2024");
    EXPECT_EQ(FormatDateTime("yyyy.mm.dd", EncodeDate(987, 6, 5)), "0987.06.05");
}

TEST(DateFormat, RoundsToTheMillisecondThenDropsTheFraction)
{
    const TDateTime day = EncodeDate(2024, 12, 31);
    const double ms = 1.0 / kMsPerDay;
    // 12:00:59.9996 rounds to 12:01:00.000; 12:00:59.9994 to 12:00:59.999, shown as :59.
    EXPECT_EQ(FormatDateTime("hh:nn:ss", day + EncodeTime(12, 0, 59, 999) + 0.6 * ms), "12:01:00");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", day + EncodeTime(12, 0, 59, 999) + 0.4 * ms), "12:00:59");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", day + EncodeTime(12, 0, 59, 900)), "12:00:59");
    // A hair before midnight carries into the next day and year.
    EXPECT_EQ(FormatDateTime("yyyy.mm.dd  hh:nn:ss", day + 1 - 0.3 * ms), "2025.01.01  00:00:00");
    // Binary fractions that fall a hair short of the intended second still print it.
    EXPECT_EQ(FormatDateTime("hh:nn:ss", day + 61.0 / 86400.0), "00:01:01");
}

TEST(DateFormat, Keys)
{
    EXPECT_EQ(DateKey(EncodeDate(2024, 4, 1)), "2024.04.01");
    EXPECT_EQ(DateKey(5, 1, 2), "0005.01.02");
    EXPECT_EQ(YearlyKey(12, 25), "    .12.25");
}

TEST(DateTime, LocalDateTimeAppliesTheOffset)
{
    using namespace std::chrono;
    const sys_days day = year(2024) / June / 21;
    const auto utc = system_clock::time_point(day) + hours(23) + minutes(30);
    EXPECT_EQ(FormatDateTime("yyyy.mm.dd  hh:nn", LocalDateTime(utc, hours(2))), "2024.06.22  01:30");
    EXPECT_EQ(FormatDateTime("yyyy.mm.dd  hh:nn", LocalDateTime(utc, seconds(0))), "2024.06.21  23:30");
}
