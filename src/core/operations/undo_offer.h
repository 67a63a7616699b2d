#pragma once
// After a flash or an erase with "make undo" checked: whatever the operation
// recorded is offered for saving, also after an error or a cancel.

#include <string>

#include "dif/DIFFiles.h"
#include "operations/operation_frame.h"

namespace brantle {

// Save dialog under the remembered folder key; on OK the tab's comment goes first,
// the DIF is optimised, stamped and saved with the tab's compression. False when
// cancelled or the save failed (the error is shown).
bool OfferUndoDif(OperationFrame& frame, TDIFFile& undo, const std::string& folderKey,
                  const UndoParameters& pair);

}  // namespace brantle
