// What may stand in the place of a file the program reads, and must be refused at once: a FIFO
// (opening it would wait for a writer), a link to /dev/zero (endless) and a sparse file one byte
// over the reader's limit (huge to read, nothing on disk).
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

enum class HostileFile
{
    Fifo,
    Zero,
    Sparse
};
inline constexpr HostileFile kHostileFiles[] = {HostileFile::Fifo, HostileFile::Zero, HostileFile::Sparse};

inline const char* Name(HostileFile kind)
{
    return kind == HostileFile::Fifo ? "FIFO" : kind == HostileFile::Zero ? "/dev/zero" : "sparse file";
}

// Replaces whatever is at `file`; true when it could be made.
inline bool MakeHostileFile(const std::filesystem::path& file, HostileFile kind, std::uint64_t limit)
{
    std::error_code ec;
    std::filesystem::remove(file, ec);
    std::filesystem::create_directories(file.parent_path(), ec);
    switch (kind) {
    case HostileFile::Fifo:
        return ::mkfifo(file.c_str(), 0600) == 0;
    case HostileFile::Zero:
        std::filesystem::create_symlink("/dev/zero", file, ec);
        return !ec;
    case HostileFile::Sparse:
        std::ofstream(file).put('x');
        return ::truncate(file.c_str(), static_cast<off_t>(limit + 1)) == 0;
    }
    return false;
}
