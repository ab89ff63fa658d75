// Writing, flushing and replacing files through the Win32 file calls.
#include "platform/windows/windows_file.h"

#include <algorithm>

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

std::error_code LastWin32Error()
{
    return {static_cast<int>(GetLastError()), std::system_category()};
}

bool WriteAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool ReadFromStart(HANDLE file, std::uint64_t size, std::string& contents)
{
    contents.clear();
    contents.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < contents.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(done);
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(done) >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file, contents.data() + done, chunk, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            const DWORD saved = GetLastError();
            contents.clear();
            SetLastError(saved);
            return false;
        }
        if (got == 0)
            break;
        done += got;
    }
    contents.resize(done);
    return true;
}

bool IsRegularFile(HANDLE file)
{
    if (GetFileType(file) != FILE_TYPE_DISK)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileInformationByHandle(file, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::error_code ReadRegularFile(const std::filesystem::path& path, std::string& contents)
{
    contents.clear();
    // Folders open only with backup semantics, so one in the file's place fails here already.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return std::make_error_code(std::errc::no_such_file_or_directory);
        // A folder in the file's place is no more readable than a device.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::make_error_code(std::errc::invalid_argument);
        return {static_cast<int>(error), std::system_category()};
    }
    std::error_code error;
    LARGE_INTEGER size{};
    if (!IsRegularFile(file))
        error = std::make_error_code(std::errc::invalid_argument);
    else if (!GetFileSizeEx(file, &size) || !ReadFromStart(file, static_cast<std::uint64_t>(size.QuadPart), contents))
        error = LastWin32Error();
    CloseHandle(file);
    return error;
}

std::filesystem::path ReplacementFile(const std::filesystem::path& target)
{
    std::filesystem::path file = target;
    file += ".new";
    return file;
}

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

FileReplacement::FileReplacement(std::filesystem::path target)
    : m_target(std::move(target)), m_new(ReplacementFile(m_target))
{
}

FileReplacement::~FileReplacement()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    if (m_file != INVALID_HANDLE_VALUE && !m_committed)
        DeleteFileW(m_new.c_str());
}

std::error_code FileReplacement::Begin()
{
    if (!DeleteFileW(m_new.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return LastWin32Error();
    // CREATE_NEW: whatever got the name since the delete is not ours to write through. Shared for
    // deleting, so that the move can take the finished file while it is open; not opened for it,
    // or every later reader would have to share deleting too.
    m_file = CreateFileW(m_new.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE)
        return LastWin32Error();
    if (!IsRegularFile(m_file))
        return std::make_error_code(std::errc::invalid_argument);
    return {};
}

std::error_code FileReplacement::Write(std::string_view bytes)
{
    if (m_file == INVALID_HANDLE_VALUE)
        return std::make_error_code(std::errc::bad_file_descriptor);
    return WriteAll(m_file, bytes) ? std::error_code() : LastWin32Error();
}

std::error_code FileReplacement::Commit()
{
    if (m_file == INVALID_HANDLE_VALUE)
        return std::make_error_code(std::errc::bad_file_descriptor);
    if (!FlushFileBuffers(m_file) || !MoveOver(m_new, m_target))
        return LastWin32Error();
    m_committed = true;
    return {};
}

HANDLE FileReplacement::Release()
{
    const HANDLE file = m_file;
    m_file = INVALID_HANDLE_VALUE;
    return file;
}

std::error_code ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    std::error_code error;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        return error;
    // A folder or a device under the name is refused before anything is written beside it.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::make_error_code(std::errc::invalid_argument);
    FileReplacement replacement(path);
    if ((error = replacement.Begin()) || (error = replacement.Write(bytes)) || (error = replacement.Commit()))
        return error;
    return {};
}
