// What earlier imports wrote into the notes, so that importing a file again adds only what is new
// or changed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RememberedPiece
{
    std::string key;   // the day's key, as ImportedNote has it
    std::string text;  // UTF-8 as the notes file keeps it (MakeCp1250Safe)
};

struct RememberedEvent
{
    std::string hash;                     // of the event's days and texts, ImportedEventHash
    std::vector<RememberedPiece> pieces;  // what it wrote, a piece a day
};

// By the event's identity (ImportedNote::id).
using ImportMemory = std::map<std::string, RememberedEvent>;

// The memory beside the notes file: "dnz-import.txt" in its folder.
std::filesystem::path ImportMemoryPath(const std::filesystem::path& notesFile);
// Read no further than this; a larger memory is none.
constexpr std::size_t kMaxImportMemoryBytes = 64 * 1024 * 1024;

// The memory from its file's contents. A file that is damaged anywhere (no header, a line without
// its four fields, a broken escape) is nothing remembered: an import then only appends, as it
// would the first time, and the file is written anew afterwards.
ImportMemory ParseImportMemory(std::string_view contents);
// The file's contents: a header line, then a line a piece, "id TAB hash TAB key TAB text" in
// UTF-8, with backslash, tab, CR and LF escaped.
std::string FormatImportMemory(const ImportMemory& memory);

// A field of such a line: backslash, tab, CR and LF as "\\", "\t", "\r", "\n"; nothing for a broken escape.
std::string EscapeField(std::string_view text);
std::optional<std::string> UnescapeField(std::string_view text);
// The lines of such a file; nothing when it is cut off mid-line, as a whole file always ends
// with its line end.
std::optional<std::vector<std::string_view>> WholeLines(std::string_view contents);
// The line's tab-separated fields; nothing unless there are exactly `count`.
std::optional<std::vector<std::string_view>> SplitFields(std::string_view line, std::size_t count);

// A 64-bit FNV-1a hash of the bytes, as 16 hex digits: stable across systems and builds.
std::string ContentHash(std::string_view bytes);
