#include "engine/ktze_loaders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/opti_models.h"
#include "files/program_folder.h"

namespace brantle {
namespace {

const ELoaderSet kE700{{"e700_loader1.bin", 7169}, {"e700_loader2.bin", 29848}, 728};
const ELoaderSet kE800{{"e800_loader1.bin", 4548}, {"e800_loader2.bin", 32248}, 688};
const ELoaderSet kE330{{"e330_loader1.bin", 4568}, {"e330_loader2.bin", 32600}, 708};

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string& RunLoadersFolder() {
  static std::string folder;
  return folder;
}

}  // namespace

const char kDemoLoaderMarker[] =
    "BRANTLE DEMO LOADER - NOT A PHONE PROGRAM - FOR THE VIRTUAL PHONE ONLY";

const ELoaderSet& ELoaders(const std::string& engineFamily) {
  if (engineFamily == "E800") return kE800;
  if (engineFamily == "E330") return kE330;
  return kE700;
}

const std::vector<LoaderFile>& AllLoaderFiles() {
  static const std::vector<LoaderFile> files = [] {
    std::vector<LoaderFile> all = {kE700.first,  kE700.second, kE800.first,
                                   kE800.second, kE330.first,  kE330.second};
    for (const LoaderFile& f : OptiLoaderFiles()) all.push_back(f);
    return all;
  }();
  return files;
}

std::vector<LoaderFile> LoadersOfFamily(const std::string& family, const std::string& model) {
  if (family != "Opti") {
    // The S500 is booted as an E700.
    const ELoaderSet& set = ELoaders(family);
    return {set.first, set.second};
  }
  if (model.empty()) return OptiLoaderFiles();
  return {OptiModelByName(model).loader};
}

std::string LoadersFolderFor(const std::string& exeFolder, const std::string& envFolder) {
  if (!envFolder.empty()) return envFolder;
  const std::string beside = exeFolder + "/loaders";
  if (IsDirectory(beside)) return beside;
  const std::string shared = InstalledDataFolder(exeFolder) + "/loaders";
  return IsDirectory(shared) ? shared : beside;
}

void SetRunLoadersFolder(const std::string& folder) { RunLoadersFolder() = folder; }

std::string DefaultLoadersFolder() {
  if (!RunLoadersFolder().empty()) return RunLoadersFolder();
  const char* env = std::getenv("BRANTLE_LOADERS");
  return LoadersFolderFor(ExecutableFolder(), env ? env : "");
}

bool IsDemoLoader(const std::string& image) {
  return image.compare(0, sizeof kDemoLoaderMarker - 1, kDemoLoaderMarker) == 0;
}

bool LoadLoader(const std::string& folder, const LoaderFile& file, std::string& image,
                std::string& error) {
  const std::string path = folder + "/" + file.name;
  const std::string expected = " (expected " + std::to_string(file.size) + " bytes)";
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "loader file " + path + " not found" + expected;
    return false;
  }
  // Read at most one byte past the expected size: enough to know it is wrong.
  image.assign(file.size + 1, '\0');
  in.read(image.data(), static_cast<std::streamsize>(image.size()));
  const size_t got = static_cast<size_t>(in.gcount());
  if (got != file.size) {
    error = "loader file " + path + " has the wrong size" + expected;
    image.clear();
    return false;
  }
  image.resize(file.size);
  return true;
}

bool LoadLoaderToSend(const std::string& folder, const LoaderFile& file, bool pseudoTerminal,
                      std::string& image, std::string& error) {
  if (!LoadLoader(folder, file, image, error)) return false;
  if (pseudoTerminal || !IsDemoLoader(image)) return true;
  image.clear();
  error = "loader file " + folder + "/" + file.name +
          " is a demo loader for the virtual phone, not for a real phone; "
          "put the real loader files in " +
          folder;
  return false;
}

}  // namespace brantle
