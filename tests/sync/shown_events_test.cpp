// The shown calendars' events by day: recurrences with their exceptions, time zones, all-day events
// of several days, and the printed line. Events written by hand from RFC 5545's examples.
#include "sync/shown_events.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

std::string Calendar(const std::string& body)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//PL\r\n" + body + "END:VCALENDAR\r\n";
}

// The zone the tests run in (TZ is pinned to Central European time with its summer time).
std::chrono::seconds Warsaw(std::chrono::system_clock::time_point at)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm local{};
    localtime_r(&t, &local);
    return std::chrono::seconds(local.tm_gmtoff);
}

const std::string kZone = "BEGIN:VTIMEZONE\r\nTZID:Europe/Warsaw\r\nBEGIN:STANDARD\r\nDTSTART:19701025T030000\r\n"
                          "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\n"
                          "END:STANDARD\r\nBEGIN:DAYLIGHT\r\nDTSTART:19700329T020000\r\n"
                          "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
                          "END:DAYLIGHT\r\nEND:VTIMEZONE\r\n";

TEST(ShownEvents, EachKindOfEventOnTheDaysItCovers)
{
    const std::vector<ShownCalendar> calendars = {
        {"Praca",
         {
             // Every Monday at 9:00 Warsaw time, but not on 2026-03-16; the one of 2026-03-23 moved to 11:00.
             Calendar(kZone
                      + "BEGIN:VEVENT\r\nUID:narada\r\nDTSTAMP:20260101T000000Z\r\n"
                        "DTSTART;TZID=Europe/Warsaw:20260302T090000\r\nDURATION:PT1H\r\nRRULE:FREQ=WEEKLY\r\n"
                        "EXDATE;TZID=Europe/Warsaw:20260316T090000\r\nSUMMARY:Narada\r\nEND:VEVENT\r\n"
                        "BEGIN:VEVENT\r\nUID:narada\r\nDTSTAMP:20260101T000000Z\r\n"
                        "RECURRENCE-ID;TZID=Europe/Warsaw:20260323T090000\r\n"
                        "DTSTART;TZID=Europe/Warsaw:20260323T110000\r\nDURATION:PT1H\r\nSUMMARY:Narada później\r\n"
                        "END:VEVENT\r\n"),
             // Three days off, 2026-03-18 to 2026-03-20.
             Calendar("BEGIN:VEVENT\r\nUID:urlop\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20260318\r\n"
                      "DTEND;VALUE=DATE:20260321\r\nSUMMARY:Urlop\r\nEND:VEVENT\r\n"),
             // In UTC: 23:30 on 2026-03-18 is 00:30 on the 19th in Warsaw.
             Calendar("BEGIN:VEVENT\r\nUID:noc\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20260318T233000Z\r\n"
                      "SUMMARY:Nocny pociąg\r\nLOCATION:Dworzec\r\nEND:VEVENT\r\n"),
             // Monthly on the 31st: only months that have one.
             Calendar("BEGIN:VEVENT\r\nUID:m\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20260131\r\n"
                      "RRULE:FREQ=MONTHLY\r\nSUMMARY:Rachunki\r\nEND:VEVENT\r\n"),
             // Yearly, ending in 2027.
             Calendar("BEGIN:VEVENT\r\nUID:y\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20250501\r\n"
                      "RRULE:FREQ=YEARLY;UNTIL=20270501\r\nSUMMARY:Majówka\r\nEND:VEVENT\r\n"),
             "to nie jest kalendarz",
         },
         {},
         {}},
    };
    const ShownEvents events(calendars, Warsaw);
    const struct
    {
        int y, m, d;
        const char* line;
    } rows[] = {
        {2026, 3, 2, "09:00 Narada"},
        {2026, 3, 9, "09:00 Narada"},
        {2026, 3, 16, ""},
        {2026, 3, 23, "11:00 Narada później"},
        {2026, 3, 30, "09:00 Narada"},  // after the change to summer time, still 9:00 in Warsaw
        {2026, 2, 23, ""},              // before the first
        {2026, 3, 18, "Urlop"},
        {2026, 3, 19, "Urlop; 00:30 Nocny pociąg"},
        {2026, 3, 20, "Urlop"},
        {2026, 3, 21, ""},
        {2026, 3, 31, "Rachunki"},
        {2026, 4, 30, ""},
        {2026, 5, 31, "Rachunki"},
        {2026, 5, 1, "Majówka"},
        {2027, 5, 1, "Majówka"},
        {2029, 5, 1, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.y << '-' << row.m << '-' << row.d);
        EXPECT_EQ(EventsLine(events.EventsOn(row.y, row.m, row.d)), row.line);
    }
    const std::vector<ShownEvent> train = events.EventsOn(2026, 3, 19);
    ASSERT_EQ(train.size(), 2u);
    EXPECT_EQ(train[1].location, "Dworzec");
}

TEST(ShownCalendars, TheLocalCopyKeepsEveryCalendarAndADamagedOneIsNone)
{
    // A subscribed file keeps the validators the server gave it, to be asked whether it changed.
    const std::vector<ShownCalendar> calendars = {
        {"Praca\tpierwszy", {"A\r\nB", "C\\n"}, {}, {}},
        {"http://szkola.test/plan.ics", {"D"}, "\"wersja\t1\"", "Sun, 01 Mar 2026 10:00:00 GMT"},
        {"Puste", {}, {}, {}}};
    const std::vector<ShownCalendar> back = ParseShownCalendars(FormatShownCalendars(calendars));
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].name, calendars[0].name);
    EXPECT_EQ(back[0].resources, calendars[0].resources);
    EXPECT_TRUE(back[0].etag.empty() && back[0].lastModified.empty());
    EXPECT_EQ(back[1].resources, calendars[1].resources);
    EXPECT_EQ(back[1].etag, calendars[1].etag);
    EXPECT_EQ(back[1].lastModified, calendars[1].lastModified);
    EXPECT_TRUE(back[2].resources.empty());
    const std::string whole = FormatShownCalendars(calendars);
    EXPECT_TRUE(ParseShownCalendars(whole.substr(0, whole.size() - 2)).empty());
    EXPECT_TRUE(ParseShownCalendars("dniarz-kalendarze 1\nzasob\tx\n").empty());
}

}  // namespace
