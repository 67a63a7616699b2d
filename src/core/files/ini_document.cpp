#include "files/ini_document.h"

#include <climits>
#include <cstdint>

namespace brantle {
namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool HasLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

bool ValidSectionName(const std::string& name) {
  return !name.empty() && name.find(']') == std::string::npos && !HasLineBreak(name);
}

bool ValidKey(const std::string& key) {
  return !key.empty() && key.find('=') == std::string::npos && key[0] != '[' && key[0] != ';' &&
         key[0] != '#' && !HasLineBreak(key);
}

// The section name of a header line ("[name]", blanks around allowed), or nothing.
std::optional<std::string> HeaderName(const std::string& trimmed) {
  if (trimmed.empty() || trimmed[0] != '[') return std::nullopt;
  const size_t close = trimmed.find(']');
  if (close == std::string::npos) return std::nullopt;
  std::string name = Trim(trimmed.substr(1, close - 1));
  if (name.empty()) return std::nullopt;
  return name;
}

bool ParseDecimal(const std::string& text, int& out) {
  const std::string digits = Trim(text);
  size_t i = 0;
  bool negative = false;
  if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) negative = digits[i++] == '-';
  if (i == digits.size()) return false;
  const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
  int64_t value = 0;
  for (; i < digits.size(); ++i) {
    if (digits[i] < '0' || digits[i] > '9') return false;
    value = value * 10 + (digits[i] - '0');
    if (value > limit) return false;
  }
  out = static_cast<int>(negative ? -value : value);
  return true;
}

}  // namespace

void IniDocument::Clear() {
  sections_.clear();
  index_.clear();
  lineBreak_ = "\n";
  byteOrderMark_ = false;
  truncated_ = false;
}

void IniDocument::Parse(const std::string& text) {
  Clear();
  size_t end = text.size();
  if (end > kMaxTextSize) {
    end = kMaxTextSize;
    truncated_ = true;
  }
  size_t pos = 0;
  if (text.compare(0, 3, kByteOrderMark) == 0) {
    byteOrderMark_ = true;
    pos = 3;
  }
  const size_t firstBreak = text.find_first_of("\r\n", pos);
  if (firstBreak != std::string::npos && firstBreak < end) {
    if (text[firstBreak] == '\n') {
      lineBreak_ = "\n";
    } else if (firstBreak + 1 < text.size() && text[firstBreak + 1] == '\n') {
      lineBreak_ = "\r\n";
    } else {
      lineBreak_ = "\r";
    }
  }

  Section* current = nullptr;
  size_t lines = 0;
  while (pos < end) {
    if (lines == kMaxLines) {
      truncated_ = true;
      break;
    }
    size_t stop = text.find_first_of("\r\n", pos);
    if (stop == std::string::npos || stop > end) stop = end;
    const size_t length = stop - pos;
    size_t next = stop;
    if (next < end)
      next += (text[next] == '\r' && next + 1 < end && text[next + 1] == '\n') ? 2 : 1;
    ++lines;
    if (length > kMaxLineLength) {
      truncated_ = true;
      pos = next;
      continue;
    }
    const std::string raw = text.substr(pos, length);
    pos = next;

    const std::string trimmed = Trim(raw);
    if (auto name = HeaderName(trimmed)) {
      current = FindSection(*name);
      if (current) {
        // A repeated header continues the first section; its line stays where it was.
        Line line;
        line.Text = raw;
        current->Lines.push_back(std::move(line));
      } else {
        current = &AddSection(*name);
        current->HeaderText = raw;
      }
      continue;
    }
    if (!current) {
      sections_.push_back(Section{"", false, {}, {}});
      current = &sections_.back();
    }
    Line line;
    line.Text = raw;
    const size_t equals = trimmed.find('=');
    if (equals != std::string::npos) {
      std::string key = Trim(trimmed.substr(0, equals));
      if (ValidKey(key)) {
        line.IsEntry = true;
        line.Key = std::move(key);
        line.Value = Trim(trimmed.substr(equals + 1));
      }
    }
    current->Lines.push_back(std::move(line));
  }
}

std::string IniDocument::Serialize() const {
  std::string out;
  if (byteOrderMark_) out += kByteOrderMark;
  for (const Section& section : sections_) {
    if (section.HasHeader)
      out +=
          (section.HeaderText.empty() ? "[" + section.Name + "]" : section.HeaderText) + lineBreak_;
    for (const Line& line : section.Lines) {
      out += line.Text.empty() && line.IsEntry ? line.Key + "=" + line.Value : line.Text;
      out += lineBreak_;
    }
  }
  return out;
}

IniDocument::Section& IniDocument::AddSection(const std::string& name) {
  index_[Lower(name)] = sections_.size();
  sections_.push_back(Section{name, true, {}, {}});
  return sections_.back();
}

const IniDocument::Section* IniDocument::FindSection(const std::string& name) const {
  const auto found = index_.find(Lower(name));
  return found == index_.end() ? nullptr : &sections_[found->second];
}

IniDocument::Section* IniDocument::FindSection(const std::string& name) {
  return const_cast<Section*>(static_cast<const IniDocument*>(this)->FindSection(name));
}

const IniDocument::Line* IniDocument::FindEntry(const Section& section, const std::string& key) {
  for (const Line& line : section.Lines) {
    if (line.IsEntry && SameName(line.Key, key)) return &line;
  }
  return nullptr;
}

bool IniDocument::HasSection(const std::string& section) const {
  return FindSection(Trim(section)) != nullptr;
}

bool IniDocument::HasKey(const std::string& section, const std::string& key) const {
  return Value(section, key).has_value();
}

std::optional<std::string> IniDocument::Value(const std::string& section,
                                              const std::string& key) const {
  const Section* found = FindSection(Trim(section));
  if (!found) return std::nullopt;
  const Line* line = FindEntry(*found, Trim(key));
  if (!line) return std::nullopt;
  return line->Value;
}

std::string IniDocument::ReadString(const std::string& section, const std::string& key,
                                    const std::string& fallback) const {
  auto value = Value(section, key);
  return value ? *value : fallback;
}

int IniDocument::ReadInteger(const std::string& section, const std::string& key,
                             int fallback) const {
  auto value = Value(section, key);
  int number = 0;
  return (value && ParseDecimal(*value, number)) ? number : fallback;
}

bool IniDocument::WriteString(const std::string& sectionName, const std::string& keyName,
                              const std::string& value) {
  const std::string name = Trim(sectionName);
  const std::string key = Trim(keyName);
  if (!ValidSectionName(name) || !ValidKey(key)) return false;
  std::string clean = value;
  for (char& c : clean) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  clean = Trim(clean);

  Section* section = FindSection(name);
  if (!section) section = &AddSection(name);
  for (Line& line : section->Lines) {
    if (line.IsEntry && SameName(line.Key, key)) {
      if (line.Value != clean) line.Text.clear();
      line.Value = std::move(clean);
      return true;
    }
  }
  // A new key goes after the section's last key, or else after its last comment, so
  // that the blank lines separating it from the next section stay at its end.
  size_t at = 0;
  for (size_t i = 0; i < section->Lines.size(); ++i) {
    const Line& line = section->Lines[i];
    if (line.IsEntry || !Trim(line.Text).empty()) at = i + 1;
  }
  Line line;
  line.IsEntry = true;
  line.Key = key;
  line.Value = std::move(clean);
  section->Lines.insert(section->Lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  return true;
}

bool IniDocument::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool IniDocument::DeleteKey(const std::string& sectionName, const std::string& key) {
  Section* section = FindSection(Trim(sectionName));
  if (!section) return false;
  const std::string wanted = Trim(key);
  for (auto it = section->Lines.begin(); it != section->Lines.end(); ++it) {
    if (it->IsEntry && SameName(it->Key, wanted)) {
      section->Lines.erase(it);
      return true;
    }
  }
  return false;
}

std::vector<std::string> IniDocument::Sections() const {
  std::vector<std::string> names;
  for (const Section& section : sections_) {
    if (section.HasHeader) names.push_back(section.Name);
  }
  return names;
}

std::vector<std::string> IniDocument::Keys(const std::string& sectionName) const {
  std::vector<std::string> keys;
  const Section* section = FindSection(Trim(sectionName));
  if (!section) return keys;
  std::unordered_map<std::string, bool> seen;
  for (const Line& line : section->Lines) {
    if (line.IsEntry && seen.emplace(Lower(line.Key), true).second) keys.push_back(line.Key);
  }
  return keys;
}

}  // namespace brantle
