#pragma once
// The NAND side of the virtual E-family phone: the second loader's file-system write
// commands (both dialects), format, and raw sector reads. The files written are kept
// as a tree; the NAND sectors are the volume made from that tree.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace brantle::sim {

// What the phone's file system holds.
struct TfsTree {
  std::set<std::string> directories;
  std::map<std::string, std::string> files;  // path -> contents; a later write replaces
};

// Lays out the NAND sectors (512 bytes each) of a volume holding the tree.
using VolumeMaker = std::function<std::vector<uint8_t>(const TfsTree&, uint32_t sectors)>;

// A volume of layout 3.03 holding the tree, made by TfsVolumeBuilder.
VolumeMaker TfsVolumeMaker();

// The loader's line, as the NAND commands need it.
struct PhoneIo {
  std::function<bool(uint8_t* dst, size_t n)> read;        // false: the PC went away
  std::function<bool(const uint8_t* src, size_t n)> send;  // false: the line is gone
};

class EPhoneNand {
 public:
  // family: "E700" (also S500), "E800" or "E330"; E800 has 65536 sectors, others 32768.
  EPhoneNand(const std::string& family, VolumeMaker maker);

  // The commands, entered with their first byte already read. False ends the line.
  bool TfsWrite(PhoneIo& io);  // "D": a whole write session, up to "y"
  bool Format(PhoneIo& io);    // 10
  bool Nand(PhoneIo& io);      // "X": then "I" (open) or "R" (raw read)

  void FailRawReadChecksums(int count) { failReads_.store(count); }

  TfsTree Tree() const;
  std::vector<uint8_t> Sectors() const;
  uint32_t SectorCount() const { return sectorCount_; }

 private:
  bool WriteE700(PhoneIo& io);
  bool WriteE800(PhoneIo& io);
  void Commit(const TfsTree& tree);
  std::vector<uint8_t> SectorRange(uint32_t first, uint32_t count) const;

  const bool e700_;
  const uint32_t sectorCount_;
  VolumeMaker maker_;
  mutable std::mutex mutex_;
  TfsTree tree_;
  std::vector<uint8_t> sectors_;
  std::atomic<int> failReads_{0};
};

}  // namespace brantle::sim
