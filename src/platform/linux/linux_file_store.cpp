// Whole-file reads, and replacement through the write-sync-rename helper.
#include "platform/linux/linux_file_store.h"

#include "platform/linux/atomic_file.h"

#include <exception>
#include <fstream>
#include <iterator>

std::optional<std::string> LinuxFileStore::ReadContents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    try {
        // A folder opens like a file and only fails, with an exception, when it is read.
        std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad())
            return std::nullopt;
        return contents;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool LinuxFileStore::ReplaceContents(const std::filesystem::path& file, std::string_view contents)
{
    return WriteFileAtomically(file, contents);
}
