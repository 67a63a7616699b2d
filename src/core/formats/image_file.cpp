#include "formats/image_file.h"

#include "files/file_access.h"
#include "lang/lang_get.h"
#include "ui/ui.h"

namespace brantle {

bool ReadImageFile(Ui& ui, const std::string& fileName, const std::string& context,
                   std::string& image) {
  bool tooLarge = false;
  return ReadImageFileUpTo(ui, fileName, context, UINT64_MAX, image, tooLarge);
}

bool ReadImageFileUpTo(Ui& ui, const std::string& fileName, const std::string& context,
                       uint64_t maxSize, std::string& image, bool& tooLarge) {
  tooLarge = false;
  switch (ReadWholeFile(fileName, image, maxSize)) {
    case FileStatus::Ok:
      return true;
    case FileStatus::TooLarge:
      tooLarge = true;
      return false;
    case FileStatus::OpenFailed:
      ui.Error(context + " " + LangGet("Err_Open_File"));
      ui.ShowIdleState();
      return false;
    default:
      // A short read leaves the window as it is; the caller abandons its operation.
      ui.Error(context + " " + LangGet("Err_Read_File"));
      return false;
  }
}

bool WriteImageFile(Ui& ui, const std::string& fileName, const std::string& image,
                    const std::string& context) {
  if (ReplaceFileContents(fileName, image)) return true;
  ui.Error(context + " " + LangGet("Err_Create_File"));
  ui.ShowIdleState();
  return false;
}

}  // namespace brantle
