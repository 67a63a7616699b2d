// The DIF creation parameters and the rules of the DIF information dialog, as data
// and pure functions that the window and the command line share.

#include <algorithm>
#include <utility>

#include "dif/DIFCore.h"
#include "lang/lang_get.h"

namespace brantle {

const std::vector<std::string>& ComparisonTypeKeys() {
  static const std::vector<std::string> keys = {"SSel_Comparison_Bytewise", "SSel_Comparison_64K"};
  return keys;
}

const std::vector<std::string>& ReversalTypeKeys() {
  static const std::vector<std::string> keys = {"SSel_Reversal_None", "SSel_Reversal_Create",
                                                "SSel_Reversal_Embed"};
  return keys;
}

const std::vector<std::string>& CompressionKeys() {
  static const std::vector<std::string> keys = {"SSel_Compression_None", "SSel_Compression_ZLib"};
  return keys;
}

void TDIFCreationParams::PrepareForShow(bool cTypeEnabled, bool rTypeEnabled) {
  if (!cTypeEnabled) CType = kComparisonBytewise;
  if (!rTypeEnabled) RType = kReversalNone;
}

std::string DIFCompatibilityText(int rType, int compress, const std::string& commentText) {
  // Embedded reversal, compression and comments came with v0.60; older readers
  // refuse such files.
  const bool blank = std::all_of(commentText.begin(), commentText.end(),
                                 [](char c) { return static_cast<unsigned char>(c) <= ' '; });
  if (rType == kReversalEmbed || compress == kCompressionZLib || !blank) {
    return "BRNTL v0.60 " + LangGet("Version_Higher");
  }
  return LangGet("Version_Any");
}

void SplitOffReversal(TDIFFile& dif, TDIFFile& undo) {
  std::vector<TDIFBlock> kept;
  for (TDIFBlock& block : dif.Blocks) {
    if (block.Kind == "nOrR") {
      block.Kind = "NORD";
      undo.Blocks.push_back(std::move(block));
    } else {
      kept.push_back(std::move(block));
    }
  }
  dif.Blocks = std::move(kept);
}

void CheckApply(DIFChoice& choice, bool checked) {
  if (checked && !choice.HasNOR) return;
  choice.Apply = checked;
  if (checked) choice.Undo = false;
}

void CheckUndo(DIFChoice& choice, bool checked) {
  if (checked && !choice.HasReversal) return;
  choice.Undo = checked;
  if (checked) {
    choice.Apply = false;
    choice.TakeTFS = false;
  }
}

void CheckTakeTFS(DIFChoice& choice, bool checked) {
  if (checked && !choice.HasTFS) return;
  choice.TakeTFS = checked;
}

namespace {

bool Move(std::vector<DIFChoice>& files, DIFInfoView& view, int by) {
  const int to = view.selected + by;
  if (view.selected < 0 || view.selected >= static_cast<int>(files.size())) return false;
  if (to < 0 || to >= static_cast<int>(files.size())) return false;
  std::swap(files[static_cast<size_t>(view.selected)], files[static_cast<size_t>(to)]);
  view.selected = to;
  if (to < view.firstVisible) view.firstVisible = to;
  if (to >= view.firstVisible + kDIFInfoRows) view.firstVisible = to - kDIFInfoRows + 1;
  return true;
}

}  // namespace

bool MoveChoiceUp(std::vector<DIFChoice>& files, DIFInfoView& view) {
  return Move(files, view, -1);
}

bool MoveChoiceDown(std::vector<DIFChoice>& files, DIFInfoView& view) {
  return Move(files, view, 1);
}

}  // namespace brantle
