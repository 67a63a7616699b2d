#include "operations/undo_offer.h"

#include "lang/lang_get.h"
#include "operations/dif_output.h"

namespace brantle {

bool OfferUndoDif(OperationFrame& frame, TDIFFile& undo, const std::string& folderKey,
                  const UndoParameters& pair) {
  if (!frame.SelectSaveFile("dif", "FF_DIF", "FF_RDIFW_Caption", folderKey, true)) {
    frame.LogEvent("undo DIF not saved");
    return false;
  }
  const bool saved = SaveOperationDif(frame, undo, frame.FileName(), pair.Comment, pair.Compress,
                                      LangGet("ErrC_DIF_Create_Aborted"));
  if (saved) frame.LogEvent("undo DIF saved: " + frame.FileName());
  frame.ShowIdleState();
  return saved;
}

}  // namespace brantle
