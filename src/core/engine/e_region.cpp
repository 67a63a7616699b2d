#include "engine/e_region.h"

#include "engine/result_codes.h"

namespace brantle {

bool ERegionValid(uint32_t start, uint32_t end) {
  return start <= end && end < kESectorCount * kESectorSize;
}

int EReadRegion(EEngine& engine, uint32_t start, uint32_t end, std::string& data,
                const std::function<bool()>& cancelled, bool* wasCancelled) {
  data.clear();
  if (wasCancelled) *wasCancelled = false;
  if (!ERegionValid(start, end)) return kErrUnexpected;
  const uint32_t first = start >> 16;
  const uint32_t last = end >> 16;
  std::string buffer((last - first + 1) * kESectorSize, '\0');
  for (uint32_t s = first; s <= last; ++s) {
    auto* at = reinterpret_cast<uint8_t*>(&buffer[(s - first) * kESectorSize]);
    const int r = engine.ERead(static_cast<uint8_t>(s), kESectorSize, at);
    if (r != kOk) return r;
    if (cancelled && cancelled()) {
      if (wasCancelled) *wasCancelled = true;
      return kOk;
    }
  }
  data = buffer.substr(start & 0xFFFF, end - start + 1);
  return kOk;
}

}  // namespace brantle
