#include "engine/text_fields.h"

namespace brantle {

int64_t HexToInt(const std::string& text) {
  if (text.size() >= 9) return -1;
  int64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      return -1;
    value = value * 16 + digit;
  }
  return value;
}

int64_t DecimalToInt(const std::string& text) {
  if (text.empty() || text.size() > 10) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

void NextField(std::string& text, std::string& field) {
  const size_t pos = text.find(';');
  if (pos == std::string::npos) {
    field = text;
    text.clear();
    return;
  }
  field = text.substr(0, pos);
  text.erase(0, pos + 1);
}

std::string HexByte(uint8_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  return {kDigits[value >> 4], kDigits[value & 15]};
}

}  // namespace brantle
