#pragma once
// An INI document held in memory: the settings file and the language files are read
// into one, changed, and written back with their sections, keys, comments and blank
// lines in the order the file had them, so a person's edits survive a save.
//
// Lookup of section and key names ignores ASCII case, as INI files are commonly
// treated ("[settings]" and "[Settings]" are one section); the spelling first seen is
// the one written back. Bytes outside ASCII are compared exactly. Values are text;
// surrounding spaces and tabs of names and values are not part of them. Lines are
// written back exactly as they were read unless their value was changed.
//
// Parsing never fails: lines that are neither a section header nor key=value are kept
// as they are and written back unchanged. A repeated section header continues the
// first section of that name; a repeated key inside a section is kept in the text, but
// lookups and changes see only its first occurrence. Hostile input cannot make the
// document grow without bound: text beyond kMaxTextSize, lines longer than
// kMaxLineLength and lines beyond kMaxLines are dropped, and Truncated() reports it.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace brantle {

class IniDocument {
 public:
  // Far above any settings or language file (a full language table is some 30 KB).
  static constexpr size_t kMaxTextSize = 4u << 20;
  static constexpr size_t kMaxLineLength = 64u << 10;
  static constexpr size_t kMaxLines = 100000;

  // Replaces the contents with the document in text. A leading UTF-8 byte order mark
  // is skipped; lines may end in CR, LF or CR LF.
  void Parse(const std::string& text);
  // The document as text. Line breaks are those of the parsed text (the first one
  // found), LF for a document that had none; a byte order mark is written back only
  // if the parsed text began with one.
  std::string Serialize() const;
  void Clear();

  bool Truncated() const { return truncated_; }

  bool HasSection(const std::string& section) const;
  bool HasKey(const std::string& section, const std::string& key) const;
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // A decimal integer with an optional sign; anything else, and a value that does not
  // fit an int, gives fallback.
  int ReadInteger(const std::string& section, const std::string& key, int fallback) const;

  // Sets a value, adding the key after the section's last key (or the section at the
  // end of the document) when it is new. Refused (false) for names that could not be
  // read back: an empty key, a key with '=' or beginning with '[', ';' or '#', a
  // section name with ']', and any name with a line break. Line breaks in a value are
  // written as spaces so that the value stays on its line.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  bool DeleteKey(const std::string& section, const std::string& key);

  // Names in file order, in the spelling first seen.
  std::vector<std::string> Sections() const;
  std::vector<std::string> Keys(const std::string& section) const;

 private:
  struct Line {
    bool IsEntry = false;
    // The line as read; an entry written since has none and is written as Key=Value.
    std::string Text;
    std::string Key;
    std::string Value;
  };
  struct Section {
    std::string Name;
    bool HasHeader = true;   // false only for the lines before the first header
    std::string HeaderText;  // the header line as read; none for a section added
    std::vector<Line> Lines;
  };

  const Section* FindSection(const std::string& name) const;
  Section* FindSection(const std::string& name);
  static const Line* FindEntry(const Section& section, const std::string& key);

  Section& AddSection(const std::string& name);

  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> index_;  // lower-case name -> position
  std::string lineBreak_ = "\n";
  bool byteOrderMark_ = false;
  bool truncated_ = false;
};

}  // namespace brantle
