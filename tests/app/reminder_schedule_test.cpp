// The reminders' schedule over time: advance and time, restarts, sleep, the clock jumping both ways,
// snooze and edited notes.
#include "app/reminder_schedule.h"

#include "calendar/datetime.h"

#include <gtest/gtest.h>

namespace {

constexpr long long kMin = 60000;
constexpr long long kHour = 60 * kMin;
constexpr long long kDay = 24 * kHour;

const long long kToday = static_cast<long long>(EncodeDate(2026, 12, 8));

long long At(long long day, int hour, int minute, int second = 0)
{
    return day * kDay + hour * kHour + minute * kMin + second * 1000LL;
}

const NoteReminder kDentist{kToday, 14 * 60 + 30, "dentysta"};

std::vector<std::string> Summaries(const std::vector<ReminderNotice>& notices)
{
    std::vector<std::string> out;
    for (const ReminderNotice& notice : notices)
        out.push_back(notice.summary);
    return out;
}

using Texts = std::vector<std::string>;

// A run of the program: each look is at a moment of the clock, which may jump either way.
struct Session
{
    ReminderSchedule schedule;
    std::vector<NoteReminder> reminders{kDentist};
    int advance = 15;

    Texts Look(long long nowMs) { return Summaries(schedule.Check(reminders, nowMs, advance)); }
    // Looks as the timer would, waking at every NextWake up to `untilMs`; what all of them showed.
    Texts RunUntil(long long nowMs, long long untilMs)
    {
        Texts shown = Look(nowMs);
        while (const std::optional<long long> next = schedule.NextWake(reminders, nowMs, advance)) {
            if (*next > untilMs)
                break;
            nowMs = *next + 3;
            for (std::string& text : Look(nowMs))
                shown.push_back(std::move(text));
        }
        return shown;
    }
};

TEST(ReminderSchedule, AdvanceThenTimeOnTheirMoments)
{
    Session run;
    EXPECT_EQ(run.Look(At(kToday, 8, 0)), Texts{}) << "a first look tells nothing";
    EXPECT_EQ(run.schedule.NextWake(run.reminders, At(kToday, 8, 0), 15), At(kToday, 14, 15));
    EXPECT_EQ(run.Look(At(kToday, 14, 14, 59)), Texts{});
    EXPECT_EQ(run.Look(At(kToday, 14, 15)), Texts{"Za 15 min: 14:30 dentysta"});
    EXPECT_EQ(run.Look(At(kToday, 14, 20)), Texts{});
    EXPECT_EQ(run.schedule.NextWake(run.reminders, At(kToday, 14, 20), 15), At(kToday, 14, 30));
    EXPECT_EQ(run.Look(At(kToday, 14, 30)), Texts{"14:30 dentysta"});
    EXPECT_EQ(run.Look(At(kToday, 14, 31)), Texts{});
    EXPECT_EQ(run.schedule.NextWake(run.reminders, At(kToday, 14, 31), 15), std::nullopt);
}

TEST(ReminderSchedule, AdvanceOfNoneOrHoursAndSeveralReminders)
{
    Session run;
    run.reminders = {{kToday, 9 * 60 + 5, "poczta"}, kDentist, {kToday + 1, 8 * 60, "pociąg"}};
    run.advance = 0;
    EXPECT_EQ(run.RunUntil(At(kToday, 8, 0), At(kToday + 2, 0, 0)),
              (Texts{"9:05 poczta", "14:30 dentysta", "8:00 pociąg"}));

    Session ahead;
    ahead.advance = 90;
    EXPECT_EQ(ahead.RunUntil(At(kToday, 8, 0), At(kToday + 1, 0, 0)),
              (Texts{"Za 1 godz. 30 min: 14:30 dentysta", "14:30 dentysta"}));
    // A whole day ahead: tomorrow's reminder is announced today.
    Session dayAhead;
    dayAhead.advance = 1440;
    dayAhead.reminders = {{kToday + 1, 8 * 60, "pociąg"}};
    EXPECT_EQ(dayAhead.RunUntil(At(kToday, 7, 0), At(kToday, 9, 0)), (Texts{"Za 24 godz.: 8:00 pociąg"}));
}

TEST(ReminderSchedule, RestartBetweenAdvanceAndTimeShowsOnlyTheTime)
{
    Session first;
    first.Look(At(kToday, 14, 0));
    EXPECT_EQ(first.Look(At(kToday, 14, 15)), Texts{"Za 15 min: 14:30 dentysta"});
    const std::string stored = StoreReminderMemory(first.schedule.Memory());

    // Closed at 14:16, started again at 14:25: nothing missed, the time still to come.
    Session second{ReminderSchedule(ParseReminderMemory(stored))};
    EXPECT_EQ(second.Look(At(kToday, 14, 25)), Texts{});
    EXPECT_EQ(second.Look(At(kToday, 14, 30)), Texts{"14:30 dentysta"});

    // Closed before the advance, started after it: the advance comes late, with the minutes left.
    Session early;
    early.Look(At(kToday, 13, 0));
    Session late{ReminderSchedule(ParseReminderMemory(StoreReminderMemory(early.schedule.Memory())))};
    EXPECT_EQ(late.Look(At(kToday, 14, 21, 30)), Texts{"Za 9 min: 14:30 dentysta"});
}

TEST(ReminderSchedule, MissedOnceAfterSleepOrStart)
{
    struct Row
    {
        const char* what;
        long long wakeMs;
        Texts expected;
    };
    const Row rows[] = {
        {"a sleep over advance and time: one notice",
         At(kToday, 18, 0),
         {"Pominięte przypomnienie: 14:30 dentysta (dziś)"}},
        {"woken the next morning", At(kToday + 1, 9, 0), {"Pominięte przypomnienie: 14:30 dentysta (wczoraj)"}},
        {"woken just within a day", At(kToday + 1, 14, 30), {"Pominięte przypomnienie: 14:30 dentysta (wczoraj)"}},
        {"woken more than a day after", At(kToday + 1, 14, 30, 1), {}},
        {"three days on", At(kToday + 3, 12, 0), {}},
        {"a minute late is still on time", At(kToday, 14, 31), {"14:30 dentysta"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Session run;
        run.reminders.push_back({kToday + 1, 8 * 60, "pociąg"});
        run.Look(At(kToday, 14, 0));
        Texts shown = run.Look(row.wakeMs);
        // Tomorrow's train, missed too when the wake is after it.
        std::erase_if(shown, [](const std::string& text) { return text.find("pociąg") != std::string::npos; });
        EXPECT_EQ(shown, row.expected);
        EXPECT_EQ(run.Look(row.wakeMs + kMin), Texts{}) << "told once";
        // Nor after a restart.
        Session again{ReminderSchedule(ParseReminderMemory(StoreReminderMemory(run.schedule.Memory())))};
        EXPECT_EQ(again.Look(row.wakeMs + 2 * kMin), Texts{});
    }
}

TEST(ReminderSchedule, ForwardOverThreeDaysTellsOnlyTheLastDay)
{
    Session run;
    run.advance = 0;
    for (int day = 0; day < 4; ++day)
        run.reminders.push_back({kToday + day, 20 * 60, "wieczór " + std::to_string(day)});
    run.Look(At(kToday, 21, 0));
    EXPECT_EQ(run.Look(At(kToday + 3, 10, 0)), (Texts{"Pominięte przypomnienie: 20:00 wieczór 2 (wczoraj)"}));
}

TEST(ReminderSchedule, ClockBackNeverRepeatsButPassesTheRestAgain)
{
    Session run;
    run.reminders.push_back({kToday, 15 * 60, "narada"});
    run.advance = 0;
    run.Look(At(kToday, 14, 0));
    EXPECT_EQ(run.Look(At(kToday, 14, 30)), Texts{"14:30 dentysta"});
    // The clock went forward by mistake over the meeting, which was then told as missed...
    EXPECT_EQ(run.Look(At(kToday, 20, 0)), Texts{"Pominięte przypomnienie: 15:00 narada (dziś)"});
    // ...and back an hour before the dentist: neither comes again.
    EXPECT_EQ(run.RunUntil(At(kToday, 13, 30), At(kToday, 21, 0)), Texts{});

    // A reminder written while the clock was ahead, for a time it had passed, comes when the
    // clock passes it after going back.
    Session wrong;
    wrong.advance = 0;
    wrong.reminders = {};
    wrong.Look(At(kToday, 20, 0));
    wrong.Look(At(kToday, 20, 1));
    wrong.reminders = {kDentist};
    EXPECT_EQ(wrong.Look(At(kToday, 20, 2)), Texts{}) << "written after its time: nothing missed";
    EXPECT_EQ(wrong.RunUntil(At(kToday, 14, 0), At(kToday, 15, 0)), Texts{"14:30 dentysta"});
}

TEST(ReminderSchedule, SnoozeShowsAgainAndDoneEndsIt)
{
    Session run;
    run.Look(At(kToday, 14, 0));
    EXPECT_EQ(run.Look(At(kToday, 14, 15)), Texts{"Za 15 min: 14:30 dentysta"});
    run.schedule.Snooze(kDentist, At(kToday, 14, 16), 5);
    EXPECT_EQ(run.schedule.NextWake(run.reminders, At(kToday, 14, 16), 15), At(kToday, 14, 21));
    EXPECT_EQ(run.Look(At(kToday, 14, 21)), Texts{"Za 9 min: 14:30 dentysta"});
    EXPECT_EQ(run.Look(At(kToday, 14, 30)), Texts{"14:30 dentysta"});
    run.schedule.Snooze(kDentist, At(kToday, 14, 31), 5);
    EXPECT_EQ(run.Look(At(kToday, 14, 36)), Texts{"14:30 dentysta"});
    EXPECT_EQ(run.Look(At(kToday, 14, 42)), Texts{});

    // "Gotowe" on the advance: the time does not come, nor a snooze asked for before.
    Session done;
    done.Look(At(kToday, 14, 0));
    done.Look(At(kToday, 14, 15));
    done.schedule.Snooze(kDentist, At(kToday, 14, 16), 5);
    done.schedule.Done(kDentist);
    EXPECT_EQ(done.RunUntil(At(kToday, 14, 17), At(kToday, 16, 0)), Texts{});
}

TEST(ReminderSchedule, EditedNoteRemindsAgainOnlyForANewTime)
{
    Session run;
    run.advance = 0;
    run.Look(At(kToday, 14, 0));
    EXPECT_EQ(run.Look(At(kToday, 14, 30)), Texts{"14:30 dentysta"});
    // A line added to the note, and the reminder's text corrected after it was shown.
    run.reminders = {{kToday, 14 * 60 + 30, "dentysta, zabrać kartę"}, {kToday, 10 * 60, "dodane później"}};
    EXPECT_EQ(run.RunUntil(At(kToday, 14, 35), At(kToday, 23, 0)), Texts{});
    // The time moved on: a new reminder.
    run.reminders = {{kToday, 16 * 60, "dentysta"}};
    EXPECT_EQ(run.RunUntil(At(kToday, 14, 40), At(kToday, 23, 0)), Texts{"16:00 dentysta"});
}

TEST(ReminderSchedule, NextReminderForTheHint)
{
    Session run;
    run.reminders = {kDentist, {kToday, 16 * 60, "narada"}};
    EXPECT_EQ(run.schedule.NextReminder(run.reminders, At(kToday, 14, 0)), kDentist);
    EXPECT_EQ(run.schedule.NextReminder(run.reminders, At(kToday, 14, 30))->text, "narada");
    run.schedule.Done(run.reminders[1]);
    EXPECT_EQ(run.schedule.NextReminder(run.reminders, At(kToday, 14, 30)), std::nullopt);
}

TEST(ReminderMemory, StoredFormReadsBackAndDamageIsDropped)
{
    ReminderMemory memory;
    memory.watchedMs = At(kToday, 14, 30, 15);
    memory.shown[kDentist.Key()] = 1;
    memory.shown[NoteReminder{kToday, 8 * 60, "x"}.Key()] = 2;
    const std::string stored = StoreReminderMemory(memory);
    EXPECT_EQ(stored.substr(0, 20), "2026.12.08 14:30:15;");
    EXPECT_EQ(ParseReminderMemory(stored), memory);

    for (const char* damaged : {"", "bzdura", "2026.13.08 14:30:15", "2026.12.08 14:30:15;zle=2",
                                "2026.12.08 14:30:15;2026.12.08 14:30 0000=7"}) {
        SCOPED_TRACE(damaged);
        const ReminderMemory read = ParseReminderMemory(damaged);
        EXPECT_TRUE(read.shown.empty());
    }
    EXPECT_FALSE(ParseReminderMemory("2026.12.08 25:30:15").watchedMs);
}

}  // namespace
