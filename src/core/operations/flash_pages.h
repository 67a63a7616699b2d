#pragma once
// The seven pages of the Flashing tab. Each turns its input into an image DIF of
// "NORD" blocks and flashes it with FlashImage; with the page's undo box checked
// the bytes overwritten are offered as an undo DIF afterwards. The page functions
// are what the action buttons do once the page's fields are filled; the builders
// are the input half alone (false after the reader has shown its error).

#include <functional>
#include <string>
#include <vector>

#include "dif/DIFFiles.h"
#include "formats/s500_files.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"

namespace brantle {

// What a page does with "make undo" and its DIF options.
struct FlashUndoChoice {
  bool Make = false;
  UndoParameters Params;
};

// Whether a page's action button is enabled for what its source fields hold: the
// BIN/CLA, S3 and two-BIN pages need every field, the 2BIN+2OGM page any one (the
// file-set reader takes any subset).
enum class SourceNeed { All, Any };
bool SourcesFilled(SourceNeed need, const std::vector<std::string>& fields);

// Whether an image has anything to write: NOR data or files for the file system. An
// empty file, an S3 file without data records or two BIN files that do not differ
// have none, and are not flashed (no "Flashing completed." for nothing written).
bool HasDataToFlash(const TDIFFile& image);

// ---- builders ----------------------------------------------------------------------

bool BuildBinImage(Ui& ui, const std::string& fileName, TDIFFile& image);
// cType: 0 bytewise, 1 whole 64K blocks.
bool BuildBinDiffImage(Ui& ui, const std::string& original, const std::string& target, int cType,
                       TDIFFile& image);
bool BuildS3Image(Ui& ui, const std::string& fileName, TDIFFile& image);

// The fields of "Flash BIN file part at offset", as typed (hexadecimal).
struct BinPartFields {
  std::string FileName;
  std::string BinOffset;
  std::string PhoneOffset;
  std::string Length;
};
bool BuildBinPartImage(Ui& ui, const BinPartFields& fields, TDIFFile& image);

// bytes: what the hex data rule parsed; offsetText: the offset field.
void BuildHexImage(const std::string& offsetText, const std::string& bytes, TDIFFile& image);

// ---- page actions ------------------------------------------------------------------

// The frame of every page: begins the operation (unless the page leaves that to
// FlashImage), builds the image, flashes it, offers the undo DIF under the page's
// folder key and returns to idle; the operation log records it as name, with what
// it flashes (source).
using ImageBuilder = std::function<bool(Ui& ui, TDIFFile& image)>;
struct FlashPageRun {
  bool BeginOperation = true;
  std::string UndoFolderKey;
  std::string Name;    // "flash BIN"
  std::string Source;  // "/tmp/fw.bin"
};
void RunFlashPage(OperationFrame& frame, ConnectDriver& driver, const FlashPageRun& run,
                  const ImageBuilder& build, const FlashUndoChoice& undo);

void FlashBinPage(OperationFrame& frame, ConnectDriver& driver, const std::string& fileName,
                  const FlashUndoChoice& undo);
void FlashBinDiffPage(OperationFrame& frame, ConnectDriver& driver, const std::string& original,
                      const std::string& target, int cType, const FlashUndoChoice& undo);
void FlashS500Page(OperationFrame& frame, ConnectDriver& driver, const S500Names& names,
                   const FlashUndoChoice& undo);
void FlashS3Page(OperationFrame& frame, ConnectDriver& driver, const std::string& fileName,
                 const FlashUndoChoice& undo);
void FlashBinPartPage(OperationFrame& frame, ConnectDriver& driver, const BinPartFields& fields,
                      const FlashUndoChoice& undo);
void FlashHexPage(OperationFrame& frame, ConnectDriver& driver, const std::string& offsetText,
                  const std::string& bytes, const FlashUndoChoice& undo);

// The DIF page keeps the merge of the files chosen last until the next choice.
class FlashDifPage {
 public:
  // The selection button: the open dialog (several files), then Select.
  void Browse(OperationFrame& frame, FlashUndoChoice& undo);
  // Merges the files (the person picks blocks in the DIF information dialog). The
  // page's undo comment becomes the comment of the DIFs merged, so that an undo made
  // here describes what was flashed unless the person edits it. Files of which none
  // can be loaded, and Cancel in the dialog, keep the page's earlier selection and
  // comment (false then).
  bool Select(OperationFrame& frame, const std::vector<std::string>& files, FlashUndoChoice& undo);

  int Count() const { return count_; }
  bool HasTfs() const { return tfs_; }
  // "2 DIF file(s) selected, TFS present"
  std::string SourceLine() const;
  bool ActionEnabled() const { return count_ > 0; }

  // The action button; does nothing until files were merged.
  void Flash(OperationFrame& frame, ConnectDriver& driver, const FlashUndoChoice& undo);

 private:
  TDIFFile merged_;
  std::vector<std::string> files_;  // the files merged, for the log
  int count_ = 0;
  bool tfs_ = false;
};

}  // namespace brantle
