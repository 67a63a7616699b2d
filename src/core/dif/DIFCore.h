#pragma once
// Building, normalising, merging and applying DIFs: the comparisons that turn two
// images into blocks, the optimiser that brings any block list into its canonical
// form, the merge of several DIF files chosen by the user, and applying a DIF to an
// image with undo capture. Images are byte strings whose index 0 is NOR address 0.

#include <cstdint>
#include <string>
#include <vector>

#include "dif/DIFFiles.h"
#include "ui/ui.h"

namespace brantle {

// ---- comparisons -----------------------------------------------------------------

// One data block of the given kind per maximal run of differing bytes, each followed
// by its "nOrR" block with reverse; a longer target adds a tail block without reversal.
void CompareBytewise(const std::string& original, const std::string& target, TDIFFile& dif,
                     const std::string& kind, bool reverse, Ui& ui);
void CompareBytewise(const std::string& original, const std::string& target, TDIFFile& dif,
                     const std::string& kind, bool reverse);

// The same in whole 65,536-byte chunks aligned on offset 0; data blocks are "NORD".
constexpr size_t kDIFChunk = 65536;
void Compare64K(const std::string& original, const std::string& target, TDIFFile& dif, bool reverse,
                Ui& ui);
void Compare64K(const std::string& original, const std::string& target, TDIFFile& dif,
                bool reverse);

// ---- canonical form --------------------------------------------------------------

// Rewrites the block list: at most one "dIFC" block (first), then non-overlapping,
// non-adjacent "NORD" blocks in address order where every byte holds the data of the
// last block that covered it, the same for "nOrR", then "TFSF" blocks sorted by path
// with unique paths (the later block wins), then every other block in its order.
void OptimizeDIF(TDIFFile& dif, Ui& ui);
void OptimizeDIF(TDIFFile& dif);

// The end (address + data length) of the furthest "NORD" block; 0 without one.
uint64_t NORDataEnd(const TDIFFile& dif);

// ---- creation parameters ---------------------------------------------------------

constexpr int kComparisonBytewise = 0;
constexpr int kComparison64K = 1;
constexpr int kReversalNone = 0;
constexpr int kReversalSeparate = 1;
constexpr int kReversalEmbed = 2;
constexpr int kCompressionNone = 0;
constexpr int kCompressionZLib = 1;

// The language keys of the selector entries, by index.
const std::vector<std::string>& ComparisonTypeKeys();
const std::vector<std::string>& ReversalTypeKeys();
const std::vector<std::string>& CompressionKeys();

// What the DIF file creation parameters dialog holds; it keeps its state for the run.
struct TDIFCreationParams {
  int CType = kComparisonBytewise;
  int RType = kReversalNone;
  int Compress = kCompressionNone;
  std::string Comment;  // the RTF document of the comment editor

  // A selector the caller disabled for this use starts at its first entry.
  void PrepareForShow(bool cTypeEnabled, bool rTypeEnabled);
};

// The "DIF Compatibility:" text. commentText is the comment as the editor shows it
// (plain text), since an RTF document is never blank.
std::string DIFCompatibilityText(int rType, int compress, const std::string& commentText);

// Moves every "nOrR" block into undo with its kind overwritten as "NORD", so that the
// undo DIF applied as a plain patch restores the original bytes.
void SplitOffReversal(TDIFFile& dif, TDIFFile& undo);

// ---- merging and applying --------------------------------------------------------

// The comment of the DIF's first "dIFC" block (a merged, optimised DIF holds at most
// one); false, with comment untouched, when it has none.
bool GetDIFComment(const TDIFFile& dif, std::string& comment);

// Loads a DIF for use: readable, a valid container, this tool's phone ID and only
// block kinds this version knows. A DIF result code.
int LoadCheckedDIF(const std::string& fileName, TDIFFile& dif);

// Loads the files (each rejected one reported with the file name + " ignored:"),
// lets the person choose through Ui::ChooseDIFs, appends the chosen blocks to target
// and optimises it. Returns the number of files merged; 0 when cancelled or none usable.
// chosen, when given, tells whether the person confirmed a choice in the dialog (not
// when no file could be loaded or the dialog was cancelled).
int LoadAndMergeDIFs(TDIFFile& target, const std::vector<std::string>& fileNames, Ui& ui,
                     bool* chosen = nullptr);

// Optimises dif, grows image to the end of its data (new bytes 0xFF) and writes every
// "NORD" block; with undoDif, first records the bytes each block replaces as "nOrR".
void ApplyToImage(TDIFFile& dif, std::string& image, TDIFFile* undoDif, Ui& ui);
void ApplyToImage(TDIFFile& dif, std::string& image, TDIFFile* undoDif = nullptr);

// ---- the DIF information dialog's rules ------------------------------------------

// A box can only be set when the file has the matching content. Apply clears Undo;
// Undo clears Apply and the TFS box.
void CheckApply(DIFChoice& choice, bool checked);
void CheckUndo(DIFChoice& choice, bool checked);
void CheckTakeTFS(DIFChoice& choice, bool checked);

// Selection and scroll position of the list (both 0-based; the scroll bar shows
// firstVisible + 1). Moving swaps the selected record with its neighbour; the
// selection follows it and the list scrolls by one when it leaves the visible rows.
constexpr int kDIFInfoRows = 6;
struct DIFInfoView {
  int selected = 0;
  int firstVisible = 0;
};
bool MoveChoiceUp(std::vector<DIFChoice>& files, DIFInfoView& view);
bool MoveChoiceDown(std::vector<DIFChoice>& files, DIFInfoView& view);

}  // namespace brantle
