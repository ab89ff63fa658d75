// A journal file in memory for tests: it remembers what reached the disk and can fail on demand.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>

#include "platform/journal_file.h"

class FakeJournalFile final : public JournalFile
{
public:
    ReadStatus ReadAll(const std::filesystem::path& path, std::string& contents) override;
    OpenStatus OpenAndRead(const std::filesystem::path& path, std::string& contents) override;
    bool IsOpen() const override { return m_open; }
    bool Append(std::string_view bytes) override;
    bool Truncate(std::uint64_t size) override;
    bool Sync() override;
    bool Replace(std::string_view contents) override;
    bool WriteCopy(const std::filesystem::path& path, std::string_view contents) override;
    void Close() override { m_open = false; }
    std::string LastError() const override { return "Brak miejsca na dysku"; }

    // The file as the running system sees it, and as a power cut would leave it.
    void SetFile(const std::filesystem::path& path, std::string contents);
    std::optional<std::string> File(const std::filesystem::path& path) const;
    std::optional<std::string> DurableFile(const std::filesystem::path& path) const;

    // Failures to inject; each stays until it is changed.
    bool failRead = false;
    bool failOpen = false;
    bool heldByAnother = false;
    bool failTruncate = false;
    bool failSync = false;
    bool failReplace = false;  // as a failed rename: the old file stays
    bool failCopy = false;     // WriteCopy fails, an earlier copy stays
    // A full disk: appends write at most this many more bytes and then fail.
    std::optional<std::size_t> appendRoom;

    int syncCalls = 0;

private:
    struct Stored
    {
        std::string contents;
        std::string durable;
    };
    std::map<std::filesystem::path, Stored> m_files;
    std::filesystem::path m_path;
    bool m_open = false;
};
