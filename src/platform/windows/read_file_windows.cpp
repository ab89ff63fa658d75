// Reading whole files through the Win32 file calls, with the guarantees of the Linux reader: a
// regular file only (no device such as NUL or CON, no pipe, no folder), never beyond its limit.
#include "platform/read_file.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <stdexcept>

std::error_code ReadFileSafely(const std::filesystem::path& path, std::uint64_t limit, std::string& contents)
{
    contents.clear();
    // Shared with writers, as the notes file is open for appending while the window runs.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return std::make_error_code(std::errc::no_such_file_or_directory);
        // A folder opens only with backup semantics; in the file's place it is no regular file.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::make_error_code(std::errc::invalid_argument);
        return {static_cast<int>(error), std::system_category()};
    }
    std::error_code error;
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info)
        || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        error = std::make_error_code(std::errc::invalid_argument);
    else if (!GetFileSizeEx(file, &size))
        error = {static_cast<int>(GetLastError()), std::system_category()};
    else if (static_cast<std::uint64_t>(size.QuadPart) > limit)
        error = std::make_error_code(std::errc::file_too_large);
    if (!error) {
        try {
            contents.resize(static_cast<std::size_t>(size.QuadPart));
        } catch (const std::bad_alloc&) {
            error = std::make_error_code(std::errc::not_enough_memory);
        } catch (const std::length_error&) {
            error = std::make_error_code(std::errc::not_enough_memory);
        }
    }
    // No further than the size at the open: a file growing meanwhile cannot make the read endless.
    std::size_t done = 0;
    while (!error && done < contents.size()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(done);
        at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(done) >> 32);
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size() - done, 1u << 30));
        if (!ReadFile(file, contents.data() + done, chunk, &got, &at)) {
            if (GetLastError() != ERROR_HANDLE_EOF)
                error = {static_cast<int>(GetLastError()), std::system_category()};
            break;
        }
        if (got == 0)
            break;
        done += got;
    }
    CloseHandle(file);
    if (error) {
        std::string().swap(contents);
        return error;
    }
    contents.resize(done);
    return {};
}
