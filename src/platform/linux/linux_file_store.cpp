// Whole files through the program's one POSIX file helper: regular files only, replaced by a new
// file that is synced and renamed over the old one.
#include "platform/linux/linux_file_store.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>

#include "platform/linux/posix_file.h"

FileRead LinuxFileStore::Read(const std::filesystem::path& file, std::uint64_t limit)
{
    return ReadStoredFile(file, limit);
}

FileProblem LinuxFileStore::Replace(const std::filesystem::path& file, std::string_view contents)
{
    return FileProblemOf(ReplaceFileContents(file, contents));
}

FileProblem LinuxFileStore::ExportContents(const std::filesystem::path& file, std::string_view contents)
{
    return FileProblemOf(ExportFileContents(file, contents));
}

bool LinuxFileStore::RenameToFreeName(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // File systems without the flag: a plain rename after a look, which another writer could
    // only race within the same instant.
    if (errno != EINVAL)
        return false;
    std::error_code ec;
    if (std::filesystem::symlink_status(to, ec).type() != std::filesystem::file_type::not_found)
        return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}
