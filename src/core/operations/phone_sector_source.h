#pragma once
// The phone's NAND as a sector source for the file-system decoder and the raw
// sector dump: raw reads through the E loader, at most 32 sectors a request.

#include <cstdint>

#include "engine/ktze_flasher.h"
#include "formats/stde_decoder.h"

namespace brantle {

constexpr uint32_t kNandSectorsPerRequest = 32;

class PhoneSectorSource final : public SectorSource {
 public:
  PhoneSectorSource(EEngine& engine, uint32_t sectorCount)
      : engine_(engine), sectorCount_(sectorCount) {}
  uint32_t SectorCount() const override { return sectorCount_; }
  // A failed request is an I/O failure; its engine code stays in LastEngineError.
  int ReadSectors(uint32_t first, uint32_t count, uint8_t* buffer) override;
  int LastEngineError() const { return lastError_; }

 private:
  EEngine& engine_;
  uint32_t sectorCount_;
  int lastError_ = 0;
};

}  // namespace brantle
