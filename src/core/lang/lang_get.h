#pragma once
// Display texts by language key, from the program's one language list (see
// languages.h): the shown language's text, or "- LNG RESOURCE NOT FOUND -" for a key
// it lacks. Before any language file is loaded the texts are the built-in English ones.

#include <cstddef>
#include <functional>
#include <string>

namespace brantle {

std::string LangGet(const std::string& key);

// The key's text in the language at index of the list; the shown language stays.
std::string LangGetFor(const std::string& key, size_t index);

// Receives the one-time message about each missing key; the front end sounds the
// error tone and shows it in an error box.
void SetMissingKeyReporter(std::function<void(const std::string& message)> reporter);

}  // namespace brantle
