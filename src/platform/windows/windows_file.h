// Reading, writing and replacing files through the Win32 file calls, with the same guarantees as
// on Linux: a crash or a full disk never leaves a file half written, and nothing but a regular
// file (no device such as NUL or CON, no pipe, no folder) is ever read or written through.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include <windows.h>

// Win32 errors travel as ordinary error codes in the system category.
std::error_code LastWin32Error();

// Writes every byte, going on after short writes. False with GetLastError set; a write that makes
// no progress counts as a full disk.
bool WriteAll(HANDLE file, std::string_view bytes);

// The open file from its start, no further than `size` bytes (its size at the open, so that a
// file growing while it is read cannot make the read endless).
bool ReadFromStart(HANDLE file, std::uint64_t size, std::string& contents);

// True when the handle is a file on a disk, not a folder, a device or a pipe. Whole files by name
// are read with ReadFileSafely (read_file.h).
bool IsRegularFile(HANDLE file);

// Where crashed replacements of `target` left their new files: target + ".new" and
// target + ".new.XXXXXX". Only a writer that knows itself the only one (the notes file's lock
// holder) may remove them; for the rest they may be another writer's replacement in progress.
void RemoveStaleReplacements(const std::filesystem::path& target);

// Removes the new files that replacements of `target` left when they were killed: only regular
// files under its names (target + ".new.XXXXXX") that nobody holds open, as a running
// replacement holds its new file until it is moved into place.
void RemoveAbandonedReplacements(const std::filesystem::path& target);

// A new file written beside a target under a name of its own (target + ".new.XXXXXX", made
// exclusively) and then moved over it, so that a crash at any moment leaves either the whole old
// file or the whole new one, and two writers never write into one new file.
class FileReplacement
{
public:
    // Six characters for the new file's name, a fresh draw each call; random ones unless a test
    // wants to hold the name first.
    using NameSuffixes = std::function<std::wstring()>;

    explicit FileReplacement(std::filesystem::path target, NameSuffixes suffixes = {});
    // Removes the new file unless it was committed; closes it unless it was released.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the new file under a name nobody holds, so that nothing planted beside the target
    // is ever written through.
    std::error_code Begin();
    HANDLE Handle() const { return m_file; }
    std::error_code Write(std::string_view bytes);
    // Flushes the new file to the disk and moves it over the target, writing the move through.
    std::error_code Commit();
    // The new file's handle, now the caller's to close; for going on writing after Commit.
    HANDLE Release();

private:
    std::filesystem::path m_target;
    NameSuffixes m_suffixes;
    std::filesystem::path m_new;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_committed = false;
};

// Moves `from` over `to`, written through to the disk.
bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to);

// Replaces the file the user named for an export by `bytes`: `path` must be a regular file or
// nothing (looked at without following a link or junction), and its folder must be there already.
// std::errc::invalid_argument for a link, a device, a pipe or a folder under the name, which stay
// as they were; std::errc::not_a_directory for a missing folder. Empty on success.
std::error_code ExportFileContents(const std::filesystem::path& path, std::string_view bytes);

// Replaces the file at `path` by `bytes`, creating the folder when it is missing. Empty on success.
std::error_code ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);
