// FileStore on the local file system through the Win32 file calls.
#pragma once

#include "platform/file_store.h"

class WindowsFileStore final : public FileStore
{
public:
    FileRead Read(const std::filesystem::path& file, std::uint64_t limit) override;
    FileProblem Replace(const std::filesystem::path& file, std::string_view contents) override;
    FileProblem ExportContents(const std::filesystem::path& file, std::string_view contents) override;
    bool RenameToFreeName(const std::filesystem::path& from, const std::filesystem::path& to) override;
};
