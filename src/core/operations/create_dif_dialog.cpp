#include "operations/create_dif_dialog.h"

#include <sys/stat.h>

#include "dif/DIFCore.h"
#include "formats/tfs_pair.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SelectBin(OperationFrame& frame, const char* key, std::string& field) {
  if (!frame.SelectOpenFile("bin", "FF_BIN", "FF_BINR_Caption", key)) return false;
  field = frame.FileName();
  return true;
}

}  // namespace

void TKTZDCF::Shown() {
  confirmed_ = false;
  GetDIFComment(merged_, Parameters.Comment);
}

CreateDifState TKTZDCF::State() const {
  return ComputeCreateDifState(!bin1_.empty(), !bin2_.empty(), !tfs_.empty(), mergedCount_,
                               reversalPresent_, tfsPresent_);
}

bool TKTZDCF::SelectBIN1(OperationFrame& frame) {
  return SelectBin(frame, "DIFCreate_BIN1", bin1_);
}

bool TKTZDCF::SelectBIN2(OperationFrame& frame) {
  return SelectBin(frame, "DIFCreate_BIN2", bin2_);
}

bool TKTZDCF::SelectTFS(OperationFrame& frame) {
  if (!frame.SelectOpenFile("tfs", "FF_TFS", "FF_TFSR_Caption", "DIFCreate_TFS")) return false;
  // A TFS file is only half of the pair; without its CFG the choice is dropped
  // silently, as the window always did.
  if (!IsFile(CfgNameFor(frame.FileName()))) return false;
  tfs_ = frame.FileName();
  return true;
}

bool TKTZDCF::SelectDIFs(OperationFrame& frame) {
  if (!frame.SelectOpenFiles("dif", "FF_DIF", "FF_DIFR_Caption", "CreateDIF_DIFR")) return false;
  ClearDIFs();
  mergedCount_ = LoadAndMergeDIFs(merged_, frame.FileNames(), frame);
  if (merged_.Blocks.empty()) mergedCount_ = 0;
  for (const TDIFBlock& block : merged_.Blocks) {
    if (block.Kind == "nOrR") reversalPresent_ = true;
    if (block.Kind == "TFSF") tfsPresent_ = true;
  }
  GetDIFComment(merged_, Parameters.Comment);
  return mergedCount_ > 0;
}

void TKTZDCF::ClearDIFs() {
  merged_.Clear();
  mergedCount_ = 0;
  reversalPresent_ = tfsPresent_ = false;
}

void TKTZDCF::EditParameters(OperationFrame& frame) {
  const CreateDifState state = State();
  Parameters.Caption = LangGet("SCap_DIF_Create_Parameters");
  Parameters.ComparisonEnabled = state.CTypeEnabled;
  Parameters.ReversalEnabled = state.RTypeEnabled;
  // A selector that does not apply shows its first entry.
  if (!Parameters.ComparisonEnabled) Parameters.CType = kComparisonBytewise;
  if (!Parameters.ReversalEnabled) Parameters.RType = kReversalNone;
  frame.EditDifParameters(Parameters);
}

bool TKTZDCF::Confirm() {
  confirmed_ = State().CreateEnabled;
  return confirmed_;
}

}  // namespace brantle
