// The notes journal's file through POSIX calls.
#pragma once

#include "platform/journal_file.h"

class LinuxJournalFile final : public JournalFile
{
public:
    LinuxJournalFile() = default;
    LinuxJournalFile(const LinuxJournalFile&) = delete;
    LinuxJournalFile& operator=(const LinuxJournalFile&) = delete;
    ~LinuxJournalFile() override;

    ReadStatus ReadAll(const std::filesystem::path& path, std::string& contents) override;
    OpenStatus OpenAndRead(const std::filesystem::path& path, std::string& contents) override;
    bool IsOpen() const override { return m_fd >= 0; }
    bool Append(std::string_view bytes) override;
    bool Truncate(std::uint64_t size) override;
    bool Sync() override;
    bool Replace(std::string_view contents) override;
    bool WriteCopy(const std::filesystem::path& path, std::string_view contents) override;
    void Close() override;
    std::string LastError() const override { return m_lastError; }

private:
    // The file under `path` opened, a regular file and locked, in `fd`; Ok with `fd` -1 when the
    // other writer replaced it between the open and the lock, so that it must be opened again.
    OpenStatus OpenLocked(const std::filesystem::path& path, int& fd);
    bool Fail(int error);

    int m_fd = -1;
    std::filesystem::path m_path;
    std::string m_lastError;
};
