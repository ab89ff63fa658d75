// Code page tables for the RTF reader and writer; Windows-1250 comes from the program's codec.
#include "contacts/code_pages.h"

#include "text/cp1250.h"

#include <array>
#include <string>

namespace {

struct Cp1250Table
{
    std::array<char32_t, 256> decode{};
    Cp1250Table()
    {
        for (int b = 0; b < 256; ++b) {
            const std::string utf8 = Cp1250ToUtf8(std::string(1, static_cast<char>(b)));
            std::size_t pos = 0;
            decode[b] = NextCodePoint(utf8, pos);
        }
    }
};

const Cp1250Table& Table1250()
{
    static const Cp1250Table table;
    return table;
}

// Bytes 0x80..0x9F of Windows-1252; the rest of the page is Latin-1. The five undefined bytes
// keep the C1 control of their number, as in Windows-1250.
constexpr char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 238:  // Central European
        return 1250;
    case 0:  // ANSI: the document's code page
    case 1:  // default
        return 0;
    default:
        return 1252;
    }
}

char32_t DecodeByte(int codePage, unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (codePage == 1250)
        return Table1250().decode[byte];
    if (byte < 0xA0)
        return k1252High[byte - 0x80];
    return byte;
}

int EncodeCp1250(char32_t character)
{
    if (character < 0x80)
        return static_cast<int>(character);
    const auto& table = Table1250().decode;
    for (int b = 0x80; b < 256; ++b)
        if (table[b] == character)
            return b;
    return -1;
}
