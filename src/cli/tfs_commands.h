#pragma once
// The commands on raw NAND dumps (".tfr"): tfs decode and tfs ls.

#include <string>
#include <vector>

namespace brantle::cli {

// "tfs decode" and "tfs ls"; the other tfs commands talk to a phone.
bool IsTfsCommand(const std::vector<std::string>& args);
int RunTfsCommand(const std::vector<std::string>& args);

}  // namespace brantle::cli
