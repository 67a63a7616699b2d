#pragma once
// Seeds of the NAND decoder's fuzz target: small volumes of both layouts (3.03, and
// 3.12 with a rotated area), built by the virtual phone's volume builder, with nested
// folders, an empty folder and files of several sizes. Each comes with the tree it
// holds, so that a test can check that the decoder reads every seed whole.

#include <string>
#include <utility>
#include <vector>

namespace brantle::fuzz {

struct TfsSeed {
  std::string Name;
  std::string Input;  // the fuzz input (see tfs_fuzz_input.h)
  // What a dump gives: files by ascending path, directories in visiting order.
  std::vector<std::pair<std::string, std::string>> Files;
  std::vector<std::string> Directories;
};

std::vector<TfsSeed> TfsSeeds();

}  // namespace brantle::fuzz
