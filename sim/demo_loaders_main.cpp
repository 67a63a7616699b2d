// brantle-demo-loaders FOLDER: writes the demo loader set for the virtual phone.
#include <cstdio>
#include <string>

#include "sim/demo_loaders.h"

namespace {

const char kUsage[] =
    "usage: brantle-demo-loaders FOLDER\n"
    "  Writes loader files of the right names and sizes into FOLDER (made if needed) for\n"
    "  the virtual phone. They are no real loaders: the program sends them only to a\n"
    "  pseudo-terminal, never to a phone.\n";

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc == 2 ? argv[1] : "";
  if (folder == "--help" || folder == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc != 2 || folder.empty() || folder[0] == '-') {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
  }
  std::string error;
  if (!brantle::sim::WriteDemoLoaders(folder, error)) {
    std::fprintf(stderr, "brantle-demo-loaders: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
