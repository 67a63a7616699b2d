#include "operations/flash_pages.h"

#include <algorithm>

#include "dif/DIFCore.h"
#include "files/file_access.h"
#include "formats/image_file.h"
#include "formats/input_file_problem.h"
#include "formats/nor_regions.h"
#include "formats/s3_file.h"
#include "lang/lang_get.h"
#include "operations/flash_workflow.h"
#include "operations/hex_data.h"
#include "operations/operation_record.h"
#include "operations/undo_offer.h"

namespace brantle {
namespace {

// No phone holds more than the largest NOR: a longer file cannot be flashed, and is
// refused before it is read into memory.
bool ReadFlashFile(Ui& ui, const std::string& fileName, std::string& bytes) {
  const std::string context = LangGet("ErrC_Flash_Aborted");
  bool tooLarge = false;
  if (ReadImageFileUpTo(ui, fileName, context, kLargestNor, bytes, tooLarge)) return true;
  if (tooLarge) {
    ui.Error(context + " " + LangGet("Msg_Beyond_NOR"));
    ui.ShowIdleState();
  }
  return false;
}

bool FlashFileError(Ui& ui, const std::string& detail) {
  ui.Error(LangGet("ErrC_Flash_Aborted") + " " + detail);
  return false;
}

// Moves the file to offset by reading past what lies before it.
bool SkipTo(InputFile& file, uint64_t offset) {
  std::string scratch(std::min<uint64_t>(offset, 0x10000), '\0');
  for (uint64_t left = offset; left > 0;) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(left, scratch.size()));
    if (!file.ReadExactly(&scratch[0], n)) return false;
    left -= n;
  }
  return true;
}

void FlashBuilt(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                const FlashUndoChoice& undo, const std::string& undoFolderKey) {
  if (!HasDataToFlash(image)) {
    frame.Message(MessageKind::Warning, LangGet("Msg_No_Data_To_Flash"), Buttons::Ok);
    return;
  }
  if (!undo.Make) {
    FlashImage(frame, driver, image, "NORD", nullptr, "nOrR", nullptr);
    return;
  }
  TDIFFile undoDif;
  // What was recorded is offered even after an error or a cancel: those bytes may
  // already be overwritten. An operation that recorded nothing has nothing to undo.
  FlashImage(frame, driver, image, "NORD", &undoDif, "NORD", nullptr);
  if (!undoDif.Blocks.empty()) OfferUndoDif(frame, undoDif, undoFolderKey, undo.Params);
}

}  // namespace

bool SourcesFilled(SourceNeed need, const std::vector<std::string>& fields) {
  const auto filled = [](const std::string& f) { return !f.empty(); };
  return need == SourceNeed::All ? std::all_of(fields.begin(), fields.end(), filled)
                                 : std::any_of(fields.begin(), fields.end(), filled);
}

bool HasDataToFlash(const TDIFFile& image) {
  return std::any_of(image.Blocks.begin(), image.Blocks.end(), [](const TDIFBlock& block) {
    return (block.Kind == "NORD" && NORDataLength(block) > 0) || block.Kind == "TFSF";
  });
}

bool BuildBinImage(Ui& ui, const std::string& fileName, TDIFFile& image) {
  std::string bytes;
  if (!ReadFlashFile(ui, fileName, bytes)) return false;
  image.SetNORData(image.AddBlock(), 0, bytes);
  return true;
}

bool BuildBinDiffImage(Ui& ui, const std::string& original, const std::string& target, int cType,
                       TDIFFile& image) {
  std::string before;
  std::string after;
  if (!ReadFlashFile(ui, original, before) || !ReadFlashFile(ui, target, after)) return false;
  if (cType == 1)
    Compare64K(before, after, image, false, ui);
  else
    CompareBytewise(before, after, image, "NORD", false, ui);
  return true;
}

bool BuildS3Image(Ui& ui, const std::string& fileName, TDIFFile& image) {
  return ReadS3File(ui, fileName, LangGet("ErrC_Operation_Aborted"), image);
}

bool BuildBinPartImage(Ui& ui, const BinPartFields& fields, TDIFFile& image) {
  const int32_t binOffset = TrimmedFieldValue(fields.BinOffset);
  const int32_t phoneOffset = TrimmedFieldValue(fields.PhoneOffset);
  const int32_t length = TrimmedFieldValue(fields.Length);
  InputFile file;
  if (!file.Open(fields.FileName)) return FlashFileError(ui, OpenFailure(fields.FileName));
  // Fields the page rule did not clean up (negative, or past the file's end) leave
  // fewer bytes than asked for; nothing larger than the file is ever allocated.
  const uint64_t start = static_cast<uint32_t>(binOffset);
  const uint64_t count = static_cast<uint32_t>(length);
  if (binOffset < 0 || length < 0 || start + count > file.Size())
    return FlashFileError(ui, LangGet("Err_Read_File"));
  std::string bytes(static_cast<size_t>(count), '\0');
  if (!SkipTo(file, start) || !file.ReadExactly(&bytes[0], bytes.size()))
    return FlashFileError(ui, LangGet("Err_Read_File"));
  image.SetNORData(image.AddBlock(), static_cast<uint32_t>(phoneOffset), bytes);
  return true;
}

void BuildHexImage(const std::string& offsetText, const std::string& bytes, TDIFFile& image) {
  image.SetNORData(image.AddBlock(), static_cast<uint32_t>(TrimmedFieldValue(offsetText)), bytes);
}

void RunFlashPage(OperationFrame& frame, ConnectDriver& driver, const FlashPageRun& run,
                  const ImageBuilder& build, const FlashUndoChoice& undo) {
  const OperationRecord record(frame, run.Name, run.Source, PhoneWrites::Yes);
  if (run.BeginOperation) frame.BeginOperation();
  TDIFFile image;
  if (build(frame, image)) FlashBuilt(frame, driver, image, undo, run.UndoFolderKey);
  frame.ShowIdleState();
}

void FlashBinPage(OperationFrame& frame, ConnectDriver& driver, const std::string& fileName,
                  const FlashUndoChoice& undo) {
  RunFlashPage(
      frame, driver, {true, "FlashBIN_Undo", "flash BIN", fileName},
      [&](Ui& ui, TDIFFile& image) { return BuildBinImage(ui, fileName, image); }, undo);
}

void FlashBinDiffPage(OperationFrame& frame, ConnectDriver& driver, const std::string& original,
                      const std::string& target, int cType, const FlashUndoChoice& undo) {
  RunFlashPage(
      frame, driver,
      {true, "FlashBINDIF_Undo", "flash BIN differences",
       "what " + target + " changes against " + original + (cType == 1 ? " (64K blocks)" : "")},
      [&](Ui& ui, TDIFFile& image) {
        return BuildBinDiffImage(ui, original, target, cType, image);
      },
      undo);
}

void FlashS500Page(OperationFrame& frame, ConnectDriver& driver, const S500Names& names,
                   const FlashUndoChoice& undo) {
  std::string files;
  for (const std::string& name : names)
    if (!name.empty()) files += (files.empty() ? "" : ", ") + name;
  // FlashImage begins the operation itself.
  RunFlashPage(
      frame, driver, {false, "FlashS500_Undo", "flash 2BIN+2OGM", files},
      [&](Ui& ui, TDIFFile& image) { return ReadS500Files(ui, image, names); }, undo);
}

void FlashS3Page(OperationFrame& frame, ConnectDriver& driver, const std::string& fileName,
                 const FlashUndoChoice& undo) {
  RunFlashPage(
      frame, driver, {true, "FlashS3_Undo", "flash S3", fileName},
      [&](Ui& ui, TDIFFile& image) { return BuildS3Image(ui, fileName, image); }, undo);
}

void FlashBinPartPage(OperationFrame& frame, ConnectDriver& driver, const BinPartFields& fields,
                      const FlashUndoChoice& undo) {
  RunFlashPage(
      frame, driver,
      {true, "FlashBINOffset_Undo", "flash BIN part",
       fields.FileName + " from " + fields.BinOffset + ", " + fields.Length + " bytes (hex) at " +
           fields.PhoneOffset},
      [&](Ui& ui, TDIFFile& image) { return BuildBinPartImage(ui, fields, image); }, undo);
}

void FlashHexPage(OperationFrame& frame, ConnectDriver& driver, const std::string& offsetText,
                  const std::string& bytes, const FlashUndoChoice& undo) {
  RunFlashPage(
      frame, driver,
      {true, "FlashHex_Undo", "flash hex data",
       std::to_string(bytes.size()) + " bytes at " + offsetText},
      [&](Ui&, TDIFFile& image) {
        BuildHexImage(offsetText, bytes, image);
        return true;
      },
      undo);
}

void FlashDifPage::Browse(OperationFrame& frame, FlashUndoChoice& undo) {
  if (frame.SelectOpenFiles("dif", "FF_DIF", "FF_DIFR_Caption", "FlashDIF_Src"))
    Select(frame, frame.FileNames(), undo);
}

bool FlashDifPage::Select(OperationFrame& frame, const std::vector<std::string>& files,
                          FlashUndoChoice& undo) {
  TDIFFile merge;
  bool chosen = false;
  const int merged = LoadAndMergeDIFs(merge, files, frame, &chosen);
  if (!chosen) return false;
  merged_ = std::move(merge);
  files_ = files;
  tfs_ = false;
  count_ = merged_.Blocks.empty() ? 0 : merged;
  for (const TDIFBlock& block : merged_.Blocks)
    if (block.Kind == "TFSF") tfs_ = true;
  undo.Params.Comment.clear();
  GetDIFComment(merged_, undo.Params.Comment);
  return true;
}

std::string FlashDifPage::SourceLine() const {
  std::string line = std::to_string(count_) + " " + LangGet("DIF_Files_Selected");
  if (tfs_) line += ", " + LangGet("TFS_Present");
  return line;
}

void FlashDifPage::Flash(OperationFrame& frame, ConnectDriver& driver,
                         const FlashUndoChoice& undo) {
  if (count_ == 0) return;
  std::string files;
  for (const std::string& file : files_) files += (files.empty() ? "" : ", ") + file;
  const OperationRecord record(frame, "flash DIF", files, PhoneWrites::Yes);
  // FlashImage begins the operation itself; the merge stays for the next press.
  FlashBuilt(frame, driver, merged_, undo, "FlashDIF_Undo");
  frame.ShowIdleState();
}

}  // namespace brantle
