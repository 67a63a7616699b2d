#pragma once
// Display text of a language key. Until the language tables arrive this serves
// the built-in English texts of the keys the core uses; an unknown key returns
// the key itself so that a missing text shows up instead of an empty box.

#include <string>

namespace brantle {

std::string LangGet(const std::string& key);

}  // namespace brantle
