// The notes journal's file: whole reads, durable appends and atomic replacement.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

// One file, kept open for appending while the program runs. Every call reports failure by its
// result; LastError() then holds the system's reason for the user's message.
class JournalFile
{
public:
    enum class ReadStatus
    {
        Ok,
        Missing,
        Failed
    };
    enum class OpenStatus
    {
        Ok,
        Failed,
        HeldByAnother,
        TooLarge  // more than a journal can hold in memory (kNotesLimit)
    };

    virtual ~JournalFile() = default;

    // The whole file at `path` into `contents` (left empty unless Ok), for readers that never
    // write. Anything but a regular file is Failed, at once.
    virtual ReadStatus ReadAll(const std::filesystem::path& path, std::string& contents) = 0;
    // Opens `path` for appending at its end, creating it empty when it is missing, takes the
    // one-writer lock and only then reads the whole file into `contents`, so that nothing another
    // writer added before is missed. HeldByAnother when another writer holds the lock. A handle
    // that was open is closed first.
    virtual OpenStatus OpenAndRead(const std::filesystem::path& path, std::string& contents) = 0;
    virtual bool IsOpen() const = 0;
    // False when not every byte reached the file; part of them may have.
    virtual bool Append(std::string_view bytes) = 0;
    // Cuts the open file to `size` bytes, for dropping the torn tail of an interrupted append.
    virtual bool Truncate(std::uint64_t size) = 0;
    // Pushes everything appended so far to the disk itself, not only to the system's buffers.
    virtual bool Sync() = 0;
    // Replaces the open file by `contents` in one step: a crash at any moment leaves either the
    // whole old file or the whole new one. On success the append handle refers to the new file;
    // on failure the old file and its handle are untouched.
    virtual bool Replace(std::string_view contents) = 0;
    // Writes `contents` as the whole of another file, `path`, in one step as Replace does (a copy
    // of the journal kept beside it); an earlier file of that name is replaced.
    virtual bool WriteCopy(const std::filesystem::path& path, std::string_view contents) = 0;
    virtual void Close() = 0;
    virtual std::string LastError() const = 0;
};

// The reasons a journal file gives that are not the system's, the same on every system.
inline constexpr const char* kJournalNotRegular = "to nie jest zwykły plik";
inline constexpr const char* kJournalTooLarge = "większy niż 1 GB, więcej niż może mieć plik notatek";

// ReadAll as every system's journal file does it: the whole file read the safe way, at most
// kNotesLimit; on failure `lastError` says why, the system's own errors in `systemText`'s words.
JournalFile::ReadStatus ReadJournalFile(const std::filesystem::path& path, std::string& contents,
                                        std::string& lastError,
                                        const std::function<std::string(const std::error_code&)>& systemText);
