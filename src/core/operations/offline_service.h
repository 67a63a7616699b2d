#pragma once
// The offline service: DIF files created from images, DIFs and TFS pairs; DIFs
// applied to images and TFS pairs; conversions between BIN, DIF, S3 and 2BIN+2OGM.
// Each call does what the window's operation does once its file dialogs have been
// answered, reporting through the Ui port with the window's own messages.

#include <string>
#include <vector>

#include "dif/DIFCore.h"
#include "formats/s500_files.h"
#include "ui/ui.h"

namespace brantle {

// What the create-DIF dialog enables for the choices made so far.
struct CreateDifState {
  bool CTypeEnabled = true;
  bool RTypeEnabled = true;
  bool CreateEnabled = false;
  std::string Summary;  // the "DIF file(s) selected" line
};
CreateDifState ComputeCreateDifState(bool haveOriginal, bool haveTarget, bool haveTfs,
                                     int mergedCount, bool reversalPresent, bool tfsPresent);

struct CreateDifRequest {
  std::string Original;            // BIN1; empty: none
  std::string Target;              // BIN2; empty: none
  std::string Tfs;                 // TFS data file (its .cfg beside it); empty: none
  std::vector<std::string> Merge;  // DIF files merged first, in order
  TDIFCreationParams Params;       // comparison, reversal, compression, comment (RTF)
  std::string Output;
  // With reversal kind "separate": the undo DIF and its own comment and compression.
  std::string UndoOutput;
  TDIFCreationParams UndoParams;
};
// False after a message (or with nothing to create). Nothing is written before
// every source has been read. The merged DIFs' comment is kept unless the request
// brings a comment of its own, as the dialog copies it into its editor. With
// undoWritten, tells whether a separate undo DIF was written: the reversal choice
// does not apply (and is reset) without an original image to take undo data from.
bool CreateDif(Ui& ui, const CreateDifRequest& request, bool* undoWritten = nullptr);

// The sources of a new DIF once they are chosen. CType and RType are as the
// parameters dialog gives them, disabled selectors already at their first entry.
struct CreateDifSources {
  std::string Original;              // BIN1; empty: none
  std::string Target;                // BIN2; empty: none
  std::string Tfs;                   // empty: none
  const TDIFFile* Merged = nullptr;  // the merged DIFs; null or empty: none
  int CType = kComparisonBytewise;
  int RType = kReversalNone;
};
// Reads the images, compares them, copies the merged blocks (giving them undo data
// from the original when they carry none), adds the TFS files and, with a separate
// reversal, moves the undo data into undo as "NORD". Nothing is written; false after
// a message.
bool BuildCreatedDif(Ui& ui, const CreateDifSources& sources, TDIFFile& dif, TDIFFile& undo);

// True when the DIF holds a block of that kind.
bool HasBlockKind(const TDIFFile& dif, const char* kind);

// The merged NOR data applied to binOut: the existing image grown as needed, or a
// new one 0xFF wherever no block lies.
bool ApplyToBinFile(Ui& ui, TDIFFile& merged, const std::string& binOut);

// Merges the files (the person chooses through Ui::ChooseDIFs), then writes the NOR
// data into binOut (grown from the existing file, or made new) and the TFS files
// into tfsOut. An empty name skips that part. The number of files merged; 0 when
// nothing was merged or a file step failed.
int ApplyDifs(Ui& ui, const std::vector<std::string>& files, const std::string& binOut,
              const std::string& tfsOut);

enum class FirmwareKind { Bin, Dif, S3 };

// Loads a BIN (as one "NORD" block at 0), a checked DIF, or an S3 file. Errors are
// shown with the "Operation aborted:" prefix.
bool LoadFirmware(Ui& ui, const std::string& fileName, FirmwareKind kind, TDIFFile& dif);
// Saves the DIF's NOR data as a BIN image, the DIF itself (with comment, optimised,
// compressed as asked), or S3 text.
bool SaveFirmware(Ui& ui, TDIFFile& dif, const std::string& fileName, FirmwareKind kind,
                  const TDIFCreationParams& params);

// Splits the firmware into the four files (trimmed when it came from a flat image);
// parts with an empty name are not written.
bool SaveS500(Ui& ui, const TDIFFile& dif, bool fromImage, const S500Names& names);

}  // namespace brantle
