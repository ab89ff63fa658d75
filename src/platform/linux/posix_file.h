// Writing and replacing files through POSIX calls, so that a crash, a full disk or a link planted
// beside a file never leaves it half written, moved or written through.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

// Writes every byte, going on after short writes and interruptions. False with errno set; a write
// that makes no progress counts as a full disk (ENOSPC).
bool WriteAll(int fd, std::string_view bytes);

// The file open at `fd` from its start, no further than `size` bytes (the size it had when opened,
// so that a file growing while it is read cannot make the read endless). False with errno set;
// ENOMEM when there is no memory for it. Whole files by name are read with ReadFileSafely.
bool ReadFromStart(int fd, std::uint64_t size, std::string& contents);

// Syncs the folder holding `path`: a new name or a rename reaches the disk only with its folder.
bool SyncDirectoryOf(const std::filesystem::path& path);

// The file a replacement of `path` puts in place: `path` with symbolic links followed, so that a
// file kept behind a link (say, in a synchronised folder) is replaced where it lives, and the link
// stays a link.
std::filesystem::path ReplacementTarget(const std::filesystem::path& path);

// Where crashed replacements of `target` left their new files: target + ".new" and
// target + ".new.XXXXXX". Only a writer that knows itself the only one (the notes file's lock
// holder) may remove them; for the rest they may be another writer's replacement in progress.
void RemoveStaleReplacements(const std::filesystem::path& target);

// Removes the new files that replacements of `target` left when they were killed: only those under
// its names (target + ".new.XXXXXX"), regular, ours, and held by no running replacement, which
// keeps its new file locked (flock) while it writes it.
void RemoveAbandonedReplacements(const std::filesystem::path& target);

// A new file written beside a target and then renamed over it, so that a crash at any moment
// leaves either the whole old file or the whole new one. Each replacement writes under a name of
// its own (target + ".new." and six random characters), so that two processes replacing one file
// at once (two users sharing a folder) never remove or write each other's new file: each
// replacement lands whole or fails cleanly, and a reader sees the old file or a new one, whole.
//
//     FileReplacement next(target);
//     if (auto error = next.Begin(); !error) error = next.Write(bytes); ... next.Commit();
class FileReplacement
{
public:
    // Six characters for the new file's name, a fresh draw each call; random ones unless a test
    // wants to hold the name first.
    using NameSuffixes = std::function<std::string()>;

    // `target` as ReplacementTarget gives it.
    explicit FileReplacement(std::filesystem::path target, NameSuffixes suffixes = {});
    // Removes the new file unless it was committed; closes it unless it was released.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the new file under a fresh name, exclusively and without following a link, so that a
    // link planted under its name is never written through; it gets the target's permissions, or
    // the default ones less the umask when there is no target yet.
    std::error_code Begin();
    int Descriptor() const { return m_fd; }
    std::error_code Write(std::string_view bytes);
    // Syncs the new file and renames it over the target. The folder is synced too, best effort:
    // the new file is in place by then, and a failure there is no reason to report one.
    std::error_code Commit();
    // The new file's descriptor, now the caller's to close; for going on writing after Commit.
    int Release();

private:
    std::filesystem::path m_target;
    NameSuffixes m_suffixes;
    std::filesystem::path m_new;
    int m_fd = -1;
    bool m_committed = false;
};

// Replaces the file the user named for an export by `bytes`: `path` must be a regular file or
// nothing (it is looked at without following a link), and its folder must be there already.
// std::errc::invalid_argument for a link, a FIFO, a device or a folder under the name, which stay
// as they were; the system's error otherwise. Empty on success.
std::error_code ExportFileContents(const std::filesystem::path& path, std::string_view bytes);

// Replaces the file at `path` (following links, keeping its permissions) by `bytes`, creating the
// folder when it is missing. Empty on success.
std::error_code ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);
