#include "files/stand_in_loaders.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "engine/demo_loaders.h"
#include "engine/ktze_loaders.h"
#include "lang/fill_text.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

enum class Found { Real, Demo, Missing };

// Missing when any file cannot be sent (absent or of the wrong size), else Demo when
// any of them is a demo image.
Found LoadersIn(const std::string& folder, const std::vector<LoaderFile>& files) {
  Found found = Found::Real;
  for (const LoaderFile& file : files) {
    std::string image, error;
    if (!LoadLoader(folder, file, image, error)) return Found::Missing;
    if (IsDemoLoader(image)) found = Found::Demo;
  }
  return found;
}

std::string TemporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp == '/' ? tmp : "/tmp";
}

}  // namespace

StandInLoaders::~StandInLoaders() {
  if (made_.empty()) return;
  SetRunLoadersFolder("");
  std::error_code ignored;
  std::filesystem::remove_all(made_, ignored);
}

bool StandInLoaders::Prepare(const std::string& folder, const std::string& family,
                             const std::string& model, std::string& error) {
  const Found found = LoadersIn(folder, LoadersOfFamily(family, model));
  if (found == Found::Real) return true;
  lacking_ = folder;
  if (found == Found::Demo) return true;
  std::string pattern = TemporaryFolder() + "/brantle-loaders-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    error = "cannot create a folder for the stand-in loaders in " + TemporaryFolder() + ": " +
            std::strerror(errno);
    lacking_.clear();
    return false;
  }
  made_ = pattern;
  if (!WriteDemoLoaders(made_, error)) return false;
  SetRunLoadersFolder(made_);
  return true;
}

std::string StandInLoaders::Notice() const {
  return FillText(LangGet("Msg_Stand_In_Loaders"), {{"folder", lacking_}});
}

}  // namespace brantle
