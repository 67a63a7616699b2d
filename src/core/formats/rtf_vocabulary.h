#pragma once
// What the RTF reader knows of the format's control words beyond styles: the groups
// that hold no text, the kinds of underline, the words that stand for a character,
// and the code pages of the fonts' character sets.

#include <cstdint>
#include <string_view>

namespace brantle {

// A group whose first control word is this holds no document text (font and colour
// tables excepted: the reader reads those).
bool IsSkippedDestination(std::string_view word);

// \ul and its kinds (double, dotted, wave, words only, ...).
bool IsUnderlineWord(std::string_view word);

// The character a control word stands for (\line is U+2028, \tab and \cell are a
// tab, \emdash, \lquote, ...), or 0.
uint32_t CharacterOfWord(std::string_view word);

// The code page of a font's Windows character set (\fcharsetN); 0 where the font
// follows the document's code page (the ANSI and default sets, symbol fonts).
int CodePageOfCharset(int charset);

}  // namespace brantle
