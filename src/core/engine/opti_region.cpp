#include "engine/opti_region.h"

#include <algorithm>

#include "engine/result_codes.h"

namespace brantle {

int OptiReadRegion(OptiEngine& engine, uint32_t start, uint32_t end, std::string& data,
                   const std::function<bool()>& cancelled, bool* wasCancelled) {
  constexpr uint64_t kPiece = 65536;
  data.clear();
  if (wasCancelled) *wasCancelled = false;
  if (start > end) return kOk;
  std::string buffer(uint64_t{end} - start + 1, '\0');
  for (uint64_t address = start; address <= end;) {
    const uint32_t n = static_cast<uint32_t>(std::min(uint64_t{end} - address + 1, kPiece));
    auto* at = reinterpret_cast<uint8_t*>(&buffer[address - start]);
    if (const int r = engine.ReadNOR(static_cast<uint32_t>(address), n, at); r != kOk) return r;
    if (cancelled && cancelled()) {
      if (wasCancelled) *wasCancelled = true;
      return kOk;
    }
    address += n;
  }
  data = std::move(buffer);
  return kOk;
}

}  // namespace brantle
