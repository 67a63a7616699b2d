#pragma once
// Lays out a NAND file system volume (layout 3.03, or 3.12 with given rotation
// values) from a tree of directories and files: superblock and its copy, remap record
// with bad-block pairs and spare assignments, FAT pages, directories of 128-byte
// records with their checksum records and "." / ".." entries, files in cluster
// chains. The virtual phone keeps its NAND in such an image, and tests build volumes
// with it and then damage them through the offsets it reports.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace brantle::sim {

// Big-endian stores into an image, as the volume's structures are.
void PutBe16(std::vector<uint8_t>& image, size_t offset, uint16_t value);
void PutBe32(std::vector<uint8_t>& image, size_t offset, uint32_t value);

class TfsVolumeBuilder {
 public:
  static constexpr uint32_t kSector = 512;
  static constexpr uint32_t kRecord = 128;
  static constexpr uint32_t kRootCluster = 3;
  static constexpr uint16_t kNone = 0xFFFF;

  // Superblock offsets (first sector of blocks 0 and 1).
  static constexpr size_t kSuperVersion = 5;     // 2 bytes
  static constexpr size_t kSuperVersionTag = 7;  // 0x27 for 3.03, 0x29 for 3.12
  static constexpr size_t kSuperBlockSize = 8;   // 4 bytes
  static constexpr size_t kSuperLastBlock = 12;
  // Offsets inside a 128-byte directory entry.
  static constexpr size_t kEntryType = 0;
  static constexpr size_t kEntryChecksum = 1;
  static constexpr size_t kEntryFirstCluster = 4;
  static constexpr size_t kEntrySize = 16;
  static constexpr size_t kEntryName = 20;
  // Offsets inside a remap record sector.
  static constexpr size_t kRemap303Generation = 72;  // 4 bytes, least significant first
  static constexpr size_t kRemap303Spares = 80;
  static constexpr size_t kRemap312Spares = 86;

  void SetVersion(uint16_t version) { version_ = version; }  // 0x0303 (default) or 0x0312
  // A multiple of 512; the default 16 KiB lets the FAT cover a 32 MiB NAND.
  void SetBlockSize(uint32_t bytes) { blockSize_ = bytes; }
  void SetSpareCount(uint32_t count) { spareCount_ = count; }
  void SetRemapBlocks(uint32_t count) { remapBlocks_ = count; }  // 3.03; 3.12 uses one
  void SetRotation(uint16_t r0, uint16_t r1, uint16_t r2) { rotation_ = {r0, r1, r2}; }
  void SetGeneration(uint32_t generation) { generation_ = generation; }
  // Blocks a and b trade places on the NAND; the remap record says so.
  void AddBadBlockPair(uint16_t a, uint16_t b) { badPairs_.emplace_back(a, b); }
  // The data of cluster lies in spare block k; its own block holds rubbish.
  void AssignSpare(uint32_t k, uint32_t cluster) { spares_[k] = cluster; }

  // Paths are absolute ("/a/b"); missing parent directories are made. Entries keep
  // the order in which they were added.
  void AddDirectory(const std::string& path);
  void AddFile(const std::string& path, const std::string& bytes);

  // The image of sectorCount sectors. Throws std::invalid_argument when the tree or
  // the options do not fit the volume.
  std::vector<uint8_t> Build(uint32_t sectorCount);

  // Where the last Build put things.
  struct Layout {
    uint32_t BlockSize = 0;
    uint32_t LastBlock = 0;
    uint32_t RemapStart = 0;
    uint32_t RemapCount = 0;
    uint32_t DataStart = 0;
    uint32_t ClusterCount = 0;
    uint32_t AreaCount = 0;  // 3.12
    uint32_t SpareStart = 0;
    uint32_t SpareCount = 0;
  };
  const Layout& layout() const { return layout_; }
  // Image offset of block b as the volume addresses it (bad-block swaps applied).
  size_t BlockOffset(uint32_t block) const;
  // Image offset of the data of cluster c (spares and swaps applied).
  size_t ClusterOffset(uint32_t cluster) const;
  // The cluster chain of a directory or file ("/" is the root); empty for an empty file.
  std::vector<uint32_t> Chain(const std::string& path) const;
  // Image offset of the 128-byte entry of path in its parent directory.
  size_t EntryOffset(const std::string& path) const;
  // Image offset of the FAT entry of cluster c, and of sector i of the remap area.
  size_t FatEntryOffset(uint32_t cluster) const;
  size_t RemapSectorOffset(uint32_t sector) const;
  // The 3.12 placement the builder used: slot s holds cluster P[s].
  const std::vector<uint32_t>& Placement() const { return placement_; }

 private:
  struct Node {
    std::string Name;
    bool Directory = true;
    std::string Bytes;
    std::vector<size_t> Children;  // indexes into nodes_
    size_t Parent = 0;
    std::vector<uint32_t> Chain;
    size_t Index = 0;  // entry index in the parent ("." is 0, ".." is 1)
  };

  size_t NodeOf(const std::string& path, bool create, bool directory);
  size_t Find(const std::string& path) const;
  uint32_t RecordsOf(const Node& node) const;
  void Allocate(uint32_t& nextCluster);
  void ComputePlacement();
  void WriteDirectory(const Node& node, std::vector<uint8_t>& logical) const;
  void WriteRemapRecord(std::vector<uint8_t>& logical) const;
  void WriteFat(std::vector<uint8_t>& logical, const std::vector<uint16_t>& fat) const;
  size_t LogicalClusterOffset(uint32_t cluster) const;

  uint16_t version_ = 0x0303;
  uint32_t blockSize_ = 16384;
  uint32_t spareCount_ = 4;
  uint32_t remapBlocks_ = 1;
  std::vector<uint16_t> rotation_ = {0, 0, 0};
  uint32_t generation_ = 1;
  std::vector<std::pair<uint16_t, uint16_t>> badPairs_;
  std::map<uint32_t, uint32_t> spares_;  // spare block index -> cluster
  std::vector<Node> nodes_ = {Node{}};   // node 0 is the root

  Layout layout_;
  std::vector<uint32_t> remap_;         // block -> physical block
  std::vector<uint32_t> clusterBlock_;  // cluster -> block
  std::vector<uint32_t> placement_;
};

}  // namespace brantle::sim
