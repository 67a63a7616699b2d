#pragma once
// The engine builds its status lines from these replaceable texts. Each starts as
// the English default; the language layer overwrites those that have a key.

#include <array>
#include <string>

namespace brantle {

struct EStatusTexts {
  std::string TimeOut = "timeout in:";
  std::string Waiting = "Waiting";
  std::string WritingData = "Writing data";
  std::string ReadingData = "Reading data";
  std::string TurnOnThePhone = "Turn on the phone";
  std::string SendingLoader = "Sending loader";
  std::string WaitingForFlashID = "Waiting for flash ID";
  std::string FlashingAt = "Flashing at";
  std::string CRCErrorRetry = "CRC error, retry #";
  std::string CRCErrorRetryAt = "at";
  std::string ReadingAt = "Reading at";
  std::string ErasingAt = "Erasing at";  // has no language key: stays English
  std::string TFSInitializing = "Initializing";
  std::string TFSProcessing = "Processing";
  std::string TFSSending = "Sending";
  std::string FormattingNAND = "Formatting NAND";
  std::string ReadingNANDBlock = "Reading NAND block";
  std::string WritingNANDBlock = "Writing NAND block";
};

// The language key of each text that has one, for the language layer.
struct StatusTextKey {
  const char* key;
  std::string EStatusTexts::*text;
};
extern const std::array<StatusTextKey, 17> kStatusTextKeys;

}  // namespace brantle
