#include "platform/read_file.h"

#include "platform/file_store.h"
#include "platform/journal_file.h"

std::string ReadFailureText(const std::error_code& error)
{
    if (error == std::errc::invalid_argument)
        return "not a regular file";
    if (error == std::errc::file_too_large)
        return "file too large";
    if (error == std::errc::not_enough_memory)
        return "not enough memory";
    // A Windows "file not found" says it in the system's own language; the portable text reads
    // the same on every system.
    if (error == std::errc::no_such_file_or_directory)
        return std::make_error_code(std::errc::no_such_file_or_directory).message();
    return error.message();
}

FileRead ReadStoredFile(const std::filesystem::path& file, std::uint64_t limit)
{
    FileRead read;
    const std::error_code error = ReadFileSafely(file, limit, read.contents);
    if (!error)
        read.status = FileRead::Status::Read;
    else if (error != std::errc::no_such_file_or_directory)
        read.status = FileRead::Status::Failed;
    read.tooLarge = error == std::errc::file_too_large;
    return read;
}

JournalFile::ReadStatus ReadJournalFile(const std::filesystem::path& path, std::string& contents,
                                        std::string& lastError,
                                        const std::function<std::string(const std::error_code&)>& systemText)
{
    const std::error_code error = ReadFileSafely(path, kNotesLimit, contents);
    if (!error)
        return JournalFile::ReadStatus::Ok;
    if (error == std::errc::invalid_argument)
        lastError = kJournalNotRegular;
    else if (error == std::errc::file_too_large)
        lastError = kJournalTooLarge;
    else
        lastError = systemText(error);
    return error == std::errc::no_such_file_or_directory ? JournalFile::ReadStatus::Missing
                                                         : JournalFile::ReadStatus::Failed;
}
