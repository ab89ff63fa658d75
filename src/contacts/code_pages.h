// The single-byte code pages rich-text files use for their 8-bit text.
#pragma once

#include <cstdint>

// Windows code page of an RTF \fcharset value; 0 when the charset defers to the document's
// \ansicpg (ANSI and default charsets, and charsets this reader has no table for).
int CodePageOfCharset(int charset);

// The character of a byte in a code page. Windows-1250 and Windows-1252 are known; every other
// code page reads as Windows-1252, so that the text stays readable where it is Latin.
char32_t DecodeByte(int codePage, unsigned char byte);

// The Windows-1250 byte of a character, or -1 when the code page cannot hold it.
int EncodeCp1250(char32_t character);
