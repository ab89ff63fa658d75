// A journal file that can be read but never changes: for pictures of the window, which must show
// the user's notes without creating, repairing or appending to the file.
#pragma once

#include <memory>

#include "platform/journal_file.h"

class ReadOnlyJournalFile final : public JournalFile
{
public:
    explicit ReadOnlyJournalFile(JournalFile& reader) : m_reader(reader) {}

    ReadStatus ReadAll(const std::filesystem::path& path, std::string& contents) override
    {
        return m_reader.ReadAll(path, contents);
    }
    // Pretends to open, so that the notes show; every write then fails and changes nothing.
    OpenStatus OpenAndRead(const std::filesystem::path& path, std::string& contents) override
    {
        m_open = ReadAll(path, contents) != ReadStatus::Failed;
        return m_open ? OpenStatus::Ok : OpenStatus::Failed;
    }
    bool IsOpen() const override { return m_open; }
    bool Append(std::string_view) override { return false; }
    bool Truncate(std::uint64_t) override { return false; }
    bool Sync() override { return false; }
    bool Replace(std::string_view) override { return false; }
    bool WriteCopy(const std::filesystem::path&, std::string_view) override { return false; }
    void Close() override { m_open = false; }
    std::string LastError() const override { return "read only"; }

private:
    JournalFile& m_reader;
    bool m_open = false;
};
