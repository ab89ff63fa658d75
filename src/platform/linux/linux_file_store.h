// FileStore on the local file system.
#pragma once

#include "platform/file_store.h"

class LinuxFileStore final : public FileStore
{
public:
    std::optional<std::string> ReadContents(const std::filesystem::path& file) override;
    bool ReplaceContents(const std::filesystem::path& file, std::string_view contents) override;
};
