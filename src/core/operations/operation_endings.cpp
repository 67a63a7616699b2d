#include "operations/operation_endings.h"

#include "lang/fill_text.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

// The first line, then one line for each thing left out.
EndingMessage Compose(const std::string& head, bool plainHead, const std::string& details) {
  return {head + details, plainHead && details.empty()};
}

void AddLine(std::string& details, const std::string& line) {
  details += "\n" + line;
}

}  // namespace

EndingMessage FlashEnding(const OperationTally& tally) {
  std::string details;
  if (tally.WroteNothing()) {
    if (!tally.EepromKept.Empty()) AddLine(details, LangGet("Msg_EEPROM_Kept"));
    if (tally.UnchangedCount > 0)
      AddLine(details, FillText(LangGet("Msg_Nothing_Differed"),
                                {{"count", std::to_string(tally.UnchangedCount)}}));
  }
  if (tally.FilesLeftOut > 0)
    AddLine(details, FillText(LangGet("Msg_Files_Left_Out"),
                              {{"count", std::to_string(tally.FilesLeftOut)}}));
  if (tally.WroteNothing()) return Compose(LangGet("Msg_Nothing_Written"), false, details);
  // The phone leaves the loader after files were written into it.
  return Compose(
      LangGet(tally.FilesSent > 0 ? "Msg_Flash_Completed_Disconnected" : "Msg_Flash_Completed"),
      true, details);
}

EndingMessage EraseEnding(const OperationTally& tally) {
  std::string details;
  if (!tally.EepromKept.Empty())
    AddLine(details, LangGet("Msg_EEPROM_Not_Erased") + " " + tally.EepromKept.Text());
  const bool erased = !tally.Erased.Empty();
  return Compose(LangGet(erased ? "Msg_Erase_Completed" : "Msg_Nothing_Erased"), erased, details);
}

void ShowEnding(OperationFrame& frame, const EndingMessage& ending) {
  if (!ending.Plain || !frame.settings().DisableAllStatusMessages()) frame.Information(ending.Text);
}

}  // namespace brantle
