#pragma once
// Where the program keeps its settings and finds its language files. A portable
// copy (a folder the person may write, without an installed data folder beside it)
// keeps everything beside the executable, as always. An installed copy keeps the
// settings under $XDG_CONFIG_HOME/brantle (~/.config/brantle), reads the language
// files it ships from <prefix>/share/brantle/language and the person's own from
// $XDG_DATA_HOME/brantle/language (~/.local/share/brantle/language), where it also
// writes the completed copies of files it cannot complete in place.

#include <string>

namespace brantle {

struct AppPaths {
  bool Portable = true;
  std::string SettingsFile;      // brntl.ini
  std::string ShippedLanguages;  // language files that come with the program
  std::string UserLanguages;     // empty for a portable copy
};

// exeFolder: the folder of the executable; the two XDG values and home as the
// environment gives them (empty when unset).
AppPaths FindAppPaths(const std::string& exeFolder, const std::string& xdgConfigHome,
                      const std::string& xdgDataHome, const std::string& home);
// The same from this process's executable and environment.
AppPaths CurrentAppPaths();

// True when the folder may be written: the system allows it and its mode has a
// write bit (so that a folder made read-only stays read-only for root as well).
bool FolderWritable(const std::string& folder);

}  // namespace brantle
