#pragma once
// The phone's NAND as a sector source for the file-system decoder and the raw
// sector dump: raw reads through the E loader, at most 32 sectors a request.

#include <cstdint>
#include <functional>
#include <utility>

#include "engine/ktze_flasher.h"
#include "formats/stde_decoder.h"

namespace brantle {

constexpr uint32_t kNandSectorsPerRequest = 32;

class PhoneSectorSource final : public SectorSource {
 public:
  // Hears the engine's code of a failed request before the failure is returned.
  using FailureReport = std::function<void(int engineCode)>;

  PhoneSectorSource(EEngine& engine, uint32_t sectorCount, FailureReport report = {})
      : engine_(engine), sectorCount_(sectorCount), report_(std::move(report)) {}
  uint32_t SectorCount() const override { return sectorCount_; }
  // A failed request is an I/O failure; its engine code stays in LastEngineError.
  int ReadSectors(uint32_t first, uint32_t count, uint8_t* buffer) override;
  int LastEngineError() const { return lastError_; }

 private:
  EEngine& engine_;
  uint32_t sectorCount_;
  FailureReport report_;
  int lastError_ = 0;
};

}  // namespace brantle
