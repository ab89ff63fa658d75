// The drift calibration's Start, Stop and Tst over fake clocks, keeping its values in memory.
#include "clock/calibration.h"

#include <gtest/gtest.h>

#include "clock/drift.h"
#include "clock/local_time.h"
#include "platform/fake/fake_system_clock.h"

using namespace std::chrono;

namespace {

// 11:59:50 local time (one hour east of UTC) on 2024-03-14.
const SystemClock::TimePoint kStart = sys_days{year{2024} / 3 / 14} + hours{10} + minutes{59} + seconds{50};

class CalibrationTest : public testing::Test
{
protected:
    // The values as the program keeps them, under their stored names.
    struct Values
    {
        TDateTime CalibrationStart = 0;
        TDateTime CalibrationStop = 0;
        double TotalCorrection = 0;
        double LastCalibration = 0;
    };
    // The names of the values written, in order.
    std::vector<std::string> WrittenNames() const { return m_written; }

    FakeSystemClock m_clock{kStart, hours(1)};
    Values m_settings;
    std::vector<std::string> m_written;
    Calibration m_cal{{m_settings.CalibrationStart, m_settings.CalibrationStop, m_settings.TotalCorrection,
                       m_settings.LastCalibration},
                      m_clock,
                      [this](std::initializer_list<CalibrationValue> values) {
                          static const char* const kNames[] = {"Kalibracja start", "Kalibracja stop", "Korekta łącznie",
                                                               "Ostatnia kalibracja"};
                          for (CalibrationValue value : values)
                              m_written.push_back(kNames[static_cast<int>(value)]);
                      }};
};

}  // namespace

TEST_F(CalibrationTest, StartSetsTheClockToTheReferenceAndStoresTheStart)
{
    m_settings.TotalCorrection = 12;
    m_settings.CalibrationStop = 1;
    EXPECT_FALSE(m_cal.Start("  :  :  "));
    EXPECT_FALSE(m_cal.Start("25:00:00"));
    EXPECT_TRUE(m_clock.Shifts().empty());
    const auto change = m_cal.Start("12:00:00");
    ASSERT_TRUE(change && change->Ok());
    ASSERT_EQ(m_clock.Shifts().size(), 1u);
    EXPECT_EQ(m_clock.Shifts()[0], seconds(10));
    EXPECT_NEAR(m_settings.CalibrationStart, EncodeDate(2024, 3, 14) + EncodeTime(12, 0, 0), 1e-9);
    EXPECT_EQ(m_settings.CalibrationStop, 0);
    EXPECT_EQ(m_settings.TotalCorrection, 0);
    EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Kalibracja start", "Kalibracja stop", "Korekta łącznie"}));
    EXPECT_EQ(m_cal.Texts().start, "2024.03.14  12:00:00");
    EXPECT_EQ(m_cal.Texts().stop, "  (0 dni 0 h)");
}

TEST_F(CalibrationTest, StopOnlyInTheFirstHourAfterBootDuringACalibration)
{
    m_clock.SetUptime(minutes(59));
    EXPECT_FALSE(m_cal.StopEnabled());  // no calibration
    m_settings.CalibrationStart = LocalNow(m_clock) - 7;
    EXPECT_TRUE(m_cal.StopEnabled());
    m_clock.SetUptime(minutes(61));
    EXPECT_FALSE(m_cal.StopEnabled());
    m_clock.SetUptime(std::nullopt);
    EXPECT_FALSE(m_cal.StopEnabled());
    m_clock.SetUptime(minutes(1));
    m_settings.CalibrationStop = LocalNow(m_clock);
    EXPECT_FALSE(m_cal.StopEnabled());
}

TEST_F(CalibrationTest, StopMeasuresTheDriftPerDay)
{
    // Started seven days ago at the reference 12:00:00; the correction moved the clock 11 s since.
    m_settings.CalibrationStart = EncodeDate(2024, 3, 7) + EncodeTime(12, 0, 0);
    m_settings.TotalCorrection = 11;
    EXPECT_FALSE(m_cal.Stop("12:60:00"));
    // The reference 1 h 0 min 20 s ahead of the PC clock: summer time began meanwhile.
    const auto test = m_cal.Test("13:00:10");
    ASSERT_TRUE(test);
    EXPECT_TRUE(m_clock.Shifts().empty());
    EXPECT_TRUE(WrittenNames().empty());
    const auto change = m_cal.Stop("13:00:10");
    ASSERT_TRUE(change && change->Ok());
    EXPECT_EQ(m_clock.Shifts()[0], seconds(3620));
    const double days = 7 + 1.0 / 24 + 10.0 / 86400;
    EXPECT_NEAR(m_settings.LastCalibration, (20 + 11) / days, 1e-6);
    EXPECT_EQ(*test, FormatCorrection(m_settings.LastCalibration));
    EXPECT_EQ(m_settings.TotalCorrection, 0);
    EXPECT_EQ(WrittenNames(), (std::vector<std::string>{"Kalibracja stop", "Ostatnia kalibracja", "Korekta łącznie"}));
    EXPECT_EQ(m_cal.Texts().stop, "2024.03.14  13:00:10  (7 dni 1 h)");
    // Ended: a second Stop does nothing.
    EXPECT_FALSE(m_cal.Stop("13:00:10"));
}

TEST_F(CalibrationTest, NothingIsStoredWhenTheClockCannotBeSet)
{
    m_clock.SetMaySet(false, ClockChangeError::Refused);
    const auto change = m_cal.Start("12:00:00");
    ASSERT_TRUE(change);
    EXPECT_EQ(change->error, ClockChangeError::Refused);
    EXPECT_EQ(m_settings.CalibrationStart, 0);
    EXPECT_TRUE(WrittenNames().empty());
}

TEST_F(CalibrationTest, PressesWhileTheClockIsBeingSetAreIgnored)
{
    // The clock moves by the difference seen at the first press; a second one, made while the
    // authorisation is asked for, would move it by that difference again.
    std::vector<bool> nested;
    m_clock.SetDuringShift([this, &nested] {
        nested.push_back(m_cal.Start("12:00:00").has_value());
        nested.push_back(m_cal.Stop("12:00:00").has_value());
    });
    ASSERT_TRUE(m_cal.Start("12:00:00"));
    EXPECT_EQ(m_clock.Shifts().size(), 1u);
    EXPECT_EQ(nested, (std::vector<bool>{false, false}));
    EXPECT_NEAR(::LocalNow(m_clock), EncodeDate(2024, 3, 14) + EncodeTime(12, 0, 0), 1e-9);
}

TEST_F(CalibrationTest, AStopAtOrBeforeTheStartHasNoRate)
{
    m_settings.CalibrationStart = EncodeDate(2024, 3, 14) + EncodeTime(12, 0, 0);
    EXPECT_FALSE(m_cal.Stop("12:00:00"));
    EXPECT_FALSE(m_cal.Test("11:59:55"));
    EXPECT_EQ(m_settings.CalibrationStop, 0);
}
