#pragma once
// Helpers for walking the ";"-separated rows of the chip tables.

#include <cstdint>
#include <string>

namespace brantle {

// Value of up to 8 hexadecimal digits (either case); -1 for a longer text or any
// other character; 0 for the empty text.
int64_t HexToInt(const std::string& text);

// Two upper-case hexadecimal digits, as flash IDs are shown.
std::string HexByte(uint8_t value);

// Value of a plain decimal number of up to 10 digits; -1 for anything else.
int64_t DecimalToInt(const std::string& text);

// Takes the text before the first ";" into field and removes it and the ";" from
// text; without a ";" the whole text becomes the field and text becomes empty.
void NextField(std::string& text, std::string& field);

}  // namespace brantle
