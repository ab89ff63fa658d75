// Windows-1250 <-> UTF-8. The program keeps text in UTF-8; its files and built-in tables are
// Windows-1250, so every byte read or written passes through here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every byte maps to one character; the five bytes the code page leaves undefined map to the
// C1 control of the same number, as Windows does, so any file survives a round trip.
std::string Cp1250ToUtf8(std::string_view bytes);

// Characters the code page cannot hold, and malformed UTF-8, become '?'. When `lossy` is given
// it is set to whether that happened.
std::string Utf8ToCp1250(std::string_view text, bool* lossy = nullptr);

// The UTF-8 text with every character that Windows-1250 cannot hold replaced by '?', so that
// what a user sees before saving is exactly what the file will keep.
std::string MakeCp1250Safe(std::string_view text, bool* changed = nullptr);

// The characters of `text` that Windows-1250 cannot hold, each once, as UTF-8, in the order they
// first occur: what MakeCp1250Safe turns into '?'. Malformed UTF-8 counts as U+FFFD.
std::vector<std::string> UnstorableCharacters(std::string_view text);

// Whether `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong forms,
// no surrogates, nothing beyond U+10FFFF.
bool IsUtf8(std::string_view text);
// Decodes one UTF-8 character at `pos`, advancing it; returns U+FFFD for a malformed sequence
// (consuming one byte) so callers never loop forever.
char32_t NextCodePoint(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);
