// UTF-16LE to and from UTF-8: surrogate pairs and the damage Windows files can carry.
#include "text/utf16.h"

#include <gtest/gtest.h>

TEST(Utf16, PolishTextAndSurrogatePairsRoundTrip)
{
    // "Łódź" and U+1F600, whose UTF-16 form is the pair D83D DE00.
    const std::string utf8 = "\xC5\x81\xC3\xB3"
                             "d\xC5\xBA\xF0\x9F\x98\x80";
    const std::string utf16("\x41\x01\xF3\x00\x64\x00\x7A\x01\x3D\xD8\x00\xDE", 12);
    EXPECT_EQ(Utf8ToUtf16Le(utf8), utf16);
    EXPECT_EQ(Utf16LeToUtf8(utf16), utf8);
}

TEST(Utf16, DamagedInputBecomesReplacementCharacters)
{
    const std::string replacement = "\xEF\xBF\xBD";
    // A high surrogate without its low half, a low one alone, and a cut last unit.
    EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8"
                                        "A\x00",
                                        4)),
              replacement + "A");
    EXPECT_EQ(Utf16LeToUtf8(std::string("\x00\xDE", 2)), replacement);
    EXPECT_EQ(Utf16LeToUtf8(std::string("A\x00\x42", 3)), "A");
    // A stray continuation byte in UTF-8.
    EXPECT_EQ(Utf8ToUtf16Le("\x80"), std::string("\xFD\xFF", 2));
}
