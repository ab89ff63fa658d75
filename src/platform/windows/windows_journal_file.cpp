// The notes journal's file through the Win32 file calls. The one-writer lock is a byte-range lock
// far past any real content, so that it never stands in the way of a reader; it goes with the
// handle, and so with the process, crashes included.
#include "platform/windows/windows_journal_file.h"

#include "platform/read_file.h"
#include "platform/windows/win_text.h"
#include "platform/windows/windows_file.h"

namespace {

constexpr int kLockAttempts = 100;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

enum class LockOutcome
{
    Locked,
    HeldByAnother,
    Failed
};

LockOutcome LockWriter(HANDLE file)
{
    OVERLAPPED at{};
    at.Offset = 0xFFFFFFF0u;
    at.OffsetHigh = 0x7FFFFFFFu;
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        return LockOutcome::Locked;
    const DWORD error = GetLastError();
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? LockOutcome::HeldByAnother
                                                                      : LockOutcome::Failed;
}

bool SameFile(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION x{}, y{};
    return GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y)
           && x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh
           && x.nFileIndexLow == y.nFileIndexLow;
}

}  // namespace

WindowsJournalFile::~WindowsJournalFile()
{
    Close();
}

bool WindowsJournalFile::Fail(unsigned long error)
{
    m_lastError = SystemErrorText(error);
    return false;
}

JournalFile::ReadStatus WindowsJournalFile::ReadAll(const std::filesystem::path& path, std::string& contents)
{
    return ReadJournalFile(path, contents, m_lastError, [](const std::error_code& error) {
        // A missing file comes back as a portable error code; the user reads the system's words.
        return SystemErrorText(error == std::errc::no_such_file_or_directory
                                   ? ERROR_FILE_NOT_FOUND
                                   : static_cast<unsigned long>(error.value()));
    });
}

JournalFile::OpenStatus WindowsJournalFile::OpenLocked(HANDLE& file)
{
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        file = CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            // A copy in the middle of a pack holds the new file without sharing it for writing.
            if (error == ERROR_SHARING_VIOLATION) {
                m_lastError = "plik jest używany przez inną kopię programu";
                return OpenStatus::HeldByAnother;
            }
            Fail(error);
            return OpenStatus::Failed;
        }
        const auto fail = [&](DWORD error) {
            CloseHandle(file);
            file = INVALID_HANDLE_VALUE;
            if (error)
                Fail(error);
            return OpenStatus::Failed;
        };
        // A device (NUL, COM1) or a pipe in the file's place would block every read or never end.
        if (!IsRegularFile(file)) {
            m_lastError = kJournalNotRegular;
            return fail(0);
        }
        switch (LockWriter(file)) {
        case LockOutcome::Locked:
            break;
        case LockOutcome::HeldByAnother:
            CloseHandle(file);
            file = INVALID_HANDLE_VALUE;
            m_lastError = "plik jest używany przez inną kopię programu";
            return OpenStatus::HeldByAnother;
        case LockOutcome::Failed:
            return fail(GetLastError());
        }
        // The lock counts only if the file locked is still the one under the name: a pack by the
        // other writer may have moved a new file over it since the open.
        const HANDLE named = CreateFileW(m_path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
        const bool same = named != INVALID_HANDLE_VALUE && SameFile(file, named);
        if (named != INVALID_HANDLE_VALUE)
            CloseHandle(named);
        if (same)
            return OpenStatus::Ok;
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    m_lastError = "the file keeps being replaced";
    return OpenStatus::Failed;
}

JournalFile::OpenStatus WindowsJournalFile::OpenAndRead(const std::filesystem::path& path, std::string& contents)
{
    Close();
    contents.clear();
    m_path = path;
    HANDLE file = INVALID_HANDLE_VALUE;
    const OpenStatus status = OpenLocked(file);
    if (status != OpenStatus::Ok)
        return status;
    // Only the lock holder packs, so a new file beside the journal now is what a crash in the
    // middle of a pack left.
    RemoveStaleReplacements(path);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && static_cast<std::uint64_t>(size.QuadPart) > kNotesLimit) {
        m_lastError = kJournalTooLarge;
        CloseHandle(file);
        return OpenStatus::TooLarge;
    }
    if (!GetFileSizeEx(file, &size) || !ReadFromStart(file, static_cast<std::uint64_t>(size.QuadPart), contents)) {
        Fail(GetLastError());
        CloseHandle(file);
        return OpenStatus::Failed;
    }
    m_file = file;
    return OpenStatus::Ok;
}

bool WindowsJournalFile::Append(std::string_view bytes)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return Fail(ERROR_INVALID_HANDLE);
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(m_file, zero, nullptr, FILE_END))
        return Fail(GetLastError());
    return WriteAll(m_file, bytes) || Fail(GetLastError());
}

bool WindowsJournalFile::Truncate(std::uint64_t size)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return Fail(ERROR_INVALID_HANDLE);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(m_file, at, nullptr, FILE_BEGIN) || !SetEndOfFile(m_file))
        return Fail(GetLastError());
    return true;
}

bool WindowsJournalFile::Sync()
{
    if (m_file == INVALID_HANDLE_VALUE)
        return Fail(ERROR_INVALID_HANDLE);
    return FlushFileBuffers(m_file) || Fail(GetLastError());
}

bool WindowsJournalFile::Replace(std::string_view contents)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return Fail(ERROR_INVALID_HANDLE);
    FileReplacement next(m_path);
    std::error_code error = next.Begin();
    // The new file is locked before it gets the name, so that no other copy can slip in between;
    // its handle becomes the append handle, so that nothing can fail once the move is done.
    if (!error && LockWriter(next.Handle()) != LockOutcome::Locked)
        error = LastWin32Error();
    if (!error)
        error = next.Write(contents);
    if (!error)
        error = next.Commit();
    if (error == std::error_code(ERROR_ACCESS_DENIED, std::system_category())
        || error == std::error_code(ERROR_SHARING_VIOLATION, std::system_category())) {
        // Windows before its POSIX rename semantics will not move a file over one that is open;
        // the old handle goes first, and comes back if the move still fails.
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        error = next.Commit();
        if (error) {
            HANDLE old = INVALID_HANDLE_VALUE;
            if (OpenLocked(old) == OpenStatus::Ok)
                m_file = old;
        }
    }
    if (error)
        return Fail(static_cast<unsigned long>(error.value()));
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = next.Release();
    return true;
}

bool WindowsJournalFile::WriteCopy(const std::filesystem::path& path, std::string_view contents)
{
    FileReplacement copy(path);
    std::error_code error = copy.Begin();
    if (!error)
        error = copy.Write(contents);
    if (!error)
        error = copy.Commit();
    return !error || Fail(static_cast<unsigned long>(error.value()));
}

void WindowsJournalFile::Close()
{
    if (m_file != INVALID_HANDLE_VALUE) {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
}
