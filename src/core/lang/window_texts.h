#pragma once
// Texts beyond the built-in message table: the window's captions that no message
// uses (tab names, field labels, the region buttons' captions, the About page; prefix
// "Win_") and messages added since the table was fixed. They are language keys like
// every other text, so a language file may translate them; a language that lacks one
// shows its English text, and language files are not completed with them. Numbers and
// names go in at named places ("{count}", see fill_text.h).

#include <array>
#include <cstddef>

#include "lang/lang_table.h"

namespace brantle {

constexpr size_t kWindowTextCount = 77;
extern const std::array<LangEntry, kWindowTextCount> kWindowTexts;

// The English caption of a window key, or nullptr for any other key.
const char* WindowTextFallback(const char* key);

}  // namespace brantle
