// "dniarz --contacts": the contacts book as plain text for the usual text tools.
#pragma once

#include <filesystem>
#include <iosfwd>

// Writes "tel.rtf" of the program directory to `out` as UTF-8, one paragraph a line (a line break
// inside a paragraph starts a new line too; tabs stay). Returns the exit code: 0, or 1 after one
// line on `err` when the file is missing, unreadable or no rich text.
int PrintContacts(const std::filesystem::path& programDir, std::ostream& out, std::ostream& err);
