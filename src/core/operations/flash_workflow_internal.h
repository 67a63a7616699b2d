#pragma once
// What the two flash variants share: the entry points FlashImage chooses between and
// the one EEPROM question of an operation.

#include <cstdint>
#include <string>
#include <vector>

#include "dif/DIFFiles.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"

namespace brantle::flash_detail {

bool FlashImageE(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                 const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                 const std::vector<std::string>* dirs, FlashPurpose purpose);
bool FlashImageOpti(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                    const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                    FlashPurpose purpose);

// Asks before the first write into the EEPROM area of an operation (unless the bytes
// are put back by an erase, which asked before) and remembers the answer for the
// rest of it.
class EepromGate {
 public:
  EepromGate(OperationFrame& frame, FlashPurpose purpose)
      : frame_(frame),
        answer_(purpose == FlashPurpose::WriteBack ? Answer::Write : Answer::NotAsked) {}
  // True when the length bytes at address may be written. After a "No" they are
  // skipped: the tally keeps them as left out, the bar steps over them (progressFactor
  // times, as it counts each byte written) and the status line says so.
  bool Allow(uint32_t address, uint32_t length, int progressFactor);

 private:
  enum class Answer { NotAsked, Write, Skip };
  OperationFrame& frame_;
  Answer answer_;
};

// Shows an error and ends the operation when a data block reaches past end, the
// first address the loader cannot reach; nothing has been sent then.
bool RefusedBeyond(OperationFrame& frame, const TDIFFile& image, const std::string& kind,
                   uint64_t end);

// The same for a file for the phone's file system whose name names no file.
bool RefusedTfsNames(OperationFrame& frame, const TDIFFile& image);

// Records the NOR bytes about to be overwritten at address as an undo block.
void RecordUndo(TDIFFile& undo, const std::string& undoKind, uint32_t address,
                const std::string& oldBytes);

}  // namespace brantle::flash_detail
