#include "engine/ktze_flashes.h"

#include "engine/text_fields.h"

namespace brantle {

const std::array<const char*, 5> EFlashTable = {
    "1;126;AMD;AM50DL128BG;0;8192;127;8192;128;8192;255;8192",
    "136;85;Intel;28F128W30;0;8192;255;8192",
    "176;177;Sharp;LRS1826;0;8192;255;8192",
    "236;226;Samsung;KBB05A300;0;8192;128;8192",
    "236;224;Samsung;KBB06A300;127;8192;255;8192",
};

void ResetEFlash(EFlashInfo& info) {
  info.Known = 0;
  info.MakerID = 0;
  info.DeviceID = 0;
  info.MakerName.clear();
  info.ModelName.clear();
  info.SmallBlocks.clear();
}

void IdentifyEFlash(EFlashInfo& info, uint8_t maker, uint8_t device) {
  info.MakerID = maker;
  info.DeviceID = device;
  // Every row is visited, so a later row with the same IDs would add its blocks as well.
  for (const char* row : EFlashTable) {
    std::string text = row;
    std::string field;
    NextField(text, field);
    if (DecimalToInt(field) != maker) continue;
    NextField(text, field);
    if (DecimalToInt(field) != device) continue;
    info.Known = 1;
    NextField(text, info.MakerName);
    NextField(text, info.ModelName);
    while (!text.empty()) {
      std::string sector;
      std::string size;
      NextField(text, sector);
      NextField(text, size);
      const int64_t s = DecimalToInt(sector);
      const int64_t b = DecimalToInt(size);
      if (s < 0 || s >= kESectorCount || b <= 0) continue;
      info.SmallBlocks.push_back({static_cast<uint8_t>(s), static_cast<uint32_t>(b)});
    }
  }
}

uint32_t EBlockSize(const EFlashInfo& info, uint8_t sector) {
  uint32_t size = kESectorSize;
  if (info.Known != 1) return size;
  for (const SmallBlock& entry : info.SmallBlocks) {
    if (entry.sector == sector) size = entry.blockSize;
  }
  return size;
}

}  // namespace brantle
