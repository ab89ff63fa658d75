// Whole files through the program's one POSIX file helper: regular files only, replaced by a new
// file that is synced and renamed over the old one.
#include "platform/linux/linux_file_store.h"

#include "platform/linux/posix_file.h"

std::optional<std::string> LinuxFileStore::ReadContents(const std::filesystem::path& file)
{
    std::string contents;
    if (ReadRegularFile(file, contents))
        return std::nullopt;
    return contents;
}

bool LinuxFileStore::ReplaceContents(const std::filesystem::path& file, std::string_view contents)
{
    return !ReplaceFileContents(file, contents);
}
