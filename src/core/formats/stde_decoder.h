#pragma once
// The read-only decoder of the phone's NAND file system ("STDE", the TFS v3.03 reader):
// mounts a volume of layout 3.03 or 3.12 from raw 512-byte sectors, lists its
// directories and extracts its files into a DIF container of "TFSF" blocks. Every
// number taken from the volume is checked before it serves as an index or a size, so
// a damaged or hostile image ends with a result code, never with a crash, a loop or an
// allocation beyond the size of the NAND.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dif/DIFFiles.h"

namespace brantle {

class Ui;

// Result codes (texts under STD_Error_<code>).
constexpr int kSTDEOk = 0;
constexpr int kSTDEIOFailure = -1;
constexpr int kSTDESectorNotFound = -2;
constexpr int kSTDEInternal = -256;
constexpr int kSTDEBlockNotFound = -257;
constexpr int kSTDEInvalidSuperblock = -258;
constexpr int kSTDESuperblockMismatch = -259;
constexpr int kSTDEInconsistentVolume = -260;
constexpr int kSTDEInvalidRemap = -261;
constexpr int kSTDEInvalidFAT = -262;
constexpr int kSTDEInvalidDirectory = -263;
constexpr int kSTDEUnsupportedVersion = -264;

constexpr uint32_t kNandSectorSize = 512;
constexpr uint32_t kNandSectors = 32768;      // 16 MiB
constexpr uint32_t kNandSectorsE800 = 65536;  // 32 MiB
// The NAND's sector count for a phone family text ("E800" has the larger chip).
uint32_t NandSectorCount(const std::string& family);

// The text of a decoder result code (language key STD_Error_<code>).
std::string STDEErrorText(int code);

// Where the raw sectors come from: the phone (raw NAND reads through the loader) or a
// dump file.
class SectorSource {
 public:
  virtual ~SectorSource() = default;
  virtual uint32_t SectorCount() const = 0;
  // Reads count sectors from first into buffer (count * 512 bytes): 0, -1 for an I/O
  // failure, -2 when first + count exceeds SectorCount().
  virtual int ReadSectors(uint32_t first, uint32_t count, uint8_t* buffer) = 0;
};

// A raw sector dump (".tfr"): sector n at byte n * 512. A file shorter than the
// request is an I/O failure; the NAND size, not the file, decides -2.
class FileSectorSource final : public SectorSource {
 public:
  explicit FileSectorSource(uint32_t sectorCount) : sectorCount_(sectorCount) {}
  ~FileSectorSource() override;
  FileSectorSource(const FileSectorSource&) = delete;
  FileSectorSource& operator=(const FileSectorSource&) = delete;

  bool Open(const std::string& path);
  void Close();
  uint32_t SectorCount() const override { return sectorCount_; }
  int ReadSectors(uint32_t first, uint32_t count, uint8_t* buffer) override;

 private:
  uint32_t sectorCount_;
  int fd_ = -1;
};

// Sectors held in memory (an image already read whole). Bytes past the end of the
// image read as an I/O failure, like a short dump file.
class MemorySectorSource final : public SectorSource {
 public:
  MemorySectorSource(const uint8_t* data, size_t size, uint32_t sectorCount)
      : data_(data), size_(size), sectorCount_(sectorCount) {}
  uint32_t SectorCount() const override { return sectorCount_; }
  int ReadSectors(uint32_t first, uint32_t count, uint8_t* buffer) override;

 private:
  const uint8_t* data_;
  size_t size_;
  uint32_t sectorCount_;
};

// One directory entry as read from the volume.
struct TFSEntry {
  uint8_t Type = 0;  // 1 file, 2 directory
  std::string Name;
  uint32_t Size = 0;  // file: bytes; ".": records of the directory
  uint32_t FirstCluster = 0;
};

// The placement of the rotating area of a 3.12 volume: P[s] is the cluster held by
// slot s of the n slots. False when the rotation values do not describe a placement
// (a value not below n, or more slots asked for than exist).
bool TfsRotationPlacement(uint32_t n, uint32_t r0, uint32_t r1, uint32_t r2,
                          std::vector<uint32_t>& placement);

class TSTDEDecoder {
 public:
  using StatusSink = std::function<void(const std::string&)>;

  explicit TSTDEDecoder(SectorSource& source, StatusSink status = {})
      : source_(source), status_(std::move(status)) {}

  int Mount();
  // Entries in directory order, "." and ".." included. On an error the entries read
  // before the fault are kept.
  int ReadDirectory(uint32_t firstCluster, std::vector<TFSEntry>& entries);
  // Up to size bytes along the chain from firstCluster. A chain that ends or comes
  // back to a cluster it already passed leaves the file short (result 0).
  int ReadFile(uint32_t firstCluster, uint32_t size, std::string& bytes,
               const std::function<bool()>& cancelled = {});
  int Unmount();

  bool Mounted() const { return mounted_; }
  uint16_t Version() const { return version_; }
  uint32_t BlockSize() const { return blockSize_; }
  uint32_t LastBlock() const { return lastBlock_; }
  uint32_t ClusterCount() const { return clusterCount_; }
  // The physical block read for block b, and the block holding cluster c (no check).
  uint32_t RemapOf(uint32_t block) const { return remap_[block]; }
  uint32_t BlockOfCluster(uint32_t cluster) const { return clusterMap_[cluster]; }
  uint16_t FatEntry(uint32_t cluster) const { return fat_[cluster]; }

  // Used by the dump: clusters already given to a directory or file. A chain that
  // reaches one of them again is cut there, so that nothing is read twice and a
  // hostile volume cannot make the dump larger than the NAND.
  void TrackClaims(bool on);

 private:
  int ReadBlock(uint32_t block, uint32_t bytes, uint8_t* out);
  int ReadPhysical(uint32_t physicalBlock, uint32_t bytes, uint8_t* out);
  int ReadCluster(uint32_t cluster, uint32_t bytes, uint8_t* out);
  int ReadSuperblocks(std::vector<uint8_t>& super);
  int TakeFields(const std::vector<uint8_t>& super);
  int ReadRemapArea();
  int ApplyRemap303(const uint8_t* sector);
  int ApplyRemap312(const uint8_t* sector);
  int ApplyBadBlockPairs(const uint8_t* sector, uint32_t offset, uint32_t pairs);
  int ReadFat();
  void ResetClusterMap();
  void Status(const std::string& text) const;
  bool ValidChainCluster(uint32_t c) const { return c > 0 && c < clusterCount_; }
  bool Claim(uint32_t c);
  uint64_t NandBytes() const;
  bool Spend(uint64_t bytes);

  SectorSource& source_;
  StatusSink status_;
  bool mounted_ = false;
  uint16_t version_ = 0;
  uint32_t blockSize_ = 0;
  uint32_t lastBlock_ = 0;
  uint32_t dataSectors_ = 0;
  uint32_t remapStart_ = 0;
  uint32_t remapCount_ = 0;
  uint32_t dataStart_ = 0;
  uint32_t clusterCount_ = 0;  // also the FAT length
  uint32_t areaCount_ = 0;     // 3.12: slots of the rotating area
  uint32_t spareStart_ = 0;
  uint32_t spareCount_ = 0;
  std::vector<uint32_t> remap_;
  std::vector<uint32_t> clusterMap_;
  std::vector<uint16_t> fat_;
  bool trackClaims_ = false;
  std::vector<bool> claimed_;
  // While claims are tracked: bytes the dump may still read. A sound volume never
  // holds more than the NAND; clusters sharing a block cannot make it hold more.
  uint64_t budget_ = 0;
};

struct TFSDumpOptions {
  bool ShowCompletion = true;  // false when all status messages are disabled
  std::function<bool()> Cancelled;
};

// Mounts, walks the tree from the root, reads every file (in ascending order of its
// path) into one "TFSF" block each, and unmounts. directories receives every
// directory below the root as "/path/" in visiting order. Mount and unmount errors
// stop the dump; directory and file errors are shown and the dump goes on. True on
// success; false after a mount error or a cancel.
bool DumpTFS(Ui& ui, SectorSource& source, TDIFFile& dif, std::vector<std::string>& directories,
             const TFSDumpOptions& options = {});

}  // namespace brantle
