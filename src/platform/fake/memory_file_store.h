// FileStore in memory, with failures on request.
#pragma once

#include "platform/file_store.h"

#include <map>

class MemoryFileStore final : public FileStore
{
public:
    std::optional<std::string> ReadContents(const std::filesystem::path& file) override
    {
        const auto found = files.find(file);
        if (failReads || found == files.end())
            return std::nullopt;
        return found->second;
    }
    bool ReplaceContents(const std::filesystem::path& file, std::string_view contents) override
    {
        ++writes;
        if (failWrites)
            return false;
        files[file] = std::string(contents);
        return true;
    }

    std::map<std::filesystem::path, std::string> files;
    bool failReads = false;
    bool failWrites = false;
    int writes = 0;  // attempts, failed ones included
};
