// FileStore on the local file system through the Win32 file calls.
#pragma once

#include "platform/file_store.h"

class WindowsFileStore final : public FileStore
{
public:
    std::optional<std::string> ReadContents(const std::filesystem::path& file) override;
    bool ReplaceContents(const std::filesystem::path& file, std::string_view contents) override;
};
