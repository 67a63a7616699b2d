// OptiFlash phones take any stretch of NOR: the loader erases and programs its own
// erase blocks. Undo reads each block whole before anything is written; the writes
// go in pieces that end at 128 KB boundaries, each read back when verification is
// asked for.

#include "dif/DIFCore.h"
#include "lang/lang_get.h"
#include "operations/flash_workflow.h"
#include "operations/flash_workflow_internal.h"
#include "operations/operation_endings.h"
#include "operations/verified_write.h"

namespace brantle::flash_detail {
namespace {

// Records the old contents of every data block, keeping them (one string a block, in
// block order) for the comparison of unchanged pieces. A failed read is shown and
// sets the cancel flag, so that nothing is written.
void ReadUndo(OperationFrame& frame, OptiEngine& opti, const TDIFFile& image,
              const std::string& kind, TDIFFile& undo, const std::string& undoKind,
              std::vector<std::string>& olds) {
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind != kind) continue;
    const uint32_t address = NORAddress(block);
    std::string old(NORDataLength(block), '\0');
    const int r = opti.ReadNOR(address, static_cast<uint32_t>(old.size()),
                               reinterpret_cast<uint8_t*>(&old[0]));
    if (r == 0) frame.Tally().Read.Add(address, old.size());
    if (frame.StopAfterBlock(r, LangGet("ErrC_Reading") + " ")) {
      // Nothing may be written after a failed read.
      if (r != 0) frame.Cancel = true;
      return;
    }
    RecordUndo(undo, undoKind, address, old);
    olds.push_back(std::move(old));
  }
}

// Calls visit(block's bytes, its piece, the phone's old bytes of it or nullptr) for
// every piece of every data block.
template <typename Visit>
void ForEachPiece(const TDIFFile& image, const std::string& kind,
                  const std::vector<std::string>& olds, Visit visit) {
  size_t index = 0;
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind != kind) continue;
    const uint32_t address = NORAddress(block);
    const auto* data = reinterpret_cast<const uint8_t*>(NORDataBytes(block));
    const auto* old =
        index < olds.size() ? reinterpret_cast<const uint8_t*>(olds[index].data()) : nullptr;
    ++index;
    for (const NorPiece& piece : OptiPieces(address, static_cast<uint32_t>(NORDataLength(block)))) {
      const uint32_t at = piece.Address - address;
      if (!visit(data + at, piece, old ? old + at : nullptr)) return;
    }
  }
}

// False after a program error or a failed verification (shown). With the checks, a
// piece whose old bytes were read and equal the new ones is left out, and the bar
// counts only the pieces written, and their verification reads.
bool WriteBlocks(OperationFrame& frame, OptiEngine& opti, const TDIFFile& image,
                 const std::string& kind, const std::vector<std::string>& olds,
                 FlashPurpose purpose, const WriteChecks& checks) {
  const auto unchanged = [&checks](const uint8_t* data, const NorPiece& piece, const uint8_t* old) {
    return checks.SkipUnchanged && old && FirstDifference(data, old, piece.Length) == piece.Length;
  };
  const int factor = checks.Verify ? 2 : 1;
  int64_t total = 0;
  ForEachPiece(image, kind, olds,
               [&](const uint8_t* data, const NorPiece& piece, const uint8_t* old) {
                 if (!unchanged(data, piece, old)) total += int64_t{factor} * piece.Length;
                 return true;
               });
  frame.StartPhase(total);
  EepromGate eeprom(frame, purpose);
  OperationTally& tally = frame.Tally();
  const std::string prefix = LangGet("ErrC_Flash_Aborted") + " ";
  int skips = 0;
  bool ok = true;
  ForEachPiece(image, kind, olds,
               [&](const uint8_t* data, const NorPiece& piece, const uint8_t* old) {
                 if (unchanged(data, piece, old)) {
                   tally.AddUnchanged(piece.Address, piece.Length);
                   frame.SetStatusWithCount(SkippedText(++skips));
                   return true;
                 }
                 if (TouchesEeprom(piece.Address, piece.Length, frame.Areas()) &&
                     !eeprom.Allow(piece.Address, piece.Length, factor))
                   return !frame.StopAfterBlock(0, prefix);
                 ok = WriteVerified(
                     frame, prefix, checks.Verify, piece.Address, data, piece.Length,
                     [&] { return opti.WriteNOR(piece.Address, piece.Length, data); },
                     [&](uint8_t* into) { return opti.ReadNOR(piece.Address, piece.Length, into); },
                     tally.Programmed, tally.Read);
                 if (!ok) frame.ShowIdleState();
                 return ok && !frame.StopAfterBlock(0, prefix);
               });
  return ok;
}

// The image's files, which these phones have no file system for, counted as left
// out (an empty file would not be sent either).
void LeaveOutFiles(OperationFrame& frame, const TDIFFile& image) {
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind != "TFSF") continue;
    std::string name;
    std::string bytes;
    TDIFFile::GetTFSFile(block, name, bytes);
    if (!bytes.empty()) ++frame.Tally().FilesLeftOut;
  }
}

}  // namespace

bool FlashImageOpti(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                    const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                    FlashPurpose purpose) {
  frame.EnableCancel(true);
  OptimizeDIF(image, frame);
  frame.BeginOperation();
  // Addresses travel as 32 bits: a block reaching past them would wrap to address 0.
  if (RefusedBeyond(frame, image, kind, uint64_t{1} << 32)) return false;
  OptiEngine& opti = driver.Opti();
  int64_t total = 0;
  for (const TDIFBlock& block : image.Blocks)
    if (block.Kind == kind) total += static_cast<int64_t>(NORDataLength(block));
  if (total > 0) {
    std::vector<std::string> olds;
    if (undo) {
      frame.StartPhase(total);
      frame.RouteEngine(driver.link(), true);
      ReadUndo(frame, opti, image, kind, *undo, undoKind, olds);
    }
    if (!frame.Cancel) {
      frame.RouteEngine(driver.link(), true);
      if (!WriteBlocks(frame, opti, image, kind, olds, purpose,
                       WriteChecks::FromSettings(frame.settings())))
        return false;
    }
  }
  // The loader finishes an erase block only when told to.
  if (opti.BlockOpen) {
    if (const int r = opti.CloseBlock(); r != 0) {
      ShowEngineError(frame, LangGet("ErrC_Flash_Aborted") + " ", r);
      frame.ShowIdleState();
      return false;
    }
  }
  if (frame.Cancel) return false;
  LeaveOutFiles(frame, image);
  // A technician expects the same word of completion as on the other families.
  if (purpose == FlashPurpose::Image) ShowEnding(frame, FlashEnding(frame.Tally()));
  frame.ShowIdleState();
  return true;
}

}  // namespace brantle::flash_detail
