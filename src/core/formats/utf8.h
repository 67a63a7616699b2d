#pragma once
// UTF-8 encoding and decoding of single code points, for the text of comments.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brantle {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// Appends the UTF-8 form of a Unicode scalar value; surrogates and values beyond
// U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, uint32_t codePoint);

// The code point at text[i], advancing i past it. A byte that does not start a
// well-formed sequence stands for itself (Latin-1), so a comment file in that older
// encoding still reads as its author meant.
uint32_t NextCodePoint(std::string_view text, size_t& i);

}  // namespace brantle
