// Whole files through the program's one Win32 file helper: regular files only, replaced by a new
// file that is flushed and moved over the old one.
#include "platform/windows/windows_file_store.h"

#include "platform/windows/windows_file.h"

std::optional<std::string> WindowsFileStore::ReadContents(const std::filesystem::path& file)
{
    std::string contents;
    if (ReadRegularFile(file, contents))
        return std::nullopt;
    return contents;
}

bool WindowsFileStore::ReplaceContents(const std::filesystem::path& file, std::string_view contents)
{
    return !ReplaceFileContents(file, contents);
}
