// Whole-file reads, and replacement through the write-sync-rename helper.
#include "platform/linux/linux_file_store.h"

#include "platform/linux/atomic_file.h"

#include <fstream>
#include <iterator>

std::optional<std::string> LinuxFileStore::ReadContents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return contents;
}

bool LinuxFileStore::ReplaceContents(const std::filesystem::path& file, std::string_view contents)
{
    return WriteFileAtomically(file, contents);
}
