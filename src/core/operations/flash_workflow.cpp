#include "operations/flash_workflow.h"

#include <algorithm>

#include "formats/tfs_pair.h"
#include "lang/fill_text.h"
#include "lang/lang_get.h"
#include "operations/flash_workflow_internal.h"

namespace brantle {

bool FlashImage(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                const std::vector<std::string>* dirs, FlashPurpose purpose) {
  if (driver.IsOpti())
    return flash_detail::FlashImageOpti(frame, driver, image, kind, undo, undoKind, purpose);
  return flash_detail::FlashImageE(frame, driver, image, kind, undo, undoKind, dirs, purpose);
}

bool AskEepromWrite(OperationFrame& frame, EepromChange change) {
  const char* key = change == EepromChange::Erase ? "Warn_EEPROM_Erase" : "Warn_EEPROM";
  return frame.Message(MessageKind::Warning, LangGet(key), Buttons::YesNo) == Answer::Yes;
}

bool IsEepromQuestion(const std::string& text) {
  return text == LangGet("Warn_EEPROM") || text == LangGet("Warn_EEPROM_Erase");
}

std::vector<NorPiece> OptiPieces(uint32_t address, uint32_t length) {
  constexpr uint32_t kPieceAlign = 0x20000;
  std::vector<NorPiece> pieces;
  for (uint32_t done = 0; done < length;) {
    const uint32_t start = address + done;
    const uint32_t n = std::min(kPieceAlign - (start & (kPieceAlign - 1)), length - done);
    pieces.push_back({start, n});
    done += n;
  }
  return pieces;
}

bool TouchesEeprom(uint64_t address, uint64_t length, const NorAreas& areas) {
  return length > 0 && address < areas.Total() && address + length > areas.EepromStart();
}

namespace flash_detail {

bool EepromGate::Allow(uint32_t address, uint32_t length, int progressFactor) {
  if (answer_ == Answer::NotAsked) answer_ = AskEepromWrite(frame_) ? Answer::Write : Answer::Skip;
  if (answer_ == Answer::Write) return true;
  frame_.Tally().EepromKept.Add(address, length);
  frame_.StepProgress(int64_t{progressFactor} * length);
  frame_.SetStatusWithCount(LangGet("Status_Skipping_EEPROM"));
  return false;
}

bool RefusedBeyond(OperationFrame& frame, const TDIFFile& image, const std::string& kind,
                   uint64_t end) {
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind == kind && NORAddress(block) + uint64_t{NORDataLength(block)} > end) {
      frame.Error(LangGet("ErrC_Flash_Aborted") + " " + LangGet("Msg_Beyond_NOR"));
      frame.ShowIdleState();
      return true;
    }
  }
  return false;
}

bool RefusedTfsNames(OperationFrame& frame, const TDIFFile& image) {
  const std::string name = TfsNameNamingNoFile(image);
  if (name.empty()) return false;
  frame.Error(LangGet("ErrC_Flash_Aborted") + " " +
              FillText(LangGet("Msg_Tfs_Name_No_File"), {{"name", name}}));
  frame.ShowIdleState();
  return true;
}

void RecordUndo(TDIFFile& undo, const std::string& undoKind, uint32_t address,
                const std::string& oldBytes) {
  const size_t index = undo.AddBlock();
  undo.SetReverseData(index, address, oldBytes);
  // Only the kind changes: an undo of kind "NORD" is a patch that puts the bytes back.
  undo.Blocks[index].Kind = undoKind;
}

}  // namespace flash_detail
}  // namespace brantle
