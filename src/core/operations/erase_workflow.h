#pragma once
// Erasing a NOR region. The E families erase whole 64 KB sectors, so the bytes of the
// first and last sector that lie outside the region are read first and flashed back
// afterwards. The OptiFlash loader has no erase command; it keeps what lies outside
// the bytes it is given, so there the region is written over with 0xFF instead.

#include <string>

#include "dif/DIFFiles.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"

namespace brantle {

// A region reaching into the EEPROM area is erased there only after the person's
// Yes, asked before anything is read or erased; after a No only the part before that
// area is erased. With undo, the old bytes of the part erased are first recorded
// there as one block of undoKind at start. Nothing is erased when a read before the
// erase fails or is cancelled. An erase that ran to its end says so in words of its
// own, naming the part kept after a No. False after an error (shown) or a cancel.
bool EraseRegion(OperationFrame& frame, ConnectDriver& driver, uint32_t start, uint32_t end,
                 TDIFFile* undo, const std::string& undoKind);

// "Erase": the region of the two address fields; with makeUndo the old bytes are
// offered for saving as an undo DIF (with the Erasing tab's comment and compression)
// whatever became of the erase. True when the erase ran to its end (a part the
// person chose to keep counts as done).
bool EraseNor(OperationFrame& frame, ConnectDriver& driver, const std::string& startText,
              const std::string& endText, bool makeUndo, const UndoParameters& undoOptions);

}  // namespace brantle
