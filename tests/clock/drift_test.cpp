// Drift correction arithmetic and the calibration's readings.
#include "clock/drift.h"
#include "clock/calibration.h"
#include "clock/local_time.h"

#include <gtest/gtest.h>

using namespace std::chrono;

namespace {

TDateTime At(int h, int m, int s, int ms = 0)
{
    return EncodeDate(2024, 3, 14) + EncodeTime(h, m, s, ms);
}

}  // namespace

TEST(DriftCorrection, StepsOvershootByHalfAStep)
{
    struct Row
    {
        double daily, days, pending;
        std::optional<double> shift;
    };
    const Row rows[] = {
        {2.0, 3, 0, 11},     // owed 6, step 10: whole 6 + 5
        {2.0, 2.45, 0, {}},  // owed 4.9 is not more than half a step
        {0.5, 6.8, 0, 6},    // step 6: owed 3.4 -> 3 + 3
        {1.0, 7.9, 0, 10},   // owed 7.9 -> 7 + 3
        {-1.0, 4.2, 0, -7},  // owed -4.2 -> -4 - 3
        {2.0, 1, 3.5, 10},   // what was pending counts: owed 5.5 -> 5 + 5
        {2.0, 3, -5, {}},    // right after a correction nothing is due yet
    };
    const TDateTime last = At(8, 0, 0);
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.daily << " s/day, " << r.days << " days");
        const auto step = DriftCorrectionDue(r.daily, last + r.days, last, r.pending, minutes(5));
        ASSERT_EQ(step.has_value(), r.shift.has_value());
        if (step) {
            EXPECT_DOUBLE_EQ(step->shift, *r.shift);
        }
    }
}

TEST(DriftCorrection, OnlyInTheFirstQuarterHourAfterBoot)
{
    const TDateTime last = At(8, 0, 0);
    EXPECT_TRUE(DriftCorrectionDue(2.0, last + 30, last, 0, minutes(15)));
    EXPECT_FALSE(DriftCorrectionDue(2.0, last + 30, last, 0, minutes(15) + milliseconds(1)));
    EXPECT_FALSE(DriftCorrectionDue(2.0, last + 30, last, 0, minutes(20)));
    EXPECT_FALSE(DriftCorrectionDue(0.0, last + 30, last, 100, minutes(1)));
}

// What the calibration dialog and the network-time messages say after "Przyczyna:": each refusal in
// its own words, and a failure with what the system said when it said something.
TEST(ClockChangeReason, EachRefusalInItsOwnPolishWords)
{
    struct Row
    {
        ClockChange change;
        const char* reason;
    };
    const Row rows[] = {
        {{ClockChangeError::None, {}}, ""},
        {{ClockChangeError::NoPrivilege, {}}, "brak uprawnień do zmiany czasu systemowego"},
        {{ClockChangeError::Refused, "polkit"}, "system odmówił zmiany czasu (brak autoryzacji)"},
        {{ClockChangeError::AutomaticSync, {}}, "w systemie jest włączona automatyczna synchronizacja czasu"},
        {{ClockChangeError::Failed, "Invalid argument"}, "błąd: Invalid argument"},
        {{ClockChangeError::Failed, {}}, "nieznany błąd"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.change.error));
        EXPECT_EQ(ClockChangeReason(r.change), r.reason);
    }
}

TEST(ShiftLocalTime, NeverCrossesMidnight)
{
    EXPECT_FALSE(ShiftedLocalTime(At(23, 59, 55), 10));
    EXPECT_FALSE(ShiftedLocalTime(At(0, 0, 5), -6));
    EXPECT_NEAR(*ShiftedLocalTime(At(23, 59, 49, 700), 10), At(23, 59, 59), 1e-9);  // milliseconds dropped
    EXPECT_NEAR(*ShiftedLocalTime(At(0, 0, 5), -5.4), At(0, 0, 0), 1e-9);
    EXPECT_NEAR(*ShiftedLocalTime(At(12, 0, 0), 10.6), At(12, 0, 11), 1e-9);
}

TEST(ParseHms, AcceptsOnlyAWholeValidTime)
{
    struct Row
    {
        const char* text;
        TDateTime value;
    };
    const Row rows[] = {
        {"12:34:56", EncodeTime(12, 34, 56)},
        {" 7: 5: 0", EncodeTime(7, 5, 0)},
        {"23:59:59", EncodeTime(23, 59, 59)},
        {"00:00:00", 0},
        {"24:00:00", 0},
        {"12:60:00", 0},
        {"12:00:60", 0},
        {"  :  :  ", 0},
        {"12:3 :00", 0},
        {"12:34:5", 0},
        {"12-34-56", 0},
        {"1a:00:00", 0},
        {"12:34:56 ", 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_NEAR(ParseHms(r.text), r.value, 1e-12);
    }
}

TEST(DriftTexts, DaysHoursAndFixedNotation)
{
    EXPECT_EQ(DaysHours(0.999), "0 dni 23 h");
    EXPECT_EQ(DaysHours(7.5), "7 dni 12 h");
    EXPECT_EQ(DaysHours((At(6, 0, 0) + 3) - At(18, 0, 0)), "2 dni 12 h");
    EXPECT_EQ(FormatCorrection(0), "0.000000");
    EXPECT_EQ(FormatCorrection(1.5), "1.500000");
    EXPECT_EQ(FormatCorrection(-12.25), "-12.250000");  // wider than 8, not cut
    EXPECT_EQ(FormatCorrection(0.0000004), "0.000000");
    EXPECT_EQ(FormatCorrection(-0.0000004), "0.000000");
}

TEST(CalibrationReading, HourShiftAndMidnight)
{
    // The reference 1 h 0 min 20 s ahead of the PC clock: a summer-time hour and 20 s of drift.
    ReferenceReading r = ReadReference(EncodeTime(13, 0, 20), At(12, 0, 0));
    EXPECT_NEAR(r.diff * 86400, 20, 1e-6);
    EXPECT_NEAR(r.moment, At(13, 0, 20), 1e-9);
    r = ReadReference(EncodeTime(10, 59, 30), At(12, 0, 0));
    EXPECT_NEAR(r.diff * 86400, -30, 1e-6);
    // The PC clock just past midnight, the reference still before it: yesterday's date.
    r = ReadReference(EncodeTime(23, 59, 50), At(0, 0, 10));
    EXPECT_NEAR(r.diff * 86400, -20, 1e-6);
    EXPECT_NEAR(r.moment, At(23, 59, 50) - 1, 1e-9);
    r = ReadReference(EncodeTime(0, 0, 10), At(23, 59, 50));
    EXPECT_NEAR(r.diff * 86400, 20, 1e-6);
    EXPECT_NEAR(r.moment, At(0, 0, 10) + 1, 1e-9);
}

TEST(CalibrationReading, Captions)
{
    const TDateTime start = At(7, 30, 0);
    CalibrationTexts t = ShowCalibrationTexts(0, 0, 0, At(9, 0, 0));
    EXPECT_EQ(t.start, "");
    EXPECT_EQ(t.stop, "");
    EXPECT_EQ(t.result, "0.000000");
    t = ShowCalibrationTexts(start, 0, 1.25, start + 2.25);
    EXPECT_EQ(t.start, "2024.03.14  07:30:00");
    EXPECT_EQ(t.stop, "  (2 dni 6 h)");
    EXPECT_EQ(t.result, "1.250000");
    t = ShowCalibrationTexts(start, start + 7.5, -0.5, start + 20);
    EXPECT_EQ(t.stop, "2024.03.21  19:30:00  (7 dni 12 h)");
}
