// What the notes tests share: a journal on a fake file with a clock that stands still.
#pragma once

#include <chrono>
#include <string>

#include "calendar/notes_journal.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_system_clock.h"

// A moment of the fake clock, which runs on UTC so that local time equals it.
inline SystemClock::TimePoint At(int y, unsigned m, unsigned d, int hour = 12, int minute = 0)
{
    using namespace std::chrono;
    return sys_days{year{y} / month{m} / day{d}} + hours{hour} + minutes{minute};
}

struct NotesFixture
{
    const std::filesystem::path path = "/fake/program/dnz.dat";
    FakeJournalFile file;
    FakeSystemClock clock{At(2024, 3, 10, 14, 5)};
    NotesJournal journal{file, clock};

    // Opens the journal on a file of exactly these bytes; an open failure fails the test.
    void OpenWith(const std::string& bytes)
    {
        file.SetFile(path, bytes);
        Open();
    }
    void Open()
    {
        const auto error = journal.OpenNotes(path);
        if (error)
            throw std::runtime_error(*error);
    }
    std::string Bytes() const { return file.File(path).value_or("<missing>"); }
    void Save(const std::string& key, const std::string& text)
    {
        journal.AppendRecord(key, text);
        journal.Flush();
    }
};
