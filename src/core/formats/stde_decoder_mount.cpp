// Mounting a NAND volume: superblock and its copy, the remap records (bad-block swaps,
// spare blocks, the rotating area of 3.12), and the FAT.
#include <algorithm>
#include <cstring>

#include "formats/stde_decoder.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

constexpr uint16_t kVersion303 = 0x0303;
constexpr uint16_t kVersion312 = 0x0312;
constexpr uint16_t kNone = 0xFFFF;

uint32_t Be16(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 8 | p[1];
}
uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[3]) << 24 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[1]) << 8 | p[0];
}
bool IsAA(const uint8_t* p) {
  return p[0] == 0xAA && p[1] == 0xAA;
}

// Where the spare assignment list of a remap record starts; it must end inside the
// sector (3.12: before the signature at 492).
constexpr uint32_t kSpareList303 = 80;
constexpr uint32_t kSpareList312 = 86;
constexpr uint32_t kSpareEnd303 = 512;
constexpr uint32_t kSpareEnd312 = 492;

}  // namespace

bool TfsRotationPlacement(uint32_t n, uint32_t r0, uint32_t r1, uint32_t r2,
                          std::vector<uint32_t>& placement) {
  placement.clear();
  if (n == 0 || r0 >= n || r1 >= n || r2 >= n) return false;
  constexpr uint32_t kEmpty = UINT32_MAX;
  std::vector<uint32_t> p(n, kEmpty);
  auto next = [n](uint32_t v) { return v + 1 == n ? 0 : v + 1; };
  const uint32_t shift = (r1 + n - r2) % n;  // (R1 - R2) modulo N
  // (a) the run from slot R2 up to R1 holds the values from R0 on.
  uint32_t x = r0;
  uint32_t filled = 0;
  for (uint32_t s = r2; s != r1; s = next(s)) {
    p[s] = x;
    x = next(x);
    ++filled;
  }
  // (b) the first empty slots from R0 on take the values from 0; there must be as many
  // empty slots as asked for, or the walk would never end.
  if (static_cast<uint64_t>(filled) + shift > n) return false;
  x = 0;
  uint32_t s = r0;
  for (uint32_t count = shift; count > 0; s = next(s)) {
    if (p[s] == kEmpty) {
      p[s] = x;
      x = next(x);
      --count;
    }
  }
  // (c) the remaining slots in order take the remaining values, skipping the run
  // that (a) placed.
  for (s = 0; s < n; ++s) {
    if (x == r0) x = (x + shift) % n;
    if (p[s] == kEmpty) {
      p[s] = x;
      x = next(x);
    }
  }
  placement = std::move(p);
  return true;
}

void TSTDEDecoder::Status(const std::string& text) const {
  if (status_) status_(text);
}

void TSTDEDecoder::TrackClaims(bool on) {
  trackClaims_ = on;
  claimed_.assign(on ? clusterCount_ : 0, false);
  budget_ = NandBytes();
}

uint64_t TSTDEDecoder::NandBytes() const {
  return static_cast<uint64_t>(source_.SectorCount()) * kNandSectorSize;
}

bool TSTDEDecoder::Spend(uint64_t bytes) {
  if (!trackClaims_) return true;
  if (bytes > budget_) return false;
  budget_ -= bytes;
  return true;
}

bool TSTDEDecoder::Claim(uint32_t c) {
  if (!trackClaims_) return true;
  if (c >= claimed_.size() || claimed_[c]) return false;
  claimed_[c] = true;
  return true;
}

int TSTDEDecoder::ReadPhysical(uint32_t physicalBlock, uint32_t bytes, uint8_t* out) {
  if (blockSize_ == 0 || blockSize_ % kNandSectorSize != 0) return kSTDEInternal;
  const uint64_t first = static_cast<uint64_t>(physicalBlock) * (blockSize_ / kNandSectorSize);
  const uint32_t sectors = (bytes + kNandSectorSize - 1) / kNandSectorSize;
  // Checked here so that a block size the NAND cannot hold is never allocated.
  if (first + sectors > source_.SectorCount()) return kSTDESectorNotFound;
  if (bytes % kNandSectorSize == 0) {
    return source_.ReadSectors(static_cast<uint32_t>(first), sectors, out);
  }
  std::vector<uint8_t> buffer(static_cast<size_t>(sectors) * kNandSectorSize);
  const int rc = source_.ReadSectors(static_cast<uint32_t>(first), sectors, buffer.data());
  if (rc == kSTDEOk) std::memcpy(out, buffer.data(), bytes);
  return rc;
}

int TSTDEDecoder::ReadBlock(uint32_t block, uint32_t bytes, uint8_t* out) {
  if (blockSize_ == 0 || blockSize_ % kNandSectorSize != 0) return kSTDEInternal;
  if (block > lastBlock_ || block >= remap_.size()) return kSTDEBlockNotFound;
  return ReadPhysical(remap_[block], bytes, out);
}

int TSTDEDecoder::ReadCluster(uint32_t cluster, uint32_t bytes, uint8_t* out) {
  if (cluster >= clusterMap_.size()) return kSTDEBlockNotFound;
  return ReadBlock(clusterMap_[cluster], bytes, out);
}

void TSTDEDecoder::ResetClusterMap() {
  const uint32_t length = version_ == kVersion312 ? areaCount_ : clusterCount_;
  clusterMap_.resize(length);
  for (uint32_t c = 0; c < length; ++c) clusterMap_[c] = dataStart_ + c;
}

int TSTDEDecoder::Mount() {
  mounted_ = false;
  Status(LangGet("STD_Mounting_Volume"));
  uint8_t sector[kNandSectorSize];
  int rc = source_.ReadSectors(0, 1, sector);
  if (rc != kSTDEOk) return rc;
  if (sector[0] != 0x3F || sector[1] != 0xFF || sector[4] != 0x20 || Be32(sector + 20) != 1) {
    return kSTDEInvalidSuperblock;
  }
  version_ = static_cast<uint16_t>(Be16(sector + 5));
  if (version_ == kVersion303) {
    if (sector[7] != 0x27) return kSTDEInvalidSuperblock;
  } else if (version_ == kVersion312) {
    if (sector[7] != 0x29) return kSTDEInvalidSuperblock;
  } else {
    return kSTDEUnsupportedVersion;
  }
  blockSize_ = Be32(sector + 8);
  // A block of no bytes cannot hold anything (and would divide by zero later on).
  if (blockSize_ == 0 || blockSize_ % kNandSectorSize != 0 ||
      blockSize_ / kNandSectorSize > source_.SectorCount()) {
    return kSTDEInvalidSuperblock;  // a block larger than the whole NAND cannot exist
  }
  lastBlock_ = Be16(sector + 12);
  remap_.resize(static_cast<size_t>(lastBlock_) + 1);
  for (uint32_t b = 0; b <= lastBlock_; ++b) remap_[b] = b;

  std::vector<uint8_t> super;
  rc = ReadSuperblocks(super);
  if (rc != kSTDEOk) return rc;
  rc = TakeFields(super);
  if (rc != kSTDEOk) return rc;

  Status(LangGet("STD_Reading_Information"));
  ResetClusterMap();
  fat_.assign(clusterCount_, kNone);
  rc = ReadRemapArea();
  if (rc != kSTDEOk) return rc;
  rc = ReadFat();
  if (rc != kSTDEOk) return rc;
  mounted_ = true;
  return kSTDEOk;
}

int TSTDEDecoder::ReadSuperblocks(std::vector<uint8_t>& super) {
  uint8_t copies[2][kNandSectorSize];
  for (uint32_t i = 0; i < 2; ++i) {
    Status(LangGet("STD_Mounting_Superblock") + " " + std::to_string(i));
    const int rc = ReadBlock(i, kNandSectorSize, copies[i]);
    if (rc != kSTDEOk) return rc;
  }
  if (std::memcmp(copies[0], copies[1], kNandSectorSize) != 0) return kSTDESuperblockMismatch;
  super.assign(copies[1], copies[1] + kNandSectorSize);
  return kSTDEOk;
}

int TSTDEDecoder::TakeFields(const std::vector<uint8_t>& super) {
  const uint8_t* s = super.data();
  // The copies may differ from sector 0 as first read (a source that changed between
  // reads); the fields of the checked copy must agree with what was validated.
  if (Be32(s + 8) != blockSize_ || Be16(s + 12) != lastBlock_ || Be16(s + 5) != version_) {
    return kSTDESuperblockMismatch;
  }
  dataSectors_ = Be32(s + 16);
  remapStart_ = Be16(s + 24);
  dataStart_ = Be16(s + 28);
  const int64_t last = lastBlock_;
  const int64_t dataSectors = dataSectors_;
  const int64_t perBlock = blockSize_ / kNandSectorSize;
  if (version_ == kVersion303) {
    remapCount_ = Be16(s + 26);
    clusterCount_ = Be16(s + 30);
    spareStart_ = Be16(s + 32);
    spareCount_ = Be16(s + 34);
    areaCount_ = 0;
    const int64_t clusters = clusterCount_;
    if (Be16(s + 36) != lastBlock_ || clusters * perBlock != dataSectors ||
        clusters != last - spareCount_ - dataStart_ ||
        static_cast<int64_t>(dataStart_) + clusters != spareStart_ ||
        static_cast<int64_t>(spareStart_) + spareCount_ != last ||
        kSpareList303 + 2 * spareCount_ > kSpareEnd303) {
      return kSTDEInconsistentVolume;
    }
  } else {
    areaCount_ = Be16(s + 30);
    clusterCount_ = Be16(s + 32);
    spareCount_ = Be16(s + 34);
    remapCount_ = Be16(s + 36);
    spareStart_ = clusterCount_;
    const int64_t clusters = clusterCount_;
    if (Be16(s + 38) != lastBlock_ || clusters * perBlock != dataSectors ||
        last != static_cast<int64_t>(dataStart_) + clusters + spareCount_ + remapCount_ ||
        last != static_cast<int64_t>(dataStart_) + areaCount_ ||
        static_cast<int64_t>(areaCount_) != clusters + remapCount_ + spareCount_ ||
        kSpareList312 + 2 * spareCount_ > kSpareEnd312) {
      return kSTDEInconsistentVolume;
    }
  }
  return kSTDEOk;
}

int TSTDEDecoder::ReadRemapArea() {
  std::vector<uint8_t> block(blockSize_);
  bool haveRecord = false;
  uint32_t best = 0;
  for (uint32_t i = 0; i < remapCount_; ++i) {
    Status(LangGet("STD_Reading_Remap") + " " + std::to_string(i));
    // The remap area is read where it physically lies: the table it holds is being
    // rebuilt and cannot redirect its own reading.
    const uint32_t b = remapStart_ + i;
    if (b > lastBlock_) return kSTDEBlockNotFound;
    const int rc = ReadPhysical(b, blockSize_, block.data());
    if (rc != kSTDEOk) return rc;
    for (uint32_t off = 0; off < blockSize_; off += kNandSectorSize) {
      const uint8_t* sector = block.data() + off;
      if (sector[0] == 0xFF && sector[1] == 0xFF && sector[2] == 0xFF && sector[3] == 0xFF) {
        continue;
      }
      if (sector[0] != 0x3F || sector[1] != 0xFF) return kSTDEInvalidRemap;
      uint32_t generation;
      if (version_ == kVersion303) {
        generation = Le32(sector + 72);
      } else {
        if (!IsAA(sector + 2) || !IsAA(sector + 80) || !IsAA(sector + 492) || !IsAA(sector + 510)) {
          return kSTDEInvalidRemap;
        }
        generation = Be16(sector + 506);
      }
      // Not below the best seen: a later record with an equal counter wins.
      if (haveRecord && generation < best) continue;
      haveRecord = true;
      best = generation;
      const int applied = version_ == kVersion303 ? ApplyRemap303(sector) : ApplyRemap312(sector);
      if (applied != kSTDEOk) return applied;
    }
  }
  return kSTDEOk;
}

int TSTDEDecoder::ApplyBadBlockPairs(const uint8_t* sector, uint32_t offset, uint32_t pairs) {
  for (uint32_t b = 0; b <= lastBlock_; ++b) remap_[b] = b;
  for (uint32_t k = 0; k < pairs; ++k) {
    const uint32_t a = Be16(sector + offset + 4 * k);
    const uint32_t b = Be16(sector + offset + 4 * k + 2);
    if (a == kNone && b == kNone) continue;
    if (a > lastBlock_ || b > lastBlock_) return kSTDEInvalidRemap;
    remap_[a] = b;
    remap_[b] = a;
  }
  return kSTDEOk;
}

int TSTDEDecoder::ApplyRemap303(const uint8_t* sector) {
  int rc = ApplyBadBlockPairs(sector, 4, 17);
  if (rc != kSTDEOk) return rc;
  ResetClusterMap();
  for (uint32_t k = 0; k < spareCount_; ++k) {
    const uint32_t v = Be16(sector + kSpareList303 + 2 * k);
    if (v == kNone) continue;
    if (v >= clusterMap_.size()) return kSTDEInvalidRemap;
    clusterMap_[v] = spareStart_ + k;
  }
  return kSTDEOk;
}

int TSTDEDecoder::ApplyRemap312(const uint8_t* sector) {
  int rc = ApplyBadBlockPairs(sector, 6, 16);
  if (rc != kSTDEOk) return rc;
  std::vector<uint32_t> placement;
  if (!TfsRotationPlacement(areaCount_, Be16(sector + 494), Be16(sector + 496), Be16(sector + 498),
                            placement)) {
    return kSTDEInvalidRemap;
  }
  ResetClusterMap();
  for (uint32_t s = 0; s < areaCount_; ++s) clusterMap_[placement[s]] = dataStart_ + s;
  for (uint32_t k = 0; k < spareCount_; ++k) {
    const uint32_t v = Be16(sector + kSpareList312 + 2 * k);
    if (v == kNone) continue;
    if (v >= clusterMap_.size()) return kSTDEInvalidRemap;
    clusterMap_[v] = clusterMap_[spareStart_ + k];  // below AreaCount by the consistency rules
  }
  return kSTDEOk;
}

int TSTDEDecoder::ReadFat() {
  std::vector<uint8_t> cluster(blockSize_);
  for (uint32_t i = 0; i < 2; ++i) {
    Status(LangGet("STD_Reading_FAT") + " " + std::to_string(i));
    const int rc = ReadCluster(1 + i, blockSize_, cluster.data());
    if (rc != kSTDEOk) return rc;
    for (uint32_t off = 0; off < blockSize_; off += kNandSectorSize) {
      const uint8_t* sector = cluster.data() + off;
      const uint32_t page = Be16(sector);
      if (page == kNone) continue;
      if (Be16(sector + 2) != kNone || page * 254 > clusterCount_) return kSTDEInvalidFAT;
      for (uint32_t e = 0; e < 254 && page * 254 + e < clusterCount_; ++e) {
        fat_[page * 254 + e] = static_cast<uint16_t>(Be16(sector + 4 + 2 * e));
      }
    }
  }
  return kSTDEOk;
}

int TSTDEDecoder::Unmount() {
  Status(LangGet("STD_Unmounting_Volume"));
  mounted_ = false;
  remap_.clear();
  clusterMap_.clear();
  fat_.clear();
  claimed_.clear();
  trackClaims_ = false;
  return kSTDEOk;
}

}  // namespace brantle
