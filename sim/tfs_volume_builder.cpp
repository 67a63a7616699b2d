#include "sim/tfs_volume_builder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace brantle::sim {
namespace {

constexpr uint32_t kGroup = 128;  // entries after each checksum record
constexpr uint32_t kNameLength = 108;
constexpr uint8_t kSparedRubbish = 0xA5;  // what a block replaced by a spare still holds

[[noreturn]] void Fail(const std::string& why) {
  throw std::invalid_argument(why);
}

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t slash = path.find('/', start);
    const size_t end = slash == std::string::npos ? path.size() : slash;
    if (end > start) parts.push_back(path.substr(start, end - start));
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return parts;
}

uint8_t NameSum(const std::string& name) {
  uint32_t sum = 0;
  for (unsigned char ch : name) sum += ch;
  return static_cast<uint8_t>(sum);
}

}  // namespace

void PutBe16(std::vector<uint8_t>& image, size_t offset, uint16_t value) {
  image.at(offset) = static_cast<uint8_t>(value >> 8);
  image.at(offset + 1) = static_cast<uint8_t>(value);
}

void PutBe32(std::vector<uint8_t>& image, size_t offset, uint32_t value) {
  PutBe16(image, offset, static_cast<uint16_t>(value >> 16));
  PutBe16(image, offset + 2, static_cast<uint16_t>(value));
}

size_t TfsVolumeBuilder::Find(const std::string& path) const {
  size_t node = 0;
  for (const std::string& part : Split(path)) {
    size_t found = SIZE_MAX;
    for (size_t child : nodes_[node].Children) {
      if (nodes_[child].Name == part) found = child;
    }
    if (found == SIZE_MAX) Fail("no such entry: " + path);
    node = found;
  }
  return node;
}

size_t TfsVolumeBuilder::NodeOf(const std::string& path, bool create, bool directory) {
  const std::vector<std::string> parts = Split(path);
  if (parts.empty()) Fail("the root cannot be added");
  size_t node = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    if (parts[i].size() > kNameLength || parts[i] == "." || parts[i] == "..") {
      Fail("unusable name: " + parts[i]);
    }
    if (!nodes_[node].Directory) Fail("not a directory on the way to " + path);
    size_t found = SIZE_MAX;
    for (size_t child : nodes_[node].Children) {
      if (nodes_[child].Name == parts[i]) found = child;
    }
    if (found != SIZE_MAX) {
      if (last && (!directory || !nodes_[found].Directory)) Fail("entry exists: " + path);
      node = found;
      continue;
    }
    if (!create) Fail("no such entry: " + path);
    Node added;
    added.Name = parts[i];
    added.Directory = !last || directory;
    added.Parent = node;
    added.Index = 2 + nodes_[node].Children.size();
    nodes_.push_back(added);
    nodes_[node].Children.push_back(nodes_.size() - 1);
    node = nodes_.size() - 1;
  }
  return node;
}

void TfsVolumeBuilder::AddDirectory(const std::string& path) {
  NodeOf(path, true, true);
}

void TfsVolumeBuilder::AddFile(const std::string& path, const std::string& bytes) {
  nodes_[NodeOf(path, true, false)].Bytes = bytes;
}

uint32_t TfsVolumeBuilder::RecordsOf(const Node& node) const {
  const uint32_t entries = 2 + static_cast<uint32_t>(node.Children.size());  // "." and ".."
  return entries + (entries + kGroup - 1) / kGroup;  // one checksum record per group
}

void TfsVolumeBuilder::Allocate(uint32_t& nextCluster) {
  for (size_t i = 0; i < nodes_.size(); ++i) {
    Node& node = nodes_[i];
    node.Chain.clear();
    const uint64_t bytes = node.Directory ? uint64_t{RecordsOf(node)} * kRecord : node.Bytes.size();
    const uint64_t clusters = (bytes + blockSize_ - 1) / blockSize_;
    for (uint64_t k = 0; k < clusters; ++k) {
      if (i == 0 && k == 0) {
        node.Chain.push_back(kRootCluster);
        continue;
      }
      if (nextCluster >= layout_.ClusterCount) Fail("the tree does not fit the volume");
      node.Chain.push_back(nextCluster++);
    }
  }
}

// Slot s of the rotating area holds cluster P[s]: the run of slots from R2 to R1
// takes the clusters from R0 on, the first empty slots from R0 on take the clusters
// from 0, and the remaining slots the remaining clusters in order.
void TfsVolumeBuilder::ComputePlacement() {
  const uint32_t n = layout_.AreaCount;
  const uint32_t r0 = rotation_[0], r1 = rotation_[1], r2 = rotation_[2];
  if (r0 >= n || r1 >= n || r2 >= n) Fail("rotation values outside the area");
  const uint32_t run = (r1 + n - r2) % n;
  if (2 * run > n) Fail("rotation run longer than half the area");
  std::vector<int64_t> p(n, -1);
  for (uint32_t k = 0; k < run; ++k) p[(r2 + k) % n] = (r0 + k) % n;
  uint32_t value = 0;
  for (uint32_t s = r0; value < run; s = (s + 1) % n) {
    if (p[s] < 0) p[s] = value++;
  }
  std::vector<bool> taken(n, false);
  for (int64_t v : p) {
    if (v >= 0) taken[static_cast<size_t>(v)] = true;
  }
  uint32_t x = value;
  for (uint32_t s = 0; s < n; ++s) {
    if (p[s] >= 0) continue;
    while (taken[x]) x = (x + 1) % n;
    p[s] = x;
    taken[x] = true;
  }
  placement_.assign(p.begin(), p.end());
  // The decoder's rule skips exactly the run placed first; the builder's "next value
  // not yet placed" agrees with it only when the placement is a permutation.
  std::vector<bool> seen(n, false);
  for (uint32_t v : placement_) {
    if (seen[v]) Fail("rotation values give no placement");
    seen[v] = true;
  }
}

std::vector<uint8_t> TfsVolumeBuilder::Build(uint32_t sectorCount) {
  if (blockSize_ == 0 || blockSize_ % kSector != 0) Fail("block size not a multiple of 512");
  const uint32_t perBlock = blockSize_ / kSector;
  const uint32_t blocks = sectorCount / perBlock;
  if (blocks < 16 || blocks > 65536) Fail("volume size out of range");
  Layout& l = layout_;
  l = Layout{};
  l.BlockSize = blockSize_;
  l.LastBlock = blocks - 1;
  l.SpareCount = spareCount_;
  if (version_ == 0x0303) {
    l.RemapStart = 2;
    l.RemapCount = remapBlocks_;
    l.DataStart = l.RemapStart + l.RemapCount;
    l.SpareStart = l.LastBlock - l.SpareCount;
    if (l.SpareStart <= l.DataStart + 4 || kRemap303Spares + 2 * spareCount_ > kSector) {
      Fail("no room for the data area");
    }
    l.ClusterCount = l.SpareStart - l.DataStart;
  } else if (version_ == 0x0312) {
    l.DataStart = 2;
    l.RemapCount = 1;
    l.AreaCount = l.LastBlock - l.DataStart;
    if (l.AreaCount <= l.SpareCount + l.RemapCount + 4 || kRemap312Spares + 2 * spareCount_ > 492) {
      Fail("no room for the data area");
    }
    l.ClusterCount = l.AreaCount - l.SpareCount - l.RemapCount;
    l.SpareStart = l.ClusterCount;
  } else {
    Fail("unknown version");
  }
  if (l.ClusterCount > 0xFFFE) Fail("too many clusters");
  if ((l.ClusterCount + 253) / 254 > 2 * perBlock) Fail("the FAT cannot hold every cluster");

  // Where each cluster lies; the blocks that spares replace keep rubbish.
  std::vector<uint32_t> sparedBlocks;
  if (version_ == 0x0303) {
    clusterBlock_.resize(l.ClusterCount);
    for (uint32_t c = 0; c < l.ClusterCount; ++c) clusterBlock_[c] = l.DataStart + c;
    for (const auto& [k, cluster] : spares_) {
      if (k >= l.SpareCount || cluster >= l.ClusterCount) Fail("spare assignment out of range");
      sparedBlocks.push_back(clusterBlock_[cluster]);
      clusterBlock_[cluster] = l.SpareStart + k;
    }
  } else {
    ComputePlacement();
    clusterBlock_.assign(l.AreaCount, 0);
    for (uint32_t s = 0; s < l.AreaCount; ++s) clusterBlock_[placement_[s]] = l.DataStart + s;
    l.RemapStart = clusterBlock_[l.ClusterCount + l.SpareCount];
    for (const auto& [k, cluster] : spares_) {
      if (k >= l.SpareCount || cluster >= l.AreaCount) Fail("spare assignment out of range");
      sparedBlocks.push_back(clusterBlock_[cluster]);
      clusterBlock_[cluster] = clusterBlock_[l.SpareStart + k];
    }
  }
  remap_.resize(blocks);
  for (uint32_t b = 0; b < blocks; ++b) remap_[b] = b;
  for (const auto& [a, b] : badPairs_) {
    const uint32_t lowest = std::min<uint32_t>(a, b);
    if (a > l.LastBlock || b > l.LastBlock || lowest < 2 ||
        (version_ == 0x0303 && lowest < l.DataStart) || a == l.RemapStart || b == l.RemapStart ||
        remap_[a] != a || remap_[b] != b) {
      Fail("bad-block pair not usable");
    }
    remap_[a] = b;
    remap_[b] = a;
  }

  uint32_t nextCluster = kRootCluster + 1;
  Allocate(nextCluster);
  std::vector<uint16_t> fat(l.ClusterCount, 0);
  for (const Node& node : nodes_) {
    for (size_t k = 0; k + 1 < node.Chain.size(); ++k) {
      fat[node.Chain[k]] = static_cast<uint16_t>(node.Chain[k + 1]);
    }
  }

  // The volume as addressed by block number; the swaps move it into place at the end.
  std::vector<uint8_t> logical(static_cast<size_t>(blocks) * blockSize_, 0xFF);
  for (uint32_t block : sparedBlocks) {
    std::fill_n(logical.begin() + static_cast<size_t>(block) * blockSize_, blockSize_,
                kSparedRubbish);
  }
  std::vector<uint8_t> super(kSector, 0);
  super[0] = 0x3F;
  super[1] = 0xFF;
  super[4] = 0x20;
  PutBe16(super, kSuperVersion, version_);
  super[kSuperVersionTag] = version_ == 0x0303 ? 0x27 : 0x29;
  PutBe32(super, kSuperBlockSize, blockSize_);
  PutBe16(super, kSuperLastBlock, static_cast<uint16_t>(l.LastBlock));
  PutBe32(super, 16, l.ClusterCount * perBlock);
  PutBe32(super, 20, 1);
  PutBe16(super, 24, static_cast<uint16_t>(l.RemapStart));
  PutBe16(super, 28, static_cast<uint16_t>(l.DataStart));
  if (version_ == 0x0303) {
    PutBe16(super, 26, static_cast<uint16_t>(l.RemapCount));
    PutBe16(super, 30, static_cast<uint16_t>(l.ClusterCount));
    PutBe16(super, 32, static_cast<uint16_t>(l.SpareStart));
    PutBe16(super, 34, static_cast<uint16_t>(l.SpareCount));
    PutBe16(super, 36, static_cast<uint16_t>(l.LastBlock));
  } else {
    PutBe16(super, 30, static_cast<uint16_t>(l.AreaCount));
    PutBe16(super, 32, static_cast<uint16_t>(l.ClusterCount));
    PutBe16(super, 34, static_cast<uint16_t>(l.SpareCount));
    PutBe16(super, 36, static_cast<uint16_t>(l.RemapCount));
    PutBe16(super, 38, static_cast<uint16_t>(l.LastBlock));
  }
  for (uint32_t copy = 0; copy < 2; ++copy) {
    std::fill_n(logical.begin() + copy * blockSize_, blockSize_, 0);
    std::copy(super.begin(), super.end(), logical.begin() + copy * blockSize_);
  }
  WriteRemapRecord(logical);
  WriteFat(logical, fat);
  for (const Node& node : nodes_) {
    if (node.Directory) {
      WriteDirectory(node, logical);
      continue;
    }
    for (size_t k = 0; k < node.Chain.size(); ++k) {
      const size_t from = k * blockSize_;
      const size_t n = std::min<size_t>(blockSize_, node.Bytes.size() - from);
      std::memcpy(logical.data() + LogicalClusterOffset(node.Chain[k]), node.Bytes.data() + from,
                  n);
    }
  }

  std::vector<uint8_t> image(static_cast<size_t>(sectorCount) * kSector, 0xFF);
  for (uint32_t b = 0; b < blocks; ++b) {
    std::memcpy(image.data() + static_cast<size_t>(remap_[b]) * blockSize_,
                logical.data() + static_cast<size_t>(b) * blockSize_, blockSize_);
  }
  return image;
}

size_t TfsVolumeBuilder::LogicalClusterOffset(uint32_t cluster) const {
  return static_cast<size_t>(clusterBlock_.at(cluster)) * blockSize_;
}

void TfsVolumeBuilder::WriteRemapRecord(std::vector<uint8_t>& logical) const {
  const size_t at = static_cast<size_t>(layout_.RemapStart) * blockSize_;
  std::fill_n(logical.begin() + at, blockSize_ * (version_ == 0x0303 ? layout_.RemapCount : 1),
              0xFF);
  std::vector<uint8_t> r(kSector, 0);
  r[0] = 0x3F;
  r[1] = 0xFF;
  const bool v303 = version_ == 0x0303;
  const size_t pairsAt = v303 ? 4 : 6;
  const size_t pairs = v303 ? 17 : 16;
  if (badPairs_.size() > pairs) Fail("too many bad-block pairs");
  for (size_t k = 0; k < pairs; ++k) {
    const bool used = k < badPairs_.size();
    PutBe16(r, pairsAt + 4 * k, used ? badPairs_[k].first : kNone);
    PutBe16(r, pairsAt + 4 * k + 2, used ? badPairs_[k].second : kNone);
  }
  const size_t sparesAt = v303 ? kRemap303Spares : kRemap312Spares;
  for (uint32_t k = 0; k < layout_.SpareCount; ++k) {
    const auto it = spares_.find(k);
    PutBe16(r, sparesAt + 2 * k, it == spares_.end() ? kNone : static_cast<uint16_t>(it->second));
  }
  if (v303) {
    for (int i = 0; i < 4; ++i)
      r[kRemap303Generation + i] = static_cast<uint8_t>(generation_ >> (8 * i));
  } else {
    for (size_t off : {size_t{2}, size_t{80}, size_t{492}, size_t{510}}) PutBe16(r, off, 0xAAAA);
    PutBe16(r, 494, rotation_[0]);
    PutBe16(r, 496, rotation_[1]);
    PutBe16(r, 498, rotation_[2]);
    PutBe16(r, 506, static_cast<uint16_t>(generation_));
  }
  std::copy(r.begin(), r.end(), logical.begin() + at);
}

void TfsVolumeBuilder::WriteFat(std::vector<uint8_t>& logical,
                                const std::vector<uint16_t>& fat) const {
  const uint32_t pages = (layout_.ClusterCount + 253) / 254;
  for (uint32_t p = 0; p < 2 * (blockSize_ / kSector); ++p) {
    std::vector<uint8_t> s(kSector, 0xFF);
    if (p < pages) {
      PutBe16(s, 0, static_cast<uint16_t>(p));
      for (uint32_t e = 0; e < 254 && p * 254 + e < fat.size(); ++e) {
        PutBe16(s, 4 + 2 * e, fat[p * 254 + e]);
      }
    }
    const uint32_t cluster = 1 + p / (blockSize_ / kSector);
    const size_t at = LogicalClusterOffset(cluster) + (p % (blockSize_ / kSector)) * kSector;
    std::copy(s.begin(), s.end(), logical.begin() + at);
  }
}

void TfsVolumeBuilder::WriteDirectory(const Node& node, std::vector<uint8_t>& logical) const {
  struct Entry {
    uint8_t Type;
    std::string Name;
    uint32_t First;
    uint32_t Size;
  };
  std::vector<Entry> entries;
  entries.push_back({2, ".", node.Chain.at(0), RecordsOf(node)});
  const Node& parent = nodes_[node.Parent];
  entries.push_back({2, "..", parent.Chain.at(0), 0});
  for (size_t child : node.Children) {
    const Node& c = nodes_[child];
    entries.push_back({static_cast<uint8_t>(c.Directory ? 2 : 1), c.Name,
                       c.Chain.empty() ? 0 : c.Chain[0],
                       c.Directory ? 0 : static_cast<uint32_t>(c.Bytes.size())});
  }
  std::vector<uint8_t> records(static_cast<size_t>(RecordsOf(node)) * kRecord, 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    const size_t group = i / kGroup;
    const size_t sums = group * (kGroup + 1) * kRecord;
    const size_t at = (group * (kGroup + 1) + 1 + i % kGroup) * kRecord;
    const Entry& e = entries[i];
    records[at + kEntryType] = e.Type;
    records[at + kEntryChecksum] = NameSum(e.Name);
    PutBe32(records, at + kEntryFirstCluster, e.First);
    PutBe32(records, at + kEntrySize, e.Size);
    std::copy(e.Name.begin(), e.Name.end(), records.begin() + at + kEntryName);
    records[sums + i % kGroup] = NameSum(e.Name);
  }
  for (size_t k = 0; k < node.Chain.size(); ++k) {
    const size_t from = k * blockSize_;
    const size_t n = std::min<size_t>(blockSize_, records.size() - from);
    std::fill_n(logical.begin() + LogicalClusterOffset(node.Chain[k]), blockSize_, 0);
    std::memcpy(logical.data() + LogicalClusterOffset(node.Chain[k]), records.data() + from, n);
  }
}

size_t TfsVolumeBuilder::BlockOffset(uint32_t block) const {
  return static_cast<size_t>(remap_.at(block)) * blockSize_;
}

size_t TfsVolumeBuilder::ClusterOffset(uint32_t cluster) const {
  return BlockOffset(clusterBlock_.at(cluster));
}

std::vector<uint32_t> TfsVolumeBuilder::Chain(const std::string& path) const {
  return nodes_[Find(path)].Chain;
}

size_t TfsVolumeBuilder::EntryOffset(const std::string& path) const {
  const Node& node = nodes_[Find(path)];
  const Node& parent = nodes_[node.Parent];
  const size_t record = (node.Index / kGroup) * (kGroup + 1) + 1 + node.Index % kGroup;
  const size_t byte = record * kRecord;
  return ClusterOffset(parent.Chain.at(byte / blockSize_)) + byte % blockSize_;
}

size_t TfsVolumeBuilder::FatEntryOffset(uint32_t cluster) const {
  const uint32_t perBlock = blockSize_ / kSector;
  const uint32_t page = cluster / 254;
  return ClusterOffset(1 + page / perBlock) + (page % perBlock) * kSector + 4 + 2 * (cluster % 254);
}

size_t TfsVolumeBuilder::RemapSectorOffset(uint32_t sector) const {
  return BlockOffset(layout_.RemapStart) + static_cast<size_t>(sector) * kSector;
}

}  // namespace brantle::sim
