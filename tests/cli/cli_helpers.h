#pragma once
// What the command-line tests share: the program under test.

#include <string>

namespace brantle::test {

inline const std::string kCli = std::string(BRANTLE_BIN_DIR) + "/brantle-cli";

// The text after the last line break before the end: the line a run ends with.
inline std::string LastLine(const std::string& text) {
  const std::string trimmed = text.substr(0, text.find_last_not_of("\r\n") + 1);
  const size_t start = trimmed.find_last_of("\r\n");
  return start == std::string::npos ? trimmed : trimmed.substr(start + 1);
}

}  // namespace brantle::test
