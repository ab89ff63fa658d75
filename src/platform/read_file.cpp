// The safe reader of whole files, over each system's open, inspect and read calls.
#include "platform/read_file.h"

#include "platform/file_problem.h"
#include "platform/file_store.h"
#include "platform/journal_file.h"
#include "platform/read_file_system.h"

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>

std::error_code ReadFileSafely(const std::filesystem::path& path, std::uint64_t limit, std::string& contents)
{
    contents.clear();
    std::error_code error;
    const std::unique_ptr<OpenedFile> file = OpenForReading(path, error);
    if (!file)
        return error;
    bool regular = false;
    std::uint64_t size = 0;
    if ((error = file->Inspect(regular, size)))
        return error;
    if (!regular)
        return std::make_error_code(std::errc::invalid_argument);
    if (size > limit)
        return std::make_error_code(std::errc::file_too_large);
    // Reserved, not sized: sizing would first write every byte as a zero, and a journal is read
    // by every run of the command line. Read through a small buffer that stays in the cache, no
    // further than the size at the open: a file growing meanwhile cannot make the read endless.
    constexpr std::uint64_t kChunk = 64 * 1024;
    std::unique_ptr<char[]> chunk;
    try {
        contents.reserve(static_cast<std::size_t>(size));
        chunk.reset(new char[static_cast<std::size_t>(std::min(size, kChunk))]);
        if (size >= 16 * kChunk)
            AdviseLargeBuffer(contents.data(), contents.capacity());
    } catch (const std::bad_alloc&) {
        return std::make_error_code(std::errc::not_enough_memory);
    } catch (const std::length_error&) {
        return std::make_error_code(std::errc::not_enough_memory);
    }
    std::uint64_t done = 0;
    while (done < size) {
        std::size_t got = 0;
        const auto want = static_cast<std::size_t>(std::min(size - done, kChunk));
        if ((error = file->ReadAt(done, chunk.get(), want, got))) {
            std::string().swap(contents);
            return error;
        }
        if (got == 0)
            break;
        contents.append(chunk.get(), got);
        done += got;
    }
    return {};
}

std::string ReadFailureText(const std::error_code& error)
{
    // The reasons the program knows are said in Polish, the same on every system; any other
    // follows as the system gives it.
    const FileProblem problem = FileProblemOf(error);
    return problem == FileProblem::Other ? error.message() : FileProblemText(problem);
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
    read.problem = FileProblemOf(error);
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
