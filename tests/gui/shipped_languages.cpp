#include "shipped_languages.h"

#include <filesystem>

#include "lang/languages.h"

namespace brantle::test {

namespace fs = std::filesystem;

bool LoadShippedLanguages(WindowRig& rig) {
  const fs::path folder = rig.dir.File("language");
  fs::create_directories(folder);
  int copied = 0;
  std::error_code error;
  for (const auto& entry :
       fs::directory_iterator(fs::path(BRANTLE_SOURCE_DIR) / "language", error)) {
    if (entry.path().extension() != ".lng") continue;
    fs::copy_file(entry.path(), folder / entry.path().filename(),
                  fs::copy_options::overwrite_existing);
    ++copied;
  }
  CurrentLanguages().Load(folder.string());
  return copied > 0;
}

int LanguageEntry(const std::string& code) {
  const Languages& languages = CurrentLanguages();
  for (size_t i = 0; i < languages.Count(); ++i)
    if (languages.Record(i).Code == code) return static_cast<int>(i);
  return -1;
}

void UnloadLanguages() {
  CurrentLanguages().Load();
}

}  // namespace brantle::test
