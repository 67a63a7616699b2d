// Feeds arbitrary text through the INI document that reads the settings and every
// language file a person may drop into the language folder: it may not crash, what it
// writes back must read to the same sections, keys and values, and a value written
// under a name it accepts must read back (line breaks become spaces).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/ini_document.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckSameEntries(const brantle::IniDocument& a, const brantle::IniDocument& b) {
  Check(a.Sections() == b.Sections());
  for (const std::string& section : a.Sections()) {
    Check(a.Keys(section) == b.Keys(section));
    for (const std::string& key : a.Keys(section))
      Check(a.Value(section, key) == b.Value(section, key));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using brantle::IniDocument;
  const std::string text(reinterpret_cast<const char*>(data), size);
  IniDocument document;
  document.Parse(text);
  if (document.Truncated()) return 0;

  IniDocument again;
  again.Parse(document.Serialize());
  CheckSameEntries(document, again);

  // The text split into a section, a key and a value to write.
  const size_t third = size / 3;
  const std::string section = text.substr(0, third);
  const std::string key = text.substr(third, third);
  const std::string value = text.substr(2 * third);
  if (document.WriteString(section, key, value)) {
    std::string expected;
    for (char c : value) expected += (c == '\r' || c == '\n') ? ' ' : c;
    // Values are read without their surrounding spaces and tabs.
    const size_t first = expected.find_first_not_of(" \t");
    expected = first == std::string::npos
                   ? std::string()
                   : expected.substr(first, expected.find_last_not_of(" \t") - first + 1);
    IniDocument written;
    written.Parse(document.Serialize());
    Check(written.ReadString(section, key, "\x01" "absent") == expected);
  }
  return 0;
}
