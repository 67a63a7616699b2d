// OptiFlash phones take any stretch of NOR: the loader erases and programs its own
// erase blocks. Undo reads each block whole before anything is written; the writes
// go in pieces that end at 128 KB boundaries.

#include "dif/DIFCore.h"
#include "lang/lang_get.h"
#include "operations/flash_workflow.h"
#include "operations/flash_workflow_internal.h"

namespace brantle::flash_detail {
namespace {

// Records the old contents of every data block. A failed read is shown and sets the
// cancel flag, so that nothing is written.
void ReadUndo(OperationFrame& frame, OptiEngine& opti, const TDIFFile& image,
              const std::string& kind, TDIFFile& undo, const std::string& undoKind) {
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind != kind) continue;
    const uint32_t address = NORAddress(block);
    std::string old(NORDataLength(block), '\0');
    const int r = opti.ReadNOR(address, static_cast<uint32_t>(old.size()),
                               reinterpret_cast<uint8_t*>(&old[0]));
    if (frame.StopAfterBlock(r, LangGet("ErrC_Reading") + " ")) {
      // Nothing may be written after a failed read.
      if (r != 0) frame.Cancel = true;
      return;
    }
    RecordUndo(undo, undoKind, address, old);
  }
}

// False after a program error (shown).
bool WriteBlocks(OperationFrame& frame, OptiEngine& opti, const TDIFFile& image,
                 const std::string& kind, EepromWrites writes) {
  EepromGate eeprom(frame, writes);
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind != kind) continue;
    const uint32_t address = NORAddress(block);
    const auto* data = reinterpret_cast<const uint8_t*>(NORDataBytes(block));
    for (const NorPiece& piece : OptiPieces(address, static_cast<uint32_t>(NORDataLength(block)))) {
      int r = 0;
      if (!TouchesEeprom(piece.Address, piece.Length, frame.Areas()) || eeprom.Allow(piece.Length))
        r = opti.WriteNOR(piece.Address, piece.Length, data + (piece.Address - address));
      if (frame.StopAfterBlock(r, LangGet("ErrC_Flash_Aborted") + " ")) return r == 0;
    }
  }
  return true;
}

}  // namespace

bool FlashImageOpti(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                    const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                    EepromWrites eeprom) {
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
    if (undo) {
      frame.StartPhase(total);
      frame.RouteEngine(driver.link(), true);
      ReadUndo(frame, opti, image, kind, *undo, undoKind);
    }
    if (!frame.Cancel) {
      frame.StartPhase(total);
      frame.RouteEngine(driver.link(), true);
      if (!WriteBlocks(frame, opti, image, kind, eeprom)) return false;
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
  // A technician expects the same word of completion as on the other families.
  frame.Completed("Msg_Flash_Completed");
  frame.ShowIdleState();
  return true;
}

}  // namespace brantle::flash_detail
