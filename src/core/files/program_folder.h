#pragma once
// The folder the running program lies in: its loaders, settings and language files
// are found beside it.

#include <string>

namespace brantle {

// "/opt/brantle/bin" for /opt/brantle/bin/brantle-cli; "" for a program in "/";
// "." when the system does not tell.
std::string ExecutableFolder();

// <prefix>/share/brantle for a program in <prefix>/bin, written without "..": the
// folder of an installed copy's data as messages name it ("/usr/share/brantle").
std::string InstalledDataFolder(const std::string& exeFolder);

}  // namespace brantle
