#include "lang/lang_get.h"

#include <utility>

#include "lang/languages.h"

namespace brantle {

std::string LangGet(const std::string& key) {
  return CurrentLanguages().Get(key);
}

std::string LangGetFor(const std::string& key, size_t index) {
  return CurrentLanguages().GetFor(key, index);
}

void SetMissingKeyReporter(std::function<void(const std::string& message)> reporter) {
  CurrentLanguages().SetMissingKeyReporter(std::move(reporter));
}

}  // namespace brantle
