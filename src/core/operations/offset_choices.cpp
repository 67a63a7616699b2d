#include "operations/offset_choices.h"

#include <algorithm>

namespace brantle {
namespace {

std::vector<std::string> Entries(std::initializer_list<uint64_t> values, uint64_t limit) {
  std::vector<std::string> entries;
  for (uint64_t value : values) {
    if (value > limit) continue;
    const std::string text = RegionHex(static_cast<uint32_t>(value));
    if (std::find(entries.begin(), entries.end(), text) == entries.end()) entries.push_back(text);
  }
  return entries;
}

}  // namespace

std::vector<std::string> AreaStarts(const NorAreas& areas) {
  return Entries({0, areas.EepromStart()}, UINT32_MAX);
}

std::vector<std::string> AreaEnds(const NorAreas& areas) {
  if (areas.Total() == 0) return {};
  return Entries({uint64_t{areas.FirmwareSize} - 1, uint64_t{areas.Total()} - 1}, UINT32_MAX);
}

std::vector<std::string> FileOffsets(uint64_t fileSize, const NorAreas& areas) {
  if (fileSize == 0) return {};
  return Entries({0, areas.EepromStart()}, fileSize - 1);
}

std::vector<std::string> PartLengths(uint64_t fileSize, const NorAreas& areas) {
  std::vector<std::string> lengths = Entries({fileSize, areas.FirmwareSize, areas.EepromSize},
                                             std::min<uint64_t>(fileSize, areas.Total()));
  lengths.erase(std::remove(lengths.begin(), lengths.end(), "0"), lengths.end());
  return lengths;
}

}  // namespace brantle
