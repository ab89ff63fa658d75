// Finding text in the contacts book and reading the address under a double-click. Positions and
// lengths count UTF-16 units, as the editor does.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Lower case of one UTF-16 unit for the letters of the Latin, Greek and Cyrillic alphabets; other
// units come back unchanged. The length never changes, so positions in folded text are positions
// in the original.
char16_t FoldCase(char16_t c);

// Letters, digits and the underscore: what may not stand next to a whole-word match.
bool IsWordUnit(char16_t c);

struct SearchQuery
{
    std::u16string_view needle;
    bool wholeWords = false;
    bool ignoreMarks = false;  // "sliwa" finds "Śliwa" (and "śliwa" finds "sliwa")
};

// The first match that begins at or after `from`; nothing when there is none or the needle is
// empty. Case is ignored. There is no wrap-around.
std::optional<std::size_t> FindDown(std::u16string_view text, const SearchQuery& query, std::size_t from);
// The nearest match that ends at or before `to`, searching back to the beginning.
std::optional<std::size_t> FindUp(std::u16string_view text, const SearchQuery& query, std::size_t to);

// Where a further downward search starts for a selection at `selectionStart`: one past it, so
// that the current match is not found again. Only a bare caret at the very beginning starts at
// 0, so that a first search after opening finds a match at position 0, and a match there that is
// selected is stepped over like any other.
std::size_t NextSearchStart(std::size_t selectionStart, std::size_t selectionLength);

struct TextSpan
{
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextSpan&) const = default;
};

// The blank-delimited token around `at`: forward from `at` and then back from it, at most 100
// units each way; blanks, tabs, and line and paragraph ends delimit it.
TextSpan LinkTokenAt(std::u16string_view text, std::size_t at);

struct LinkTargets
{
    bool browser = false;  // begins with "HTTP:", "HTTPS:" or "WWW" in any case
    bool mail = false;     // contains "@"
};
LinkTargets ClassifyLinkToken(std::u16string_view token);

// What a double-click opens for a link of the text: a web address (http:, https:) in the browser,
// a mailto: address in the mail program, handed over without its "mailto:". Other addresses
// (files, other schemes) open nothing: the file, not the user, chose them.
struct LinkOpening
{
    bool browser = false;
    bool mail = false;
    std::string address;
    bool operator==(const LinkOpening&) const = default;
};
LinkOpening OpeningOfLink(std::string_view link);
