#include "formats/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "formats/code_pages.h"
#include "formats/rtf_vocabulary.h"
#include "formats/utf8.h"

namespace brantle {
namespace {

enum class Destination { Body, Skipped, FontTable, ColorTable };

struct GroupState {
  Destination destination = Destination::Body;
  RtfStyle style;
  int font = 0;
  int fallbackLength = 1;  // \ucN: characters after each \uN for readers without Unicode
  bool hidden = false;     // \v
};

// Numbers are clamped far below what could overflow while they are read.
constexpr int64_t kNumberLimit = 2'000'000'000;
constexpr int kDefaultHalfPoints = 24;
constexpr int kMinHalfPoints = static_cast<int>(kRtfMinPointSize * 2);
constexpr int kMaxHalfPoints = static_cast<int>(kRtfMaxPointSize * 2);

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  explicit Reader(std::string_view rtf) : in_(rtf) { groups_.emplace_back(); }
  RtfDocument Read();

 private:
  GroupState& Group() { return groups_.back(); }
  void OpenGroup();
  void CloseGroup();
  void ReadControl();
  void Symbol(char c);
  void Word(std::string_view word, bool hasNumber, int32_t number);
  void BodyWord(std::string_view word, bool hasNumber, int32_t number);
  void FontTableWord(std::string_view word, int32_t number);
  void ColorTableWord(std::string_view word, int32_t number);
  void TextByte(uint8_t byte);
  bool InBody();
  void Emit(uint32_t codePoint);
  void Append(uint32_t codePoint);
  void FlushHighSurrogate();
  void EndParagraph();
  int CodePage() const;

  std::string_view in_;
  size_t at_ = 0;
  std::vector<GroupState> groups_;  // the state outside the document, then one per group
  size_t excessDepth_ = 0;          // groups open beyond the depth limit, skipped whole
  bool groupStart_ = false;         // nothing read yet in the group just opened
  int fallbackLeft_ = 0;            // characters of the last \uN's fallback still to skip
  uint32_t highSurrogate_ = 0;      // first half of a pair, waiting for the second

  int codePage_ = kCodePageWindowsLatin;
  int defaultFont_ = 0;
  std::map<int, int> fontCodePages_;
  int tableFont_ = 0;  // the font the font table describes at the moment
  std::vector<std::optional<RtfColor>> colors_;
  std::optional<RtfColor> tableColor_;  // the colour table's entry being read

  RtfParagraph paragraph_;
  RtfDocument document_;
};

RtfDocument Reader::Read() {
  while (at_ < in_.size()) {
    const char c = in_[at_++];
    if (c == '{') {
      OpenGroup();
    } else if (c == '}') {
      CloseGroup();
    } else if (c == '\\') {
      ReadControl();
    } else if (c != '\r' && c != '\n') {
      groupStart_ = false;
      TextByte(static_cast<uint8_t>(c));
    }
  }
  FlushHighSurrogate();
  if (!paragraph_.runs.empty()) document_.paragraphs.push_back(std::move(paragraph_));
  return std::move(document_);
}

void Reader::OpenGroup() {
  if (excessDepth_ > 0 || groups_.size() > kRtfMaxGroupDepth) {
    ++excessDepth_;
    return;
  }
  fallbackLeft_ = 0;
  groups_.push_back(groups_.back());
  groupStart_ = true;
}

void Reader::CloseGroup() {
  groupStart_ = false;
  if (excessDepth_ > 0) {
    --excessDepth_;
    return;
  }
  fallbackLeft_ = 0;
  // A closing brace too many (text after the document's end) is ignored.
  if (groups_.size() > 1) groups_.pop_back();
}

void Reader::ReadControl() {
  if (at_ >= in_.size()) return;  // cut off after the backslash
  if (!IsLetter(in_[at_])) {
    Symbol(in_[at_++]);
    return;
  }
  const size_t start = at_;
  while (at_ < in_.size() && IsLetter(in_[at_])) ++at_;
  const std::string_view word = in_.substr(start, at_ - start);
  const bool negative = at_ + 1 < in_.size() && in_[at_] == '-' && IsDigit(in_[at_ + 1]);
  if (negative) ++at_;
  bool hasNumber = false;
  int64_t value = 0;
  while (at_ < in_.size() && IsDigit(in_[at_])) {
    hasNumber = true;
    value = std::min(value * 10 + (in_[at_++] - '0'), kNumberLimit);
  }
  if (at_ < in_.size() && in_[at_] == ' ') ++at_;  // the space ends the word
  Word(word, hasNumber, static_cast<int32_t>(negative ? -value : value));
}

void Reader::Symbol(char c) {
  const bool first = groupStart_;
  groupStart_ = false;
  switch (c) {
    case '\'': {
      // Two hexadecimal digits; an escape with fewer stands for nothing.
      int value = 0;
      int digits = 0;
      for (; digits < 2 && at_ < in_.size() && HexValue(in_[at_]) >= 0; ++digits) {
        value = value * 16 + HexValue(in_[at_++]);
      }
      if (digits == 2) TextByte(static_cast<uint8_t>(value));
      return;
    }
    case '*':  // an optional destination: none of them is text
      if (first && excessDepth_ == 0) Group().destination = Destination::Skipped;
      return;
    case '\\':
    case '{':
    case '}':
      TextByte(static_cast<uint8_t>(c));
      return;
    case '~':
      if (InBody()) Emit(0x00A0);
      return;
    case '_':
      if (InBody()) Emit(0x2011);
      return;
    case '\r':
    case '\n':  // a backslash before a line break is a paragraph mark
      if (InBody()) EndParagraph();
      return;
    default:  // the optional hyphen and index marks: characters without text
      InBody();
      return;
  }
}

void Reader::Word(std::string_view word, bool hasNumber, int32_t number) {
  const bool first = groupStart_;
  groupStart_ = false;
  if (word == "bin") {  // raw bytes follow, whatever they look like
    const size_t length = hasNumber && number > 0 ? static_cast<size_t>(number) : 0;
    at_ += std::min(length, in_.size() - at_);
    return;
  }
  if (excessDepth_ > 0) return;
  GroupState& group = Group();
  if (first && group.destination != Destination::Skipped) {
    if (word == "fonttbl") {
      group.destination = Destination::FontTable;
      fontCodePages_.clear();
      tableFont_ = 0;
      return;
    }
    if (word == "colortbl") {
      group.destination = Destination::ColorTable;
      colors_.clear();
      tableColor_.reset();
      return;
    }
    if (IsSkippedDestination(word)) {
      group.destination = Destination::Skipped;
      return;
    }
  }
  switch (group.destination) {
    case Destination::FontTable:
      if (hasNumber) FontTableWord(word, number);
      return;
    case Destination::ColorTable:
      if (hasNumber) ColorTableWord(word, number);
      return;
    case Destination::Body:
      if (InBody()) BodyWord(word, hasNumber, number);
      return;
    case Destination::Skipped:
      return;
  }
}

void Reader::FontTableWord(std::string_view word, int32_t number) {
  if (word == "f") {
    tableFont_ = number;
  } else if (word == "fcharset") {
    fontCodePages_[tableFont_] = CodePageOfCharset(number);
  } else if (word == "cpg") {
    fontCodePages_[tableFont_] = number;
  }
}

void Reader::ColorTableWord(std::string_view word, int32_t number) {
  const auto component = static_cast<uint8_t>(std::clamp(number, 0, 255));
  RtfColor color = tableColor_.value_or(RtfColor{});
  if (word == "red") {
    color.red = component;
  } else if (word == "green") {
    color.green = component;
  } else if (word == "blue") {
    color.blue = component;
  } else {
    return;
  }
  tableColor_ = color;
}

void Reader::BodyWord(std::string_view word, bool hasNumber, int32_t number) {
  GroupState& group = Group();
  RtfStyle& style = group.style;
  const bool on = !hasNumber || number != 0;
  if (const uint32_t character = CharacterOfWord(word)) {
    Emit(character);
  } else if (word == "par" || word == "sect" || word == "page" || word == "row") {
    EndParagraph();
  } else if (word == "u" && hasNumber) {
    // A signed 16-bit number: negative values stand for U+8000..U+FFFF.
    const int64_t unit = number < 0 ? int64_t{number} + 65536 : number;
    Emit(unit >= 0 && unit <= 0xFFFF ? static_cast<uint32_t>(unit) : kReplacementCharacter);
    fallbackLeft_ = group.fallbackLength;
  } else if (word == "uc" && hasNumber) {
    group.fallbackLength = std::max(number, 0);
  } else if (word == "b") {
    style.bold = on;
  } else if (word == "i") {
    style.italic = on;
  } else if (word == "ulnone") {
    style.underline = false;
  } else if (IsUnderlineWord(word)) {
    style.underline = on;
  } else if (word == "fs") {
    const int halfPoints = hasNumber && number > 0
                               ? std::clamp(number, kMinHalfPoints, kMaxHalfPoints)
                               : kDefaultHalfPoints;
    style.pointSize = halfPoints / 2.0;
  } else if (word == "cf") {
    style.color = hasNumber && number >= 0 && static_cast<size_t>(number) < colors_.size()
                      ? colors_[number]
                      : std::nullopt;
  } else if (word == "f") {
    group.font = number;
  } else if (word == "plain") {
    style = RtfStyle{};
    group.font = defaultFont_;
    group.hidden = false;
  } else if (word == "v") {
    group.hidden = on;
  } else if (word == "ansi") {
    codePage_ = kCodePageWindowsLatin;
  } else if (word == "mac") {
    codePage_ = 10000;
  } else if (word == "pc") {
    codePage_ = 437;
  } else if (word == "pca") {
    codePage_ = 850;
  } else if (word == "ansicpg" && hasNumber) {
    codePage_ = number;
  } else if (word == "deff") {
    defaultFont_ = number;
    group.font = number;
  }
}

void Reader::TextByte(uint8_t byte) {
  if (excessDepth_ == 0 && Group().destination == Destination::ColorTable && byte == ';') {
    colors_.push_back(tableColor_);
    tableColor_.reset();
    return;
  }
  if (InBody()) Emit(CodePageToUnicode(CodePage(), byte));
}

// True when the token at hand is document text: not in a skipped, over-deep or table
// group, and not one of the characters that stand in for the last \uN.
bool Reader::InBody() {
  if (excessDepth_ > 0 || Group().destination != Destination::Body) return false;
  if (fallbackLeft_ > 0) {
    --fallbackLeft_;
    return false;
  }
  return true;
}

void Reader::Emit(uint32_t codePoint) {
  if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
    if (highSurrogate_ == 0) {
      codePoint = kReplacementCharacter;
    } else {
      codePoint = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (codePoint - 0xDC00);
      highSurrogate_ = 0;
    }
  } else {
    FlushHighSurrogate();
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
      highSurrogate_ = codePoint;
      return;
    }
  }
  Append(codePoint);
}

void Reader::Append(uint32_t codePoint) {
  // Control characters other than the tab are not text in RTF.
  if (Group().hidden || (codePoint < 0x20 && codePoint != '\t')) return;
  std::vector<RtfRun>& runs = paragraph_.runs;
  if (runs.empty() || !(runs.back().style == Group().style)) runs.push_back({{}, Group().style});
  AppendUtf8(runs.back().text, codePoint);
}

void Reader::FlushHighSurrogate() {
  if (highSurrogate_ == 0) return;
  highSurrogate_ = 0;
  Append(kReplacementCharacter);
}

void Reader::EndParagraph() {
  FlushHighSurrogate();
  document_.paragraphs.push_back(std::move(paragraph_));
  paragraph_ = RtfParagraph{};
}

int Reader::CodePage() const {
  const auto font = fontCodePages_.find(groups_.back().font);
  return font != fontCodePages_.end() && font->second > 0 ? font->second : codePage_;
}

}  // namespace

RtfDocument ReadRtf(std::string_view rtf) {
  return Reader(rtf).Read();
}

}  // namespace brantle
