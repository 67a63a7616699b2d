#pragma once
// What the command-line tests share: the program under test.

#include <string>

namespace brantle::test {

inline const std::string kCli = std::string(BRANTLE_BIN_DIR) + "/brantle-cli";

}  // namespace brantle::test
