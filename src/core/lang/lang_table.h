#pragma once
// The built-in English table: every language key the program knows, with its English
// text, in the order language files are completed in. It is the first language record
// at start and the source from which every language file gains the keys it lacks.

#include <array>
#include <cstddef>

namespace brantle {

struct LangEntry {
  const char* Key;
  const char* Text;
};

constexpr size_t kEnglishTableSize = 276;
extern const std::array<LangEntry, kEnglishTableSize> kEnglishTable;

}  // namespace brantle
