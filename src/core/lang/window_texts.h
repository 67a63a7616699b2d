#pragma once
// Texts beyond the built-in message table: the window's captions that no message
// uses (tab names, field labels, the region buttons' captions, the About page; prefix
// "Win_") and messages added since the table was fixed. They are language keys like
// every other text: a language file translates them, and a file that lacks some is
// completed with their English texts as with the table's. Numbers and names go in at
// named places ("{count}", see fill_text.h).

#include <array>
#include <cstddef>

#include "lang/lang_table.h"

namespace brantle {

constexpr size_t kWindowTextCount = 116;
extern const std::array<LangEntry, kWindowTextCount> kWindowTexts;

}  // namespace brantle
