// Whole files through the program's one Win32 file helper: regular files only, replaced by a new
// file that is flushed and moved over the old one.
#include "platform/windows/windows_file_store.h"

#include "platform/read_file.h"
#include "platform/windows/windows_file.h"

FileRead WindowsFileStore::Read(const std::filesystem::path& file, std::uint64_t limit)
{
    FileRead read;
    const std::error_code error = ReadFileSafely(file, limit, read.contents);
    if (!error)
        read.status = FileRead::Status::Read;
    else if (error != std::errc::no_such_file_or_directory)
        read.status = FileRead::Status::Failed;
    return read;
}

bool WindowsFileStore::ReplaceContents(const std::filesystem::path& file, std::string_view contents)
{
    return !ReplaceFileContents(file, contents);
}

bool WindowsFileStore::RenameToFreeName(const std::filesystem::path& from, const std::filesystem::path& to)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails when anything has the name already.
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}
