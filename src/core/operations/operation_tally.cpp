#include "operations/operation_tally.h"

#include <algorithm>

#include "formats/nor_regions.h"

namespace brantle {

void NorStretches::Add(uint32_t address, uint64_t length) {
  if (length == 0) return;
  bytes_ += length;
  const uint64_t last = std::min<uint64_t>(uint64_t{address} + length - 1, UINT32_MAX);
  NorStretch added{address, static_cast<uint32_t>(last)};
  // Stretches that overlap or touch the new one become part of it.
  const auto apart = [&added](const NorStretch& s) {
    return uint64_t{s.Last} + 1 < added.First || uint64_t{added.Last} + 1 < s.First;
  };
  for (const NorStretch& s : list_) {
    if (apart(s)) continue;
    added.First = std::min(added.First, s.First);
    added.Last = std::max(added.Last, s.Last);
  }
  list_.erase(
      std::remove_if(list_.begin(), list_.end(), [&](const NorStretch& s) { return !apart(s); }),
      list_.end());
  list_.insert(
      std::upper_bound(list_.begin(), list_.end(), added,
                       [](const NorStretch& a, const NorStretch& b) { return a.First < b.First; }),
      added);
}

std::string NorStretches::Text() const {
  std::string text;
  for (const NorStretch& s : list_)
    text += (text.empty() ? "" : ", ") + RegionHex(s.First) + "-" + RegionHex(s.Last);
  return text;
}

}  // namespace brantle
