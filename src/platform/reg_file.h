// Registry export files: the text form in which one or more registry keys and their values are
// saved and brought back, read in all three encodings such files come in and written as UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Registry value types by their system numbers; every other number is kept as raw bytes.
enum class RegType : std::uint32_t
{
    String = 1,
    Binary = 3,
    Dword = 4
};

struct RegValue
{
    std::uint32_t type = static_cast<std::uint32_t>(RegType::String);
    std::string text;                 // String: UTF-8
    std::uint32_t dword = 0;          // Dword
    std::vector<std::uint8_t> bytes;  // Binary and every type the program does not interpret

    static RegValue String(std::string_view text);
    static RegValue Dword(std::uint32_t value);
    static RegValue Binary(std::vector<std::uint8_t> bytes, std::uint32_t type = 3);
    bool operator==(const RegValue&) const = default;
};

// One key: its full path as it stands between the brackets ("HKEY_CURRENT_USER\Software\...")
// and its values in file order. Value names are matched exactly: the program always writes the
// same spelling, and a copy exported on Windows keeps it. The empty name is the key's default value.
struct RegKey
{
    std::string path;
    std::vector<std::pair<std::string, RegValue>> values;

    const RegValue* Find(std::string_view name) const;
    void Set(std::string_view name, RegValue value);  // replaces in place or appends
    bool Erase(std::string_view name);
    bool operator==(const RegKey&) const = default;
};

struct RegFile
{
    std::vector<RegKey> keys;

    // Key paths compare without regard to ASCII case, as the registry compares them.
    RegKey* FindKey(std::string_view path);
    const RegKey* FindKey(std::string_view path) const;
    // Removes the key and every key below it; false when there was none.
    bool EraseKey(std::string_view path);
    bool operator==(const RegFile&) const = default;
};

// Reads a registry export: "Windows Registry Editor Version 5.00" in UTF-16LE with a byte-order
// mark (as Windows writes it) or in UTF-8 (as this program writes it), or "REGEDIT4" in Windows-1250.
// nullopt when the first line is neither header: the file is not an export at all. Lines that
// cannot be read whole (a cut value, an unknown form, a stray character) are skipped, so a damaged
// file loses only the values on its damaged lines and never yields a shortened value in place of
// the real one. A later line for the same name wins; "name"=- and [-key] remove, as on import.
std::optional<RegFile> ParseRegFile(std::string_view bytes);

// The file as UTF-8 text with the 5.00 header and CR LF line ends. Strings holding a line break
// are written as hex(1) so that every line stays one value. False when a key path or value name
// holds a line break, which no line can carry (whatever ParseRegFile returns can be written);
// `out` is then left unspecified.
bool FormatRegFile(const RegFile& file, std::string& out);
