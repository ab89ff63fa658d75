// Reading and replacing whole files that the user edits as one piece, such as the contacts book.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_problem.h"
#include "platform/read_file.h"

struct FileRead
{
    enum class Status
    {
        Read,
        Missing,
        Failed  // there, but not to be read: no regular file, beyond the limit, no permission, I/O
    };
    Status status = Status::Missing;
    bool tooLarge = false;                    // Failed because the file is beyond the limit
    std::string contents;                     // empty unless Read
    FileProblem problem = FileProblem::None;  // why it was not Read
};

// A file on the disk through the safe reader, a missing file told from one that cannot be read:
// what every system's store does.
FileRead ReadStoredFile(const std::filesystem::path& file, std::uint64_t limit);

class FileStore
{
public:
    virtual ~FileStore() = default;
    // The whole file, at most `limit` bytes (read_file.h).
    virtual FileRead Read(const std::filesystem::path& file, std::uint64_t limit) = 0;
    // Writes a new file beside the old one, syncs it and puts it in the old one's place, so that a
    // failure or a crash leaves either the old contents or the new, never a mixture. False when
    // the contents could not be stored; the old file then stays as it was.
    bool ReplaceContents(const std::filesystem::path& file, std::string_view contents)
    {
        return Replace(file, contents) == FileProblem::None;
    }
    // The same, saying why it failed; None on success.
    virtual FileProblem Replace(const std::filesystem::path& file, std::string_view contents) = 0;
    // Writes a file the user named for an export, replacing it as ReplaceContents does, but only a
    // regular file or nothing: a link, a FIFO, a device or a folder under the name is refused and
    // left as it was (a link and what it points at), and no missing folder is made. New files
    // that an earlier export, killed, left beside the target are removed first. None on success.
    virtual FileProblem ExportContents(const std::filesystem::path& file, std::string_view contents) = 0;
    // Gives `from` the name `to` when nothing has that name yet; false otherwise, `from` unmoved.
    virtual bool RenameToFreeName(const std::filesystem::path& from, const std::filesystem::path& to) = 0;

    // A rich-text file as a whole; nothing when it is missing or cannot be read.
    std::optional<std::string> ReadContents(const std::filesystem::path& file)
    {
        FileRead read = Read(file, kRichTextLimit);
        if (read.status != FileRead::Status::Read)
            return std::nullopt;
        return std::move(read.contents);
    }
};
