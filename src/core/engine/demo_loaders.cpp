#include "engine/demo_loaders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "engine/ktze_loaders.h"

namespace brantle {
namespace {

bool MakeFolders(const std::string& folder, std::string& error) {
  for (size_t pos = 1; pos <= folder.size(); ++pos) {
    if (pos != folder.size() && folder[pos] != '/') continue;
    const std::string part = folder.substr(0, pos);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
      error = "cannot create folder " + part + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

// Marker, file name, then a filler that differs per file so that a mixed-up
// upload shows in the virtual phone's checks.
std::string DemoImage(const LoaderFile& file) {
  std::string image = std::string(kDemoLoaderMarker) + "\n" + file.name + "\n";
  uint32_t x = 0x9E3779B9u ^ file.size;
  while (image.size() < file.size) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    image.push_back(static_cast<char>(x & 0xFF));
  }
  image.resize(file.size);
  return image;
}

}  // namespace

bool WriteDemoLoaders(const std::string& folder, std::string& error) {
  if (!MakeFolders(folder, error)) return false;
  for (const LoaderFile& file : AllLoaderFiles()) {
    const std::string path = folder + "/" + file.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string image = DemoImage(file);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    if (!out) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

}  // namespace brantle
