#include "operations/offline_service.h"

#include <sys/stat.h>

#include "formats/image_file.h"
#include "formats/nor_regions.h"
#include "formats/s3_file.h"
#include "formats/tfs_pair.h"
#include "lang/lang_get.h"
#include "operations/dif_output.h"

namespace brantle {
namespace {

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// A flat image covers the NOR only. A DIF whose data lies beyond the largest NOR
// would otherwise grow the image to gigabytes of 0xFF.
bool FitsNor(Ui& ui, const TDIFFile& dif, const std::string& prefix) {
  if (NORDataEnd(dif) <= kLargestNor) return true;
  ui.Error(prefix + " " + LangGet("DIF_Error_-2"));
  return false;
}

bool SaveDif(Ui& ui, TDIFFile& dif, const std::string& fileName, const TDIFCreationParams& params,
             const std::string& prefix) {
  return SaveOperationDif(ui, dif, fileName, params.Comment, params.Compress, prefix);
}

}  // namespace

bool HasBlockKind(const TDIFFile& dif, const char* kind) {
  for (const TDIFBlock& b : dif.Blocks)
    if (b.Kind == kind) return true;
  return false;
}

CreateDifState ComputeCreateDifState(bool haveOriginal, bool haveTarget, bool haveTfs,
                                     int mergedCount, bool reversalPresent, bool tfsPresent) {
  CreateDifState s;
  if (!haveOriginal) s.CTypeEnabled = s.RTypeEnabled = false;
  if (haveTarget) {
    s.CreateEnabled = true;
  } else if (mergedCount == 0) {
    s.CTypeEnabled = s.RTypeEnabled = false;
  }
  if (haveTfs) s.CreateEnabled = true;
  s.Summary = std::to_string(mergedCount) + " " + LangGet("DIF_Files_Selected");
  if (mergedCount > 0) {
    s.CreateEnabled = true;
    if (reversalPresent) {
      if (!haveTarget) s.RTypeEnabled = true;
      s.Summary += ", " + LangGet("Reversal_Possible");
    } else if (!haveOriginal) {
      s.RTypeEnabled = false;
    }
    if (tfsPresent) s.Summary += ", " + LangGet("TFS_Present");
  }
  return s;
}

bool BuildCreatedDif(Ui& ui, const CreateDifSources& s, TDIFFile& dif, TDIFFile& undo) {
  const std::string prefix = LangGet("ErrC_DIF_Create_Aborted");
  std::string original, target;
  if (!s.Original.empty() && !ReadImageFile(ui, s.Original, prefix, original)) return false;
  if (!s.Target.empty() && !ReadImageFile(ui, s.Target, prefix, target)) return false;

  ui.SetProgressRange(0, 0);
  if (!s.Target.empty()) {
    ui.SetProgressRange(0, static_cast<int64_t>(target.size()));
    ui.SetStatus(LangGet("SBar_BINDIF"));
    // The comparison always records what it replaces; the reversal choice decides
    // below where those blocks end up.
    if (s.CType == kComparison64K)
      Compare64K(original, target, dif, true, ui);
    else
      CompareBytewise(original, target, dif, "NORD", true, ui);
  }
  if (s.Merged != nullptr && !s.Merged->Blocks.empty()) {
    for (const TDIFBlock& block : s.Merged->Blocks) {
      if (block.Kind == "dIFC") continue;
      TDIFBlock& copy = dif.Blocks.emplace_back();
      TDIFFile::SetBlockKind(copy, block.Kind);
      copy.Data = block.Data;
    }
    // Merged patches without undo data get it from the original image.
    if (!HasBlockKind(*s.Merged, "nOrR") && !s.Original.empty() && s.RType != kReversalNone) {
      if (!FitsNor(ui, *s.Merged, prefix)) return false;
      TDIFFile merged = *s.Merged;  // applying optimises its input
      ApplyToImage(merged, original, &dif, ui);
    }
  }
  if (!s.Tfs.empty()) {
    TDIFFile files;
    if (!ReadTfsPair(ui, files, s.Tfs, nullptr)) return false;
    for (TDIFBlock& block : files.Blocks) dif.Blocks.push_back(std::move(block));
  }
  if (s.RType == kReversalSeparate) SplitOffReversal(dif, undo);
  return true;
}

bool CreateDif(Ui& ui, const CreateDifRequest& r, bool* undoWritten) {
  if (undoWritten) *undoWritten = false;
  const std::string prefix = LangGet("ErrC_DIF_Create_Aborted");
  TDIFFile merged;
  int mergedCount = 0;
  if (!r.Merge.empty()) {
    mergedCount = LoadAndMergeDIFs(merged, r.Merge, ui);
    if (merged.Blocks.empty()) mergedCount = 0;
  }
  const CreateDifState state =
      ComputeCreateDifState(!r.Original.empty(), !r.Target.empty(), !r.Tfs.empty(), mergedCount,
                            HasBlockKind(merged, "nOrR"), HasBlockKind(merged, "TFSF"));
  if (!state.CreateEnabled) return false;
  TDIFCreationParams params = r.Params;
  params.PrepareForShow(state.CTypeEnabled, state.RTypeEnabled);
  if (params.Comment.empty()) GetDIFComment(merged, params.Comment);

  TDIFFile dif, undo;
  const CreateDifSources sources{r.Original, r.Target, r.Tfs, &merged, params.CType, params.RType};
  if (!BuildCreatedDif(ui, sources, dif, undo)) return false;
  if (!SaveDif(ui, dif, r.Output, params, prefix)) return false;
  if (params.RType == kReversalSeparate && !r.UndoOutput.empty()) {
    TDIFCreationParams undoParams = r.UndoParams;
    undoParams.PrepareForShow(false, false);
    if (!SaveDif(ui, undo, r.UndoOutput, undoParams, prefix)) return false;
    if (undoWritten) *undoWritten = true;
  }
  return true;
}

bool ApplyToBinFile(Ui& ui, TDIFFile& merged, const std::string& binOut) {
  const std::string prefix = LangGet("ErrC_Operation_Aborted");
  std::string image;
  if (!FitsNor(ui, merged, prefix)) return false;
  if (FileExists(binOut) && !ReadImageFile(ui, binOut, prefix, image)) return false;
  ApplyToImage(merged, image, nullptr, ui);
  return WriteImageFile(ui, binOut, image, prefix);
}

int ApplyDifs(Ui& ui, const std::vector<std::string>& files, const std::string& binOut,
              const std::string& tfsOut) {
  TDIFFile merged;
  const int count = LoadAndMergeDIFs(merged, files, ui);
  if (count == 0 || merged.Blocks.empty()) return 0;
  bool ok = true;
  if (HasBlockKind(merged, "NORD") && !binOut.empty()) ok = ApplyToBinFile(ui, merged, binOut);
  if (HasBlockKind(merged, "TFSF") && !tfsOut.empty())
    ok = WriteTfsPair(ui, merged, tfsOut, nullptr) && ok;
  ui.ShowIdleState();
  return ok ? count : 0;
}

bool LoadFirmware(Ui& ui, const std::string& fileName, FirmwareKind kind, TDIFFile& dif) {
  const std::string prefix = LangGet("ErrC_Operation_Aborted");
  dif.Clear();
  switch (kind) {
    case FirmwareKind::S3:
      return ReadS3File(ui, fileName, prefix, dif);
    case FirmwareKind::Dif: {
      const int r = LoadCheckedDIF(fileName, dif);
      if (r != kDIFOk) ShowDIFError(ui, prefix, r, dif);
      return r == kDIFOk;
    }
    case FirmwareKind::Bin: {
      std::string image;
      if (!ReadImageFile(ui, fileName, prefix, image)) return false;
      dif.SetNORData(dif.AddBlock(), 0, image);
      return true;
    }
  }
  return false;
}

bool SaveFirmware(Ui& ui, TDIFFile& dif, const std::string& fileName, FirmwareKind kind,
                  const TDIFCreationParams& params) {
  const std::string prefix = LangGet("ErrC_Operation_Aborted");
  switch (kind) {
    case FirmwareKind::S3:
      return WriteS3File(ui, dif, fileName, prefix);
    case FirmwareKind::Dif:
      return SaveDif(ui, dif, fileName, params, prefix);
    case FirmwareKind::Bin:
      return FitsNor(ui, dif, prefix) && WriteImageOfDif(ui, fileName, dif, prefix);
  }
  return false;
}

bool SaveS500(Ui& ui, const TDIFFile& dif, bool fromImage, const S500Names& names) {
  const S500Images images = SplitS500(dif, fromImage);
  const std::string prefix = LangGet("ErrC_Operation_Aborted");
  for (size_t part = 0; part < names.size(); ++part) {
    if (names[part].empty()) continue;
    if (!WriteImageFile(ui, names[part], images[part], prefix)) return false;
  }
  return true;
}

}  // namespace brantle
