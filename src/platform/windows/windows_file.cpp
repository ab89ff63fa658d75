// Writing, flushing and replacing files through the Win32 file calls.
#include "platform/windows/windows_file.h"

#include <algorithm>
#include <iterator>
#include <random>

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

namespace {

std::filesystem::path NewFileName(const std::filesystem::path& target, std::wstring_view suffix)
{
    std::filesystem::path file = target;
    file += L".new";
    file += suffix;
    return file;
}

// Six characters that no other replacement, here or in another process, is likely to draw; the
// exclusive creation settles the rest.
std::wstring RandomLetters()
{
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random([] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device() ^ GetCurrentProcessId();
    }());
    std::wstring letters;
    for (int i = 0; i < 6; ++i)
        letters += kLetters[random() % (std::size(kLetters) - 1)];
    return letters;
}

}  // namespace

void RemoveStaleReplacements(const std::filesystem::path& target)
{
    DeleteFileW(NewFileName(target, L"").c_str());
    const std::wstring prefix = NewFileName(target, L".").filename().wstring();
    std::error_code ec;
    const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::wstring name = it->path().filename().wstring();
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            DeleteFileW(it->path().c_str());
    }
}

void RemoveAbandonedReplacements(const std::filesystem::path& target)
{
    const std::wstring prefix = NewFileName(target, L".").filename().wstring();
    std::error_code ec;
    const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::wstring name = it->path().filename().wstring();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        // Shared with nobody: a replacement still writing holds the file open, and this open
        // then fails. The link itself is opened, never what it points at.
        const HANDLE file = CreateFileW(it->path().c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        BY_HANDLE_FILE_INFORMATION info{};
        if (IsRegularFile(file) && GetFileInformationByHandle(file, &info)
            && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            FILE_DISPOSITION_INFO remove{};
            remove.DeleteFile = TRUE;
            SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove);
        }
        CloseHandle(file);
    }
}

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

FileReplacement::FileReplacement(std::filesystem::path target, NameSuffixes suffixes)
    : m_target(std::move(target)), m_suffixes(suffixes ? std::move(suffixes) : NameSuffixes(RandomLetters))
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
    // CREATE_NEW: a name somebody holds is never written through. Shared for deleting, so that the
    // move can take the finished file while it is open; not opened for it, or every later reader
    // would have to share deleting too.
    for (int attempt = 0; m_file == INVALID_HANDLE_VALUE; ++attempt) {
        m_new = NewFileName(m_target, L"." + m_suffixes());
        m_file = CreateFileW(m_new.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_file == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || attempt == 100))
            return LastWin32Error();
    }
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

namespace {

// Only a regular file or nothing may be replaced by an export: the name itself is looked at, a
// link or a junction is not followed, and a device name (NUL, COM1) opens as no disk file.
std::error_code CheckExportTarget(const std::filesystem::path& path)
{
    // The name's own attributes first: a link says it is one there on every file system.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES
        && (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return std::make_error_code(std::errc::invalid_argument);
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND)
            return {};
        if (error == ERROR_PATH_NOT_FOUND)
            return std::make_error_code(std::errc::not_a_directory);
        return {static_cast<int>(error), std::system_category()};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular = IsRegularFile(file) && GetFileInformationByHandle(file, &info)
                         && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    CloseHandle(file);
    return regular ? std::error_code() : std::make_error_code(std::errc::invalid_argument);
}

}  // namespace

std::error_code ExportFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    std::error_code error = CheckExportTarget(path);
    if (error)
        return error;
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    const DWORD folder = GetFileAttributesW(dir.c_str());
    if (folder == INVALID_FILE_ATTRIBUTES || !(folder & FILE_ATTRIBUTE_DIRECTORY))
        return std::make_error_code(std::errc::not_a_directory);
    RemoveAbandonedReplacements(path);
    FileReplacement replacement(path);
    if ((error = replacement.Begin()) || (error = replacement.Write(bytes)))
        return error;
    // Looked at again just before the move: what took the name meanwhile is not replaced either.
    if ((error = CheckExportTarget(path)) || (error = replacement.Commit()))
        return error;
    return {};
}
