// What the notes tests share: a journal on a fake file, and the moment every edit is made.
#pragma once

#include <chrono>
#include <string>

#include "calendar/notes_journal.h"
#include "platform/fake/fake_journal_file.h"

struct NotesFixture
{
    const std::filesystem::path path = "/fake/program/dnz.dat";
    FakeJournalFile file;
    const TDateTime now = EncodeDate(2024, 3, 10) + EncodeTime(14, 5, 0);  // local time
    NotesJournal journal{file};

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
        journal.AppendRecord(key, text, now);
        journal.Flush();
    }
};
