// UTF-16LE <-> UTF-8, for files written by Windows programs.
#pragma once

#include <string>
#include <string_view>

// Unpaired surrogates and malformed UTF-8 become U+FFFD; a trailing odd byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);
std::string Utf8ToUtf16Le(std::string_view text);
