// The notes journal's file through the Win32 file calls.
#pragma once

#include <windows.h>

#include "platform/journal_file.h"

class WindowsJournalFile final : public JournalFile
{
public:
    WindowsJournalFile() = default;
    WindowsJournalFile(const WindowsJournalFile&) = delete;
    WindowsJournalFile& operator=(const WindowsJournalFile&) = delete;
    ~WindowsJournalFile() override;

    ReadStatus ReadAll(const std::filesystem::path& path, std::string& contents) override;
    OpenStatus OpenAndRead(const std::filesystem::path& path, std::string& contents) override;
    bool IsOpen() const override { return m_file != INVALID_HANDLE_VALUE; }
    bool Append(std::string_view bytes) override;
    bool Truncate(std::uint64_t size) override;
    bool Sync() override;
    bool Replace(std::string_view contents) override;
    bool WriteCopy(const std::filesystem::path& path, std::string_view contents) override;
    void Close() override;
    std::string LastError() const override { return m_lastError; }

private:
    bool Fail(unsigned long error);
    // Opens the file under the name and takes the writer's lock; Ok, Failed or HeldByAnother.
    OpenStatus OpenLocked(HANDLE& file);

    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::filesystem::path m_path;
    std::string m_lastError;
};
