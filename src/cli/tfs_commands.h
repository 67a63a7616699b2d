#pragma once
// The commands on raw NAND dumps (".tfr"): tfs decode and tfs ls.

#include <string>
#include <vector>

namespace brantle::cli {

bool IsTfsCommand(const std::vector<std::string>& args);
int RunTfsCommand(const std::vector<std::string>& args);
const char* TfsUsageText();

}  // namespace brantle::cli
