#include "lang/fill_text.h"

namespace brantle {

std::string FillText(const std::string& text, std::initializer_list<TextValue> values) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    const size_t open = text.find('{', at);
    if (open == std::string::npos) break;
    const size_t close = text.find('}', open + 1);
    if (close == std::string::npos) break;
    const std::string_view name(text.data() + open + 1, close - open - 1);
    const TextValue* value = nullptr;
    for (const TextValue& v : values)
      if (v.first == name) value = &v;
    out.append(text, at, open - at);
    if (value) {
      out += value->second;
      at = close + 1;
    } else {
      out += '{';
      at = open + 1;
    }
  }
  out.append(text, at, std::string::npos);
  return out;
}

}  // namespace brantle
