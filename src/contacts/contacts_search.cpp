// Case-insensitive search without wrap-around, and the address token and link rules.
#include "contacts/contacts_search.h"

#include "text/letter_fold.h"

#include <algorithm>

namespace {

constexpr std::size_t kMaxTokenReach = 100;

// One unit as the search compares it. A letter with marks becomes its plain letter, one unit for
// one, so that positions stay those of the text.
char16_t FoldUnit(char16_t c, bool ignoreMarks)
{
    if (ignoreMarks)
        if (const char base = BaseLetter(c))
            return static_cast<char16_t>(base);
    return FoldCase(c);
}

bool UnitsEqual(std::u16string_view text, std::size_t at, std::u16string_view needle, bool ignoreMarks)
{
    for (std::size_t i = 0; i < needle.size(); ++i)
        if (FoldUnit(text[at + i], ignoreMarks) != FoldUnit(needle[i], ignoreMarks))
            return false;
    return true;
}

bool IsMatchAt(std::u16string_view text, const SearchQuery& query, std::size_t at)
{
    if (!UnitsEqual(text, at, query.needle, query.ignoreMarks))
        return false;
    if (!query.wholeWords)
        return true;
    const std::size_t end = at + query.needle.size();
    return (at == 0 || !IsWordUnit(text[at - 1])) && (end == text.size() || !IsWordUnit(text[end]));
}

bool IsTokenEnd(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0x2028 || c == 0x2029 || c == 0x00A0;
}

}  // namespace

char16_t FoldCase(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 80);
    // Latin Extended-A pairs capital and small letter as even and odd, except in the two runs
    // where the pairs are shifted by one.
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130)
            return u'i';
        if (c == 0x178)
            return 0xFF;
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return c;
        if (oddPairs)
            return c % 2 == 1 ? static_cast<char16_t>(c + 1) : c;
        return c % 2 == 0 ? static_cast<char16_t>(c + 1) : c;
    }
    return c;
}

bool IsWordUnit(char16_t c)
{
    if (c < 0x80)
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
    if (c < 0xC0)
        return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c == 0xD7 || c == 0xF7)
        return false;
    // Punctuation, spaces and symbols of the general blocks are no part of a word; letters of
    // the other scripts are.
    return !(c >= 0x2000 && c <= 0x2BFF) && !(c >= 0x3000 && c <= 0x303F) && !(c >= 0xFE30 && c <= 0xFE6F)
           && !(c >= 0xFF00 && c <= 0xFF0F) && c != 0xFEFF;
}

std::optional<std::size_t> FindDown(std::u16string_view text, const SearchQuery& query, std::size_t from)
{
    if (query.needle.empty() || query.needle.size() > text.size())
        return std::nullopt;
    for (std::size_t at = from; at + query.needle.size() <= text.size(); ++at)
        if (IsMatchAt(text, query, at))
            return at;
    return std::nullopt;
}

std::optional<std::size_t> FindUp(std::u16string_view text, const SearchQuery& query, std::size_t to)
{
    if (query.needle.empty() || query.needle.size() > text.size())
        return std::nullopt;
    to = std::min(to, text.size());
    if (to < query.needle.size())
        return std::nullopt;
    for (std::size_t at = to - query.needle.size() + 1; at-- > 0;)
        if (IsMatchAt(text, query, at))
            return at;
    return std::nullopt;
}

std::size_t NextSearchStart(std::size_t selectionStart, std::size_t selectionLength)
{
    return selectionStart == 0 && selectionLength == 0 ? 0 : selectionStart + 1;
}

TextSpan LinkTokenAt(std::u16string_view text, std::size_t at)
{
    at = std::min(at, text.size());
    std::size_t end = at;
    for (std::size_t step = 0; step < kMaxTokenReach && end < text.size(); ++step) {
        if (IsTokenEnd(text[end]))
            break;
        ++end;
    }
    std::size_t start = at;
    for (std::size_t step = 0; step < kMaxTokenReach && start > 0; ++step) {
        if (IsTokenEnd(text[start - 1]))
            break;
        --start;
    }
    return {start, end - start};
}

LinkTargets ClassifyLinkToken(std::u16string_view token)
{
    const auto startsWith = [&](std::u16string_view prefix) {
        if (token.size() < prefix.size())
            return false;
        for (std::size_t i = 0; i < prefix.size(); ++i)
            if (FoldCase(token[i]) != FoldCase(prefix[i]))
                return false;
        return true;
    };
    return {startsWith(u"http:") || startsWith(u"https:") || startsWith(u"www"),
            token.find(u'@') != std::u16string_view::npos};
}

LinkOpening OpeningOfLink(std::string_view link)
{
    const auto startsWith = [&](std::string_view prefix) {
        return link.size() >= prefix.size()
               && std::equal(prefix.begin(), prefix.end(), link.begin(), [](char a, char b) {
                      return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
                  });
    };
    if (startsWith("http://") || startsWith("https://"))
        return {true, false, std::string(link)};
    if (startsWith("mailto:") && link.size() > 7)
        return {false, true, std::string(link.substr(7))};
    return {};
}
