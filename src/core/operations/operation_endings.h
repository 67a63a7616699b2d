#pragma once
// The message that closes a flash or an erase that ran to its end, told from what
// the operation's tally says it did: a plain completion, which the settings may
// silence, or an ending that says what was left out and why, which is always shown
// (the phone is not what the person asked for).

#include <string>

#include "operations/operation_frame.h"
#include "operations/operation_tally.h"

namespace brantle {

struct EndingMessage {
  std::string Text;
  bool Plain = true;
};

// "Flashing completed." ("... Phone disconnected." after files were sent), or
// "Nothing was written to the phone." with the reasons: the EEPROM area kept after
// a No, every sector or piece already holding its bytes. Files the phone has no
// file system for are named below either.
EndingMessage FlashEnding(const OperationTally& tally);
// "Erase completed." or "Nothing was erased.", with the part of the region kept in
// the EEPROM area after a No.
EndingMessage EraseEnding(const OperationTally& tally);

void ShowEnding(OperationFrame& frame, const EndingMessage& ending);

}  // namespace brantle
