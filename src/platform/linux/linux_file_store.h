// FileStore on the local file system.
#pragma once

#include "platform/file_store.h"

class LinuxFileStore final : public FileStore
{
public:
    FileRead Read(const std::filesystem::path& file, std::uint64_t limit) override;
    FileProblem Replace(const std::filesystem::path& file, std::string_view contents) override;
    FileProblem ExportContents(const std::filesystem::path& file, std::string_view contents) override;
    bool RenameToFreeName(const std::filesystem::path& from, const std::filesystem::path& to) override;
};
