// Opening, inspecting and reading files through the Win32 file calls, for the safe reader: no
// device such as NUL or CON, no pipe and no folder counts as a regular file.
#include "platform/read_file_system.h"

#include "platform/file_problem.h"

#include <windows.h>

#include <algorithm>

namespace {

class Win32OpenedFile final : public OpenedFile
{
public:
    explicit Win32OpenedFile(HANDLE file) : m_file(file) {}
    ~Win32OpenedFile() override { CloseHandle(m_file); }

    std::error_code Inspect(bool& regular, std::uint64_t& size) override
    {
        BY_HANDLE_FILE_INFORMATION info{};
        regular = GetFileType(m_file) == FILE_TYPE_DISK && GetFileInformationByHandle(m_file, &info)
                  && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        if (!regular)
            return {};
        LARGE_INTEGER bytes{};
        if (!GetFileSizeEx(m_file, &bytes))
            return {static_cast<int>(GetLastError()), std::system_category()};
        size = static_cast<std::uint64_t>(bytes.QuadPart);
        return {};
    }

    std::error_code ReadAt(std::uint64_t offset, char* buffer, std::size_t count, std::size_t& got) override
    {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        got = 0;
        if (!ReadFile(m_file, buffer, chunk, &read, &at)) {
            const DWORD code = GetLastError();
            return code == ERROR_HANDLE_EOF ? std::error_code()
                                            : std::error_code(static_cast<int>(code), std::system_category());
        }
        got = read;
        return {};
    }

private:
    HANDLE m_file;
};

}  // namespace

std::unique_ptr<OpenedFile> OpenForReading(const std::filesystem::path& path, std::error_code& error)
{
    // Shared with writers, as the notes file is open for appending while the window runs.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        return std::make_unique<Win32OpenedFile>(file);
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else {
        // A folder opens only with backup semantics; in the file's place it is no regular file.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        error = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? std::make_error_code(std::errc::invalid_argument)
                    : std::error_code(static_cast<int>(code), std::system_category());
    }
    return nullptr;
}

FileProblem SystemFileProblem(int code)
{
    switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND:
        return FileProblem::Missing;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return FileProblem::NoFolder;
    case ERROR_DIRECTORY:
    case ERROR_CANT_ACCESS_FILE:
    case ERROR_CANT_RESOLVE_FILENAME:
        return FileProblem::NotRegular;
    case ERROR_FILE_TOO_LARGE:
        return FileProblem::TooLarge;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileProblem::NoSpace;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return FileProblem::NoPermission;
    case ERROR_WRITE_PROTECT:
        return FileProblem::ReadOnly;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return FileProblem::NoMemory;
    default:
        return FileProblem::Other;
    }
}

void AdviseLargeBuffer(char*, std::size_t)
{
    // Large pages need a privilege a user's program does not have.
}
