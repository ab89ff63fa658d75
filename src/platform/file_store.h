// Reading and replacing whole files that the user edits as one piece, such as the contacts book.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class FileStore
{
public:
    virtual ~FileStore() = default;
    // The whole file; empty when it is missing or cannot be read.
    virtual std::optional<std::string> ReadContents(const std::filesystem::path& file) = 0;
    // Writes a new file beside the old one, syncs it and puts it in the old one's place, so that a
    // failure or a crash leaves either the old contents or the new, never a mixture. False when
    // the contents could not be stored; the old file then stays as it was.
    virtual bool ReplaceContents(const std::filesystem::path& file, std::string_view contents) = 0;
};
