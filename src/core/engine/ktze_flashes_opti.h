#pragma once
// NOR flash identification of the OptiFlash phones: the 56-row chip table, the
// loader's hardware information block, the erase-block list and the bank map.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ktze_flashes.h"

namespace brantle {

struct OptiChip {
  uint8_t Present = 0;
  uint8_t Usable = 0;
  uint8_t MakerID = 0;
  uint32_t DeviceID = 0;
  std::string MakerName;
  std::string ModelName;
  uint8_t WriteMethod = 0;    // 0 standard, 1 unlock bypass, 2 page buffer
  uint8_t IntelCommands = 0;  // 1 Intel command set, 0 AMD
  uint32_t TotalSize = 0;
  uint32_t BlockCount = 0;
  uint32_t BaseAddress = 0;
};

struct OptiBlock {
  uint16_t chip = 0;   // index into the chip records
  uint16_t index = 0;  // block number within its chip, from 0
  uint32_t size = 0;   // bytes
};

// Everything the loader's information reply tells about the flash.
struct OptiFlash {
  std::array<OptiChip, 4> chips;
  std::vector<OptiBlock> OptiBlockList;
  // One entry per 64 KB bank: index into OptiBlockList, or -1 where no chip lies.
  std::vector<int32_t> BankMap;
  uint32_t MaxWriteChunk = 0;
  uint32_t MaxReadChunk = 0;
  std::vector<uint32_t> BaudList;
};

// Rows: maker (hex), device (hex), maker name, model, command set, write method,
// then pairs of (block count, block size in KB), decimal.
extern const std::array<const char*, 56> OptiFlashTable;

constexpr size_t kOptiInfoMinSize = 104;

void ResetOptiFlash(OptiFlash& flash);
void ParseOptiInfo(OptiFlash& flash, const std::string& block);
void IdentifyOptiChip(OptiFlash& flash, int k, uint8_t maker, uint32_t device, uint32_t base);

// The outcome of the summary step that follows the loader upload.
struct OptiSummary {
  bool ok = true;       // false: a chip is present but unusable (connect must end)
  int failedChip = -1;  // the first such chip
  EFlashInfo info;      // what the flash-type line shows
  std::string hint;     // one line per chip for the help icon; empty for one chip
};

// flashesText is the text of "Status_Flashes" ("flashes (? for info)").
OptiSummary SummarizeOptiFlash(const OptiFlash& flash, const std::string& flashesText);

}  // namespace brantle
