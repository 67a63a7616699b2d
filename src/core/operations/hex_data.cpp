#include "operations/hex_data.h"

#include <algorithm>

#include "formats/nor_regions.h"
#include "operations/operation_frame.h"

namespace brantle {
namespace {

std::string Trimmed(const std::string& text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t first = 0;
  size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string HexOf(int64_t value) {
  return RegionHex(static_cast<uint32_t>(value));
}

bool Separator(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0';
}

int Nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

int32_t TrimmedFieldValue(const std::string& text) {
  return FieldHexToInt(Trimmed(text));
}

BinOffsetView ApplyBinOffsetRule(bool haveFile, const std::string& binOffset,
                                 const std::string& phoneOffset, const std::string& length,
                                 uint64_t fileSize, uint32_t norTotal) {
  BinOffsetView view;
  if (!haveFile) {
    view.BinOffset = binOffset;
    view.PhoneOffset = phoneOffset;
    view.Length = length;
    return view;
  }
  view.FieldsEnabled = true;
  const int64_t s = static_cast<int64_t>(fileSize);
  const int64_t t = norTotal;
  int64_t b = TrimmedFieldValue(binOffset);
  int64_t p = TrimmedFieldValue(phoneOffset);
  int64_t n = TrimmedFieldValue(length);
  if (b < 0) b = 0;
  if (p < 0) p = 0;
  if (n < 0) n = s;
  if (b >= s) b = 0;
  if (p >= t) p = 0;
  if (b + n - 1 >= s) n = s - b;
  if (p + n - 1 >= t) n = t - p;
  view.BinOffset = HexOf(b);
  view.PhoneOffset = HexOf(p);
  view.Length = HexOf(n);
  if (n >= 1) {
    view.EndBinOffset = HexOf(b + n - 1);
    view.EndPhoneOffset = HexOf(p + n - 1);
    view.ActionEnabled = true;
  }
  return view;
}

bool ParseHexData(const std::string& text, std::string& bytes) {
  bytes.clear();
  size_t i = 0;
  while (i < text.size()) {
    if (Separator(text[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && Nibble(text[end]) >= 0) ++end;
    const size_t run = end - i;
    // Not a digit, or a digit left over after pairs: the whole text is refused.
    if (run == 0 || (run % 2 == 1 && run > 1) || (end < text.size() && !Separator(text[end]))) {
      bytes.clear();
      return false;
    }
    if (run == 1) bytes.push_back(static_cast<char>(Nibble(text[i])));
    for (size_t k = i; run > 1 && k < end; k += 2)
      bytes.push_back(static_cast<char>(Nibble(text[k]) << 4 | Nibble(text[k + 1])));
    i = end;
  }
  return true;
}

HexDataView ApplyHexDataRule(const std::string& editorText, const std::string& offsetText,
                             uint32_t norTotal) {
  HexDataView view;
  ParseHexData(editorText, view.Bytes);
  const int64_t count = static_cast<int64_t>(view.Bytes.size());
  const int64_t t = norTotal;
  const bool tooMany = count > t;
  view.Red = count == 0 || tooMany;
  view.ActionEnabled = !view.Red;
  int64_t offset = TrimmedFieldValue(offsetText);
  if (offset + count - 1 < t)
    offset = std::max<int64_t>(offset, 0);
  else
    offset = tooMany ? 0 : t - count;
  view.Offset = HexOf(offset);
  const int64_t last = offset + count - 1;
  view.EndOffset = last < 0 || tooMany ? "-" : HexOf(last);
  view.Length = HexOf(count);
  return view;
}

}  // namespace brantle
