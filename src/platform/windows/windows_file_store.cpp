// Whole files through the program's one Win32 file helper: regular files only, replaced by a new
// file that is flushed and moved over the old one.
#include "platform/windows/windows_file_store.h"

#include "platform/windows/windows_file.h"

FileRead WindowsFileStore::Read(const std::filesystem::path& file, std::uint64_t limit)
{
    return ReadStoredFile(file, limit);
}

FileProblem WindowsFileStore::Replace(const std::filesystem::path& file, std::string_view contents)
{
    return FileProblemOf(ReplaceFileContents(file, contents));
}

FileProblem WindowsFileStore::ExportContents(const std::filesystem::path& file, std::string_view contents)
{
    return FileProblemOf(ExportFileContents(file, contents));
}

bool WindowsFileStore::RenameToFreeName(const std::filesystem::path& from, const std::filesystem::path& to)
{
    // Without MOVEFILE_REPLACE_EXISTING the move fails when anything has the name already.
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}
