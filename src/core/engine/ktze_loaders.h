#pragma once
// Loader images: phone-side programs the engine uploads at connect time. They are
// not part of the program; they are read from the loaders folder under fixed
// names and checked against their known sizes.

#include <cstdint>
#include <string>
#include <vector>

namespace brantle {

struct LoaderFile {
  const char* name;  // file name inside the loaders folder
  uint32_t size;     // exact size in bytes
};

// E families: first and second loader of each protocol variant.
struct ELoaderSet {
  LoaderFile first;
  LoaderFile second;
  uint32_t patchOffset;  // where the first loader holds the second loader's size
};
const ELoaderSet& ELoaders(const std::string& engineFamily);  // "E700", "E800", "E330"

// Every loader file the program knows (for the demo set and for diagnostics).
const std::vector<LoaderFile>& AllLoaderFiles();

// The loader files a phone of family ("E700", "E800", "E330", "S500", "Opti") is
// sent: for "Opti" the one of model, or those of every model when model is empty.
std::vector<LoaderFile> LoadersOfFamily(const std::string& family, const std::string& model);

// The folder this run was given (SetRunLoadersFolder), else $BRANTLE_LOADERS, else
// <exe folder>/loaders, else <prefix>/share/brantle/loaders beside <prefix>/bin (the
// first that exists; the second when none does).
std::string DefaultLoadersFolder();
// The same for a given executable folder and value of $BRANTLE_LOADERS (empty: unset).
std::string LoadersFolderFor(const std::string& exeFolder, const std::string& envFolder);
// Makes folder the loaders folder of this run, ahead of every other (the stand-in
// demo set of --simulate); empty ends that.
void SetRunLoadersFolder(const std::string& folder);

// Text at the start of every demo loader file.
extern const char kDemoLoaderMarker[];
bool IsDemoLoader(const std::string& image);

// Reads folder/file.name and checks its size. On failure returns false and sets
// error to a message naming the file and the expected size.
bool LoadLoader(const std::string& folder, const LoaderFile& file, std::string& image,
                std::string& error);

// LoadLoader for an image about to be sent: a demo image is refused unless the line
// is a pseudo-terminal (the virtual phone), so it can never reach a real phone.
bool LoadLoaderToSend(const std::string& folder, const LoaderFile& file, bool pseudoTerminal,
                      std::string& image, std::string& error);

}  // namespace brantle
