// The program speaks UTF-8; Windows' own calls take UTF-16. Every name and path crosses here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Malformed UTF-8 becomes U+FFFD, as Windows' own conversion makes it.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
// A path as UTF-8, whatever code page the process runs in.
std::string PathUtf8(const std::filesystem::path& path);
// The system's text for an error number (GetLastError, Winsock's), without the line end.
std::string SystemErrorText(unsigned long error);
