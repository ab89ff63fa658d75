// Paths as text. The program's strings are UTF-8 on every system, but std::filesystem reads and
// writes a narrow string in the C library's code page on Windows, where a Polish or Cyrillic
// folder name would come out garbled or make string() throw. Every crossing between a path and
// the program's text goes through these two.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

inline std::filesystem::path PathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string PathToUtf8(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
