#include "files/local_places.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace brantle {
namespace {

// /proc/self/mounts writes a blank in a path as \040.
std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string octal = field.substr(i + 1, 3);
      if (octal.size() == 3 &&
          std::all_of(octal.begin(), octal.end(), [](char c) { return c >= '0' && c <= '7'; })) {
        out += static_cast<char>(std::stoi(octal, nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool IsDrivePlace(const std::string& mountPoint) {
  for (const char* prefix : {"/media/", "/mnt/", "/run/media/"})
    if (mountPoint.rfind(prefix, 0) == 0) return true;
  return mountPoint == "/mnt";
}

}  // namespace

std::vector<std::string> LocalPlaces(const std::string& home, const std::string& mountsFile) {
  std::vector<std::string> places;
  const auto add = [&](const std::string& p) {
    if (!p.empty() && std::find(places.begin(), places.end(), p) == places.end())
      places.push_back(p);
  };
  add(home);
  add("/");
  std::ifstream mounts(mountsFile);
  std::string line;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string device, mountPoint;
    if (fields >> device >> mountPoint) {
      mountPoint = Unescape(mountPoint);
      if (IsDrivePlace(mountPoint)) add(mountPoint);
    }
  }
  return places;
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<FolderEntry> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    FolderEntry e;
    e.Name = it->path().filename().string();
    std::error_code statError;
    e.IsFolder = it->is_directory(statError);
    if (!e.IsFolder) {
      const uintmax_t size = it->file_size(statError);
      e.Size = statError ? 0 : static_cast<uint64_t>(size);
    }
    entries.push_back(std::move(e));
  }
  std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    if (a.IsFolder != b.IsFolder) return a.IsFolder;
    return a.Name < b.Name;
  });
  return entries;
}

}  // namespace brantle
