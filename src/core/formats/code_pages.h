#pragma once
// Single-byte code pages of Windows, DOS and the Macintosh: the encodings in which
// rich-text documents carry bytes above 0x7F.

#include <cstdint>

namespace brantle {

constexpr int kCodePageWindowsLatin = 1252;

// The Unicode code point of a byte. Bytes below 0x80 are ASCII in every page; U+FFFD
// where the page is not one of ours (double-byte Asian pages among them) or leaves
// the byte undefined.
uint32_t CodePageToUnicode(int codePage, uint8_t byte);

// The byte that stands for a character in Windows code page 1252, or -1 when the page
// has none.
int UnicodeToWindowsLatin(uint32_t codePoint);

}  // namespace brantle
