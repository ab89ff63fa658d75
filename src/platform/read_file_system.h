// What each system gives the one safe reader of whole files (read_file.cpp): opening a file,
// saying what it is, and reading it at an offset. The checks, the limit and the bounded read are
// the reader's, the same on every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <system_error>

class OpenedFile
{
public:
    virtual ~OpenedFile() = default;  // closes the file
    // Whether the file is a regular one and, if so, its size in bytes; an error when the system
    // could not say.
    virtual std::error_code Inspect(bool& regular, std::uint64_t& size) = 0;
    // Reads up to `count` bytes at `offset` into `buffer`; `got` 0 at the end of the file.
    virtual std::error_code ReadAt(std::uint64_t offset, char* buffer, std::size_t count, std::size_t& got) = 0;
};

// Opens `path` for reading without waiting on a writer; nullptr with `error` set when it cannot
// be opened (std::errc::no_such_file_or_directory when it is missing).
std::unique_ptr<OpenedFile> OpenForReading(const std::filesystem::path& path, std::error_code& error);

// Tells the system that the `size` bytes at `data`, about to be filled by reading, are one large
// buffer: on Linux it may then be backed by huge pages, a few hundred page faults for a big
// journal instead of tens of thousands. Nothing where the system offers nothing of the kind.
void AdviseLargeBuffer(char* data, std::size_t size);
