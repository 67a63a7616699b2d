// brantle-demo-loaders FOLDER: writes the demo loader set for the virtual phone.
#include <cstdio>
#include <string>

#include "sim/demo_loaders.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: brantle-demo-loaders FOLDER\n");
    return 2;
  }
  std::string error;
  if (!brantle::sim::WriteDemoLoaders(argv[1], error)) {
    std::fprintf(stderr, "brantle-demo-loaders: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
