// Merging the DIF files a person picked, and applying a DIF to an image.

#include <algorithm>
#include <cstring>

#include "dif/DIFCore.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

std::string WithoutFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The dialog row of a loaded file, with the defaults: a file that holds only
// reversal data is an undo file and is applied backwards.
DIFChoice Describe(const std::string& fileName, const TDIFFile& dif, int source) {
  DIFChoice choice;
  choice.Name = WithoutFolder(fileName);
  choice.source = source;
  for (const TDIFBlock& block : dif.Blocks) {
    if (block.Kind == "NORD") choice.HasNOR = true;
    if (block.Kind == "nOrR") choice.HasReversal = true;
    if (block.Kind == "TFSF") choice.HasTFS = true;
    if (block.Kind == "dIFC") choice.Comment = block.Data;
  }
  choice.Apply = choice.HasNOR;
  choice.Undo = !choice.HasNOR && choice.HasReversal;
  choice.TakeTFS = choice.HasTFS;
  return choice;
}

// The kind a block enters the merge with, or "" when the choice leaves it out.
// Applying backwards swaps data and reversal.
std::string TakenKind(const TDIFBlock& block, const DIFChoice& choice) {
  if (block.Kind == "NORD") {
    if (choice.Undo) return "nOrR";
    return choice.Apply ? "NORD" : "";
  }
  if (block.Kind == "nOrR") {
    if (choice.Undo) return "NORD";
    return choice.Apply ? "nOrR" : "";
  }
  if (block.Kind == "TFSF") return choice.TakeTFS ? "TFSF" : "";
  return block.Kind;
}

}  // namespace

bool GetDIFComment(const TDIFFile& dif, std::string& comment) {
  for (const TDIFBlock& block : dif.Blocks) {
    if (block.Kind != "dIFC") continue;
    comment = TDIFFile::GetComment(block);
    return true;
  }
  return false;
}

int LoadCheckedDIF(const std::string& fileName, TDIFFile& dif) {
  int rc = dif.LoadFromFile(fileName);
  if (rc == kDIFOk && dif.PhoneID != kDIFPhoneID) rc = kDIFForeignPhone;
  if (rc == kDIFOk) rc = dif.CheckBlockKinds(KnownDIFKinds());
  return rc;
}

int LoadAndMergeDIFs(TDIFFile& target, const std::vector<std::string>& fileNames, Ui& ui,
                     bool* chosen) {
  if (chosen) *chosen = false;
  std::vector<TDIFFile> loaded;
  std::vector<DIFChoice> choices;
  for (const std::string& fileName : fileNames) {
    TDIFFile dif;
    const int rc = LoadCheckedDIF(fileName, dif);
    if (rc != kDIFOk) {
      ShowDIFError(ui, fileName + " " + LangGet("DIF_Ignored"), rc, dif);
      continue;
    }
    choices.push_back(Describe(fileName, dif, static_cast<int>(loaded.size())));
    loaded.push_back(std::move(dif));
  }
  if (choices.empty() || !ui.ChooseDIFs(choices)) return 0;
  if (chosen) *chosen = true;

  // Each loaded file is merged at most once, whatever rows the dialog hands back;
  // its blocks can therefore be moved rather than copied.
  std::vector<bool> used(loaded.size(), false);
  bool allReversal = true;
  int merged = 0;
  for (const DIFChoice& choice : choices) {
    if (!choice.Apply && !choice.Undo && !choice.TakeTFS) continue;
    if (choice.source < 0 || static_cast<size_t>(choice.source) >= loaded.size()) continue;
    const size_t source = static_cast<size_t>(choice.source);
    if (used[source]) continue;
    used[source] = true;
    bool contributedReversal = false;
    for (TDIFBlock& block : loaded[source].Blocks) {
      const std::string kind = TakenKind(block, choice);
      if (kind.empty()) continue;
      TDIFBlock taken;
      taken.Data = std::move(block.Data);
      TDIFFile::SetBlockKind(taken, kind);
      if (taken.Kind == "nOrR") contributedReversal = true;
      target.Blocks.push_back(std::move(taken));
    }
    loaded[source].Clear();
    allReversal = allReversal && contributedReversal;
    ++merged;
  }
  // Reversal data is only worth keeping when it covers every merged file's part.
  if (!allReversal) {
    target.Blocks.erase(std::remove_if(target.Blocks.begin(), target.Blocks.end(),
                                       [](const TDIFBlock& b) { return b.Kind == "nOrR"; }),
                        target.Blocks.end());
  }
  OptimizeDIF(target, ui);
  return merged;
}

namespace {

void Apply(TDIFFile& dif, std::string& image, TDIFFile* undoDif, Ui* ui) {
  if (ui) {
    OptimizeDIF(dif, *ui);
  } else {
    OptimizeDIF(dif);
  }
  const uint64_t end = NORDataEnd(dif);
  if (image.size() < end) image.resize(end, '\xFF');
  for (const TDIFBlock& block : dif.Blocks) {
    if (block.Kind != "NORD") continue;
    const uint32_t address = NORAddress(block);
    const size_t length = NORDataLength(block);
    if (undoDif) {
      const size_t index = undoDif->AddBlock();
      undoDif->SetReverseData(index, address, image.substr(address, length));
    }
    if (length) std::memcpy(&image[address], NORDataBytes(block), length);
  }
}

}  // namespace

void ApplyToImage(TDIFFile& dif, std::string& image, TDIFFile* undoDif, Ui& ui) {
  Apply(dif, image, undoDif, &ui);
}

void ApplyToImage(TDIFFile& dif, std::string& image, TDIFFile* undoDif) {
  Apply(dif, image, undoDif, nullptr);
}

}  // namespace brantle
