#include "files/app_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "files/program_folder.h"

namespace brantle {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool FolderWritable(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return (st.st_mode & 0222) != 0 && access(folder.c_str(), W_OK) == 0;
}

AppPaths FindAppPaths(const std::string& exeFolder, const std::string& xdgConfigHome,
                      const std::string& xdgDataHome, const std::string& home) {
  AppPaths paths;
  const std::string installedData = InstalledDataFolder(exeFolder);
  paths.Portable = !IsFolder(installedData) && FolderWritable(exeFolder);
  if (paths.Portable) {
    paths.SettingsFile = exeFolder + "/brntl.ini";
    paths.ShippedLanguages = exeFolder + "/language";
    return paths;
  }
  // Relative XDG values are to be ignored, as the base directory rules say.
  const std::string config =
      !xdgConfigHome.empty() && xdgConfigHome[0] == '/' ? xdgConfigHome : home + "/.config";
  const std::string data =
      !xdgDataHome.empty() && xdgDataHome[0] == '/' ? xdgDataHome : home + "/.local/share";
  paths.SettingsFile = config + "/brantle/brntl.ini";
  paths.ShippedLanguages = installedData + "/language";
  paths.UserLanguages = data + "/brantle/language";
  return paths;
}

AppPaths CurrentAppPaths() {
  return FindAppPaths(ExecutableFolder(), Env("XDG_CONFIG_HOME"), Env("XDG_DATA_HOME"),
                      Env("HOME"));
}

}  // namespace brantle
