#include "operations/phone_sector_source.h"

#include <algorithm>

namespace brantle {

int PhoneSectorSource::ReadSectors(uint32_t first, uint32_t count, uint8_t* buffer) {
  if (first > sectorCount_ || count > sectorCount_ - first) return kSTDESectorNotFound;
  for (uint32_t done = 0; done < count;) {
    const uint32_t n = std::min(count - done, kNandSectorsPerRequest);
    // Sector numbers travel as 16 bits; the count check above keeps them below 65536.
    lastError_ = engine_.ENANDRead(static_cast<uint16_t>(first + done), static_cast<uint16_t>(n),
                                   buffer + size_t{done} * kNandSectorSize);
    if (lastError_ != 0) {
      if (report_) report_(lastError_);
      return kSTDEIOFailure;
    }
    done += n;
  }
  return kSTDEOk;
}

}  // namespace brantle
