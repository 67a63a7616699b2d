#include "files/program_folder.h"

#include <unistd.h>

#include <filesystem>

namespace brantle {

std::string ExecutableFolder() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return ".";
  const std::string exe(buffer, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return exe.substr(0, slash);
}

std::string InstalledDataFolder(const std::string& exeFolder) {
  // The folder of the executable holds no symbolic links (the system resolved them),
  // so dropping "bin/.." names the same folder.
  return std::filesystem::path(exeFolder + "/../share/brantle").lexically_normal().string();
}

}  // namespace brantle
