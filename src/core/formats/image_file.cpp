#include "formats/image_file.h"

#include <algorithm>

#include "dif/DIFCore.h"
#include "files/file_access.h"
#include "formats/input_file_problem.h"
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
      ui.Error(context + " " + OpenFailure(fileName));
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

bool WriteImageOfDif(Ui& ui, const std::string& fileName, TDIFFile& dif,
                     const std::string& context) {
  // Optimised, the data blocks are sorted and apart: gaps of 0xFF, then each block.
  OptimizeDIF(dif, ui);
  static const std::string kErased(65536, '\xFF');
  ReplacementFile file;
  bool ok = file.Open(fileName);
  uint64_t at = 0;
  for (const TDIFBlock& block : dif.Blocks) {
    if (!ok) break;
    if (block.Kind != "NORD") continue;
    for (uint64_t gap = NORAddress(block) - at; ok && gap > 0;) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(gap, kErased.size()));
      ok = file.Write(kErased.data(), n);
      gap -= n;
    }
    ok = ok && file.Write(NORDataBytes(block), NORDataLength(block));
    at = NORAddress(block) + uint64_t{NORDataLength(block)};
  }
  if (ok && file.Commit()) return true;
  ui.Error(context + " " + LangGet("Err_Create_File"));
  ui.ShowIdleState();
  return false;
}

}  // namespace brantle
