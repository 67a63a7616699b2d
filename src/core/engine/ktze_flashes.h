#pragma once
// NOR flash identification of the E families: the five-row chip table and the
// record of the chip the first loader reported.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace brantle {

// A 64 KB sector that is programmed and erased in smaller blocks.
struct SmallBlock {
  uint8_t sector = 0;
  uint32_t blockSize = 0;
};

struct EFlashInfo {
  uint8_t Known = 0;
  uint8_t MakerID = 0;
  uint8_t DeviceID = 0;
  std::string MakerName;
  std::string ModelName;
  std::vector<SmallBlock> SmallBlocks;
};

constexpr uint32_t kESectorSize = 65536;
constexpr int kESectorCount = 256;

// Rows of ";"-separated fields: maker, device, maker name, model, then pairs of
// (sector, block size); all numbers decimal.
extern const std::array<const char*, 5> EFlashTable;

void ResetEFlash(EFlashInfo& info);
void IdentifyEFlash(EFlashInfo& info, uint8_t maker, uint8_t device);

// Program/erase block size of a sector: the listed size when the chip is known and
// lists the sector (the last entry wins), else one 64 KB block.
uint32_t EBlockSize(const EFlashInfo& info, uint8_t sector);

}  // namespace brantle
