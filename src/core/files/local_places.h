#pragma once
// What the file manager's panes offer on this computer: the places to start from
// (the home folder, the root and the mounted drives) and a folder's entries with
// their sizes.

#include <cstdint>
#include <string>
#include <vector>

namespace brantle {

// The home folder (when known), "/", then every mount point of a removable or
// external file system (under /media, /mnt and /run/media), in that order, each once.
// mountsFile is /proc/self/mounts; a parameter so that a test can give its own.
std::vector<std::string> LocalPlaces(const std::string& home,
                                     const std::string& mountsFile = "/proc/self/mounts");

struct FolderEntry {
  std::string Name;
  bool IsFolder = false;
  uint64_t Size = 0;  // bytes; 0 for folders
};

// Folders first, then files, each sorted by name; "." and ".." left out. An
// unreadable folder lists nothing; entries that vanish while listed are skipped.
std::vector<FolderEntry> ListFolder(const std::string& folder);

}  // namespace brantle
