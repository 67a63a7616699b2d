// Directories and files of a mounted NAND volume: cluster chains through the FAT,
// directory records with their name checksums.
#include <algorithm>

#include "formats/stde_decoder.h"

namespace brantle {
namespace {

constexpr uint32_t kRecord = 128;
constexpr uint32_t kGroup = 128;  // entries after each checksum record
constexpr uint32_t kNameOffset = 20;
constexpr uint32_t kNameLength = 108;

uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

uint8_t NameChecksum(const uint8_t* record) {
  uint32_t sum = 0;
  for (uint32_t i = 0; i < kNameLength; ++i) sum += record[kNameOffset + i];
  return static_cast<uint8_t>(sum);
}

// The name up to its first zero byte, without blanks and control bytes at either end.
std::string NameOf(const uint8_t* record) {
  const uint8_t* name = record + kNameOffset;
  size_t end = 0;
  while (end < kNameLength && name[end] != 0) ++end;
  size_t begin = 0;
  while (begin < end && name[begin] <= 0x20) ++begin;
  while (end > begin && name[end - 1] <= 0x20) --end;
  return std::string(reinterpret_cast<const char*>(name + begin), end - begin);
}

}  // namespace

int TSTDEDecoder::ReadDirectory(uint32_t firstCluster, std::vector<TFSEntry>& entries) {
  entries.clear();
  if (!mounted_) return kSTDEInternal;
  if (!ValidChainCluster(firstCluster)) return kSTDEBlockNotFound;
  uint8_t head[2 * kRecord];
  int rc = ReadCluster(firstCluster, sizeof head, head);
  if (rc != kSTDEOk) return rc;
  const uint8_t* dot = head + kRecord;
  if (dot[0] != 0x02 || dot[1] != 0x2E || dot[kNameOffset] != 0x2E ||
      dot[kNameOffset + 1] != 0x00) {
    return kSTDEInvalidDirectory;
  }
  const uint32_t records = Be32(dot + 16);
  if (records < 2) return kSTDEInvalidDirectory;  // not even its checksum record and "."

  // Collect the chain before anything is allocated for the records: it must hold
  // them all without ending, looping or leading outside the volume.
  const uint32_t perCluster = blockSize_ / kRecord;
  const uint64_t needed = (static_cast<uint64_t>(records) + perCluster - 1) / perCluster;
  const uint64_t bytes = static_cast<uint64_t>(records) * kRecord;
  if (needed > clusterCount_ || bytes > NandBytes() || !Spend(bytes)) {
    return kSTDEInvalidDirectory;
  }
  std::vector<uint32_t> chain;
  std::vector<bool> seen(clusterCount_, false);
  uint32_t c = firstCluster;
  while (chain.size() < needed) {
    if (c == 0) return kSTDEInvalidDirectory;  // the chain ends before the records do
    if (!ValidChainCluster(c)) return kSTDEBlockNotFound;
    if (seen[c]) return kSTDEInvalidDirectory;  // the chain comes back on itself
    // A cluster that an ancestor (or any directory read before) holds: the directory
    // contains itself or an ancestor.
    if (!Claim(c)) return kSTDEInvalidDirectory;
    seen[c] = true;
    chain.push_back(c);
    c = fat_[c];
  }

  std::vector<uint8_t> data(static_cast<size_t>(records) * kRecord);
  uint32_t done = 0;
  for (uint32_t cluster : chain) {
    const uint32_t take = std::min(records - done, perCluster);
    rc = ReadCluster(cluster, take * kRecord, data.data() + static_cast<size_t>(done) * kRecord);
    if (rc != kSTDEOk) return rc;
    done += take;
  }

  for (uint32_t group = 0; group < records; group += kGroup + 1) {
    const uint8_t* sums = data.data() + static_cast<size_t>(group) * kRecord;
    for (uint32_t j = 0; j < kGroup && group + 1 + j < records; ++j) {
      const uint8_t* record = data.data() + static_cast<size_t>(group + 1 + j) * kRecord;
      const uint8_t type = record[0];
      if (type != 1 && type != 2) continue;  // unused or unknown records are not looked at
      const uint8_t sum = NameChecksum(record);
      if (sum != record[1] || sum != sums[j]) return kSTDEInvalidDirectory;
      TFSEntry entry;
      entry.Type = type;
      entry.Name = NameOf(record);
      entry.FirstCluster = Be32(record + 4);
      entry.Size = Be32(record + 16);
      entries.push_back(std::move(entry));
    }
  }
  return kSTDEOk;
}

int TSTDEDecoder::ReadFile(uint32_t firstCluster, uint32_t size, std::string& bytes,
                           const std::function<bool()>& cancelled) {
  bytes.clear();
  if (!mounted_) return kSTDEInternal;
  // Grown cluster by cluster, never from the claimed size: the chain decides.
  std::vector<bool> seen(clusterCount_, false);
  std::vector<uint8_t> buffer(blockSize_);
  uint32_t remaining = static_cast<uint32_t>(std::min<uint64_t>(size, NandBytes()));
  uint32_t c = firstCluster;
  while (remaining > 0 && c != 0) {
    if (cancelled && cancelled()) break;
    if (!ValidChainCluster(c)) return kSTDEBlockNotFound;
    if (seen[c] || !Claim(c)) break;  // a loop, or a cluster of another item: short file
    seen[c] = true;
    uint32_t take = std::min(remaining, blockSize_);
    if (trackClaims_) take = static_cast<uint32_t>(std::min<uint64_t>(take, budget_));
    if (take == 0) break;  // the dump already holds as much as the NAND can
    budget_ -= trackClaims_ ? take : 0;
    const int rc = ReadCluster(c, take, buffer.data());
    if (rc != kSTDEOk) return rc;
    bytes.append(reinterpret_cast<const char*>(buffer.data()), take);
    remaining -= take;
    c = fat_[c];
  }
  return kSTDEOk;
}

}  // namespace brantle
