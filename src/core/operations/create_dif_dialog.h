#pragma once
// The "Creating DIF file from BINs/TFS/DIFs..." dialog as a model the window shows:
// the original and target images, a TFS file and the merged DIFs, each chosen with
// its own open dialog and cleared with its own button, and the creation parameters.
// It keeps everything between uses while the program runs.

#include <string>

#include "dif/DIFFiles.h"
#include "operations/offline_service.h"
#include "operations/operation_frame.h"
#include "ui/ui.h"

namespace brantle {

class TKTZDCF {
 public:
  const std::string& BIN1() const { return bin1_; }
  const std::string& BIN2() const { return bin2_; }
  const std::string& TFS() const { return tfs_; }
  const TDIFFile& Merged() const { return merged_; }
  int MergedCount() const { return mergedCount_; }
  bool ReversalPresent() const { return reversalPresent_; }
  bool TfsPresent() const { return tfsPresent_; }
  bool Confirmed() const { return confirmed_; }

  // The shared creation parameters (comparison, reversal, compression, comment).
  DifParametersDialog Parameters;

  // Before the window shows the dialog: not yet confirmed, and the merged DIFs'
  // comment in the editor.
  void Shown();
  // What the dialog enables and the "DIF file(s) selected" line.
  CreateDifState State() const;

  // The Select buttons: false when the dialog was cancelled or the choice refused.
  bool SelectBIN1(OperationFrame& frame);
  bool SelectBIN2(OperationFrame& frame);
  // Taken only when the CFG partner lies beside the file.
  bool SelectTFS(OperationFrame& frame);
  // Merges the chosen DIFs in the dialog's order, replacing the earlier merge.
  bool SelectDIFs(OperationFrame& frame);

  void ClearBIN1() { bin1_.clear(); }
  void ClearBIN2() { bin2_.clear(); }
  void ClearTFS() { tfs_.clear(); }
  void ClearDIFs();

  // "DIF file creation parameters...".
  void EditParameters(OperationFrame& frame);
  // "Create DIF...": confirms when there is something to create.
  bool Confirm();

 private:
  std::string bin1_;
  std::string bin2_;
  std::string tfs_;
  TDIFFile merged_;
  int mergedCount_ = 0;
  bool reversalPresent_ = false;
  bool tfsPresent_ = false;
  bool confirmed_ = false;
};

}  // namespace brantle
