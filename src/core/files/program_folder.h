#pragma once
// The folder the running program lies in: its loaders, settings and language files
// are found beside it.

#include <string>

namespace brantle {

// "/opt/brantle/bin" for /opt/brantle/bin/brantle-cli; "" for a program in "/";
// "." when the system does not tell.
std::string ExecutableFolder();

}  // namespace brantle
