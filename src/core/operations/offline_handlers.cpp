#include "operations/offline_handlers.h"

#include <array>

#include "dif/DIFCore.h"
#include "formats/image_file.h"
#include "formats/s3_file.h"
#include "formats/s500_files.h"
#include "formats/tfs_pair.h"
#include "lang/lang_get.h"
#include "operations/dif_output.h"
#include "operations/offline_service.h"
#include "operations/operation_record.h"
#include "operations/output_kind.h"

namespace brantle {
namespace {

// The window is busy from the first file read to the end of the handler, however
// the handler ends.
class OperationScope {
 public:
  explicit OperationScope(OperationFrame& frame) : frame_(frame) { frame_.BeginOperation(); }
  ~OperationScope() { frame_.ShowIdleState(); }
  OperationScope(const OperationScope&) = delete;
  OperationScope& operator=(const OperationScope&) = delete;

 private:
  OperationFrame& frame_;
};

std::string OperationPrefix() {
  return LangGet("ErrC_Operation_Aborted");
}

// A file the handler wrote, into the operation log.
bool Wrote(OperationFrame& frame, const std::string& file) {
  frame.LogEvent("wrote " + file);
  return true;
}

// A DIF that is not compared from images has nothing to choose for comparison and
// reversal: only its comment and compression are asked for. The selectors are shown
// at their first entries on a copy, so the person's choices for creating DIFs from
// images are not lost to this use.
void AskCommentAndCompression(OperationFrame& frame, DifParametersDialog& parameters,
                              const char* captionKey) {
  DifParametersDialog shown = parameters;
  shown.Caption = LangGet(captionKey);
  shown.ComparisonEnabled = shown.ReversalEnabled = false;
  shown.CType = kComparisonBytewise;
  shown.RType = kReversalNone;
  frame.EditDifParameters(shown);
  parameters.Comment = shown.Comment;
  parameters.Compress = shown.Compress;
}

bool SaveWithParameters(OperationFrame& frame, TDIFFile& dif, const std::string& fileName,
                        const DifParametersDialog& parameters, const std::string& prefix) {
  return SaveOperationDif(frame, dif, fileName, parameters.Comment, parameters.Compress, prefix);
}

// The firmware of a conversion written as the target's name and filter decided.
bool WriteBinOrDif(OperationFrame& frame, TDIFFile& dif, const OutputChoice& target,
                   DifParametersDialog& parameters, bool freshComment) {
  if (!target.Dif) return SaveFirmware(frame, dif, target.FileName, FirmwareKind::Bin, {});
  if (freshComment) parameters.Comment.clear();
  AskCommentAndCompression(frame, parameters, "SCap_DIF_Create_Parameters");
  return SaveWithParameters(frame, dif, target.FileName, parameters, OperationPrefix());
}

// The source of the conversions from BIN/DIF: a DIF checked as one of ours, else a
// flat image as one block at 0.
bool LoadBinOrDif(OperationFrame& frame, const std::string& fileName, TDIFFile& dif) {
  return LoadFirmware(frame, fileName,
                      HasDifExtension(fileName) ? FirmwareKind::Dif : FirmwareKind::Bin, dif);
}

// The 2BIN+2OGM files in the order the dialogs ask for them.
constexpr std::array<S500Part, 4> kS500DialogOrder = {kS500Bin1, kS500Bin2, kS500Ogm1, kS500Ogm2};

}  // namespace

bool CreateDIFClick(OperationFrame& frame, TKTZDCF& dialog) {
  if (!dialog.Confirmed()) return false;
  const std::string prefix = LangGet("ErrC_DIF_Create_Aborted");
  DifParametersDialog& parameters = dialog.Parameters;
  // A selector the dialog disables counts as its first entry, even when the
  // parameters were last edited with other inputs.
  const CreateDifState state = dialog.State();
  const int cType = state.CTypeEnabled ? parameters.CType : kComparisonBytewise;
  const int rType = state.RTypeEnabled ? parameters.RType : kReversalNone;

  std::string from;
  for (const std::string& input : {dialog.BIN1(), dialog.BIN2(), dialog.TFS()})
    if (!input.empty()) from += (from.empty() ? "" : ", ") + input;
  if (!dialog.Merged().Blocks.empty())
    from += from.empty() ? "the DIFs merged" : ", the DIFs merged";
  const OperationRecord record(frame, "create DIF", "from " + from);
  OperationScope scope(frame);
  frame.StartPhase(0);
  TDIFFile dif, undo;
  const CreateDifSources sources{dialog.BIN1(),    dialog.BIN2(), dialog.TFS(),
                                 &dialog.Merged(), cType,         rType};
  if (!BuildCreatedDif(frame, sources, dif, undo)) return false;

  bool wrote = false;
  if (frame.SelectSaveFile("dif", "FF_DIF", "FF_DIFW_Caption", "CreateDIF_DIF", true)) {
    if (!SaveWithParameters(frame, dif, frame.FileName(), parameters, prefix)) return false;
    wrote = Wrote(frame, frame.FileName());
  }
  // The undo DIF is offered even when the patch itself was not saved.
  if (rType == kReversalSeparate &&
      frame.SelectSaveFile("dif", "FF_DIF", "FF_RDIFW_Caption", "CreateDIF_RDIF", true)) {
    const std::string undoName = frame.FileName();
    AskCommentAndCompression(frame, parameters, "SCap_RDIF_Create_Parameters");
    if (!SaveWithParameters(frame, undo, undoName, parameters, prefix)) return false;
    wrote = Wrote(frame, undoName);
  }
  return wrote;
}

bool UnpackDIFClick(OperationFrame& frame) {
  if (!frame.SelectOpenFiles("dif", "FF_DIF", "FF_DIFR_Caption", "ApplyDIF")) return false;
  std::string files;
  for (const std::string& file : frame.FileNames()) files += (files.empty() ? "" : ", ") + file;
  const OperationRecord record(frame, "apply DIF", files);
  TDIFFile merged;
  if (LoadAndMergeDIFs(merged, frame.FileNames(), frame) == 0 || merged.Blocks.empty())
    return false;
  bool wrote = false;
  // Applying to an existing image is the purpose here, so no overwrite question.
  if (HasBlockKind(merged, "NORD") &&
      frame.SelectSaveFile("bin", "FF_BIN", "FF_BINA_Caption", "ApplyDIF_BIN", false)) {
    OperationScope scope(frame);
    if (!ApplyToBinFile(frame, merged, frame.FileName())) return false;
    wrote = Wrote(frame, frame.FileName());
  }
  if (HasBlockKind(merged, "TFSF") &&
      frame.SelectSaveFile("tfs", "FF_TFS", "FF_TFSW_Caption", "ApplyDIF_TFS", true)) {
    if (!WriteTfsPair(frame, merged, frame.FileName(), nullptr)) return false;
    wrote = Wrote(frame, frame.FileName() + " with " + CfgNameFor(frame.FileName()));
  }
  return wrote;
}

bool S3toBDClick(OperationFrame& frame, DifParametersDialog& parameters) {
  if (!frame.SelectOpenFile("s3", "FF_S3", "FF_S3R_Caption", "OptiS3toBDSrc")) return false;
  const OperationRecord record(frame, "convert S3 to BIN/DIF", frame.FileName());
  OperationScope scope(frame);
  TDIFFile dif;
  if (!LoadFirmware(frame, frame.FileName(), FirmwareKind::S3, dif)) return false;
  if (!frame.SelectSaveFile("", "FF_BINDIFW", "FF_BINDIFW_Caption", "OptiS3toBDTgt", true))
    return false;
  return WriteBinOrDif(frame, dif, DecideOutputKind(frame.FileName(), frame.FilterIndex()),
                       parameters, false) &&
         Wrote(frame, frame.FileName());
}

bool S500toBDClick(OperationFrame& frame, DifParametersDialog& parameters) {
  // One open dialog per file of the set; a cancelled one leaves that part out.
  S500Names names;
  for (S500Part part : kS500DialogOrder) {
    const S500Dialog dialog = S500DialogOf(part, false);
    if (frame.SelectOpenFile(dialog.Ext, dialog.Filter, dialog.Title, "S500Pack_Src"))
      names[part] = frame.FileName();
  }
  const std::string stem = S500Stem("", names);
  if (stem.empty()) return false;

  std::string files;
  for (const std::string& name : names)
    if (!name.empty()) files += (files.empty() ? "" : ", ") + name;
  const OperationRecord record(frame, "convert BIN+OGM to BIN/DIF", files);
  OperationScope scope(frame);
  TDIFFile dif;
  if (!ReadS500Files(frame, dif, names)) return false;
  if (!frame.SelectSaveFile("bin", "FF_BIN", "FF_BINW_Caption", "S500Pack_TGT", true,
                            stem + ".bin"))
    return false;
  // The filter offers BIN files, then all files: a DIF only when the name asks for one.
  const int filter = frame.FilterIndex() == 1 ? kBinFilter : kAnyFilter;
  return WriteBinOrDif(frame, dif, DecideOutputKind(frame.FileName(), filter), parameters, true) &&
         Wrote(frame, frame.FileName());
}

bool BDtoS3Click(OperationFrame& frame) {
  if (!frame.SelectOpenFile("", "FF_BINDIF", "FF_BINDIF_Caption", "OptiBDToS3Src")) return false;
  const OperationRecord record(frame, "convert BIN/DIF to S3", frame.FileName());
  OperationScope scope(frame);
  TDIFFile dif;
  if (!LoadBinOrDif(frame, frame.FileName(), dif)) return false;
  if (!frame.SelectSaveFile("s3", "FF_S3", "FF_S3W_Caption", "OptiBDtoS3Tgt", true)) return false;
  return WriteS3File(frame, dif, frame.FileName(), OperationPrefix()) &&
         Wrote(frame, frame.FileName());
}

bool BDtoS500Click(OperationFrame& frame) {
  if (!frame.SelectOpenFile("", "FF_BINDIF", "FF_BINDIF_Caption", "S500Unpack_Src")) return false;
  const std::string source = frame.FileName();
  const OperationRecord record(frame, "convert BIN/DIF to BIN+OGM", source);
  OperationScope scope(frame);
  TDIFFile dif;
  if (!LoadBinOrDif(frame, source, dif)) return false;
  // A flat image holds 0xFF up to its end; a DIF's blocks already give the extents.
  const S500Images images = SplitS500(dif, !HasDifExtension(source));
  const S500Names proposed = S500ProposedNames(FileBaseName(source));

  bool wrote = false;
  for (S500Part part : kS500DialogOrder) {
    const S500Dialog dialog = S500DialogOf(part, true);
    if (!frame.SelectSaveFile(dialog.Ext, dialog.Filter, dialog.Title, "S500Unpack_Tgt", true,
                              proposed[part]))
      continue;
    if (!WriteImageFile(frame, frame.FileName(), images[part], OperationPrefix())) return false;
    wrote = Wrote(frame, frame.FileName());
  }
  return wrote;
}

}  // namespace brantle
