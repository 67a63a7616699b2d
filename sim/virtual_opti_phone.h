#pragma once
// A virtual OptiFlash phone on a pseudo-terminal: the boot code ("?"/"!", boot
// frames "#info", "data", "done", the "*"/"b"/"#"/"B" start) and the loader's
// command set (SYNC, INFO, BAUD, SETP, DONE, OPEN, CLOS, SUCK, TXDT), byte for byte
// as a real phone answers. Runs on its own thread.
//
// A boot frame the boot code cannot take (checksum, trailer, loader piece out of order)
// gets no answer at all, and the upload starts over. A loader request it reads whole
// but refuses (broken frame, address outside the chips, piece too large, no open block,
// data not matching its checksum, a speed not offered) is answered with the status
// "+no!" and no payload; TXDT data of a sane length is taken off the line first.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brantle::sim {

struct OptiChipConfig {
  uint8_t maker = 0xEC;          // first ID pair: a row of the Opti chip table
  uint32_t device = 0x22E20000;  // KBB05A300, 8 MiB
  uint32_t base = 0;             // where the chip lies in the NOR address space
  uint8_t maker2 = 0;            // second ID pair (0/0: none)
  uint32_t device2 = 0;
};

struct OptiPhoneConfig {
  std::vector<OptiChipConfig> chips = {OptiChipConfig{}};  // 1 to 4 reported chips
  uint32_t maxWriteChunk = 0x20000;
  uint32_t maxReadChunk = 0x10000;
  std::vector<uint32_t> baudList = {115200, 230400, 460800, 921600};
  // When not empty, sent as the INFO reply payload as it is (malformed blocks).
  std::string rawInfo;
  uint32_t norSize = 16u << 20;     // 16 or 32 MiB
  std::string norFile;              // NOR contents from this file; empty: PatternNor()
  uint32_t expectedLoaderSize = 0;  // 0: any size is taken
  bool lineRate = false;            // pace bytes at the current speed (10 bits a byte)
  int stallTimeoutMs = 4000;        // silence that ends a half-done boot stage
};

struct OptiPhoneStats {
  int bootPrompts = 0;     // "!" answers sent
  int loaderBytes = 0;     // loader bytes received in "data" frames of the current upload
  uint32_t loaderCrc = 1;  // FrameCRC of those bytes: tells same-sized loaders apart
  int starts = 0;          // loaders started ("B" sent)
  int syncs = 0;
  int infos = 0;
  int setps = 0;
  int sucks = 0;
  int txdts = 0;
  int closes = 0;
  std::vector<uint8_t> openModes;  // mode of every accepted OPEN, in order
  int rejected = 0;                // requests refused (bad address, size, checksum)
  int dones = 0;
  // Half-done frames and wake-ups given up because the PC fell silent (or, for a
  // frame too long to take, once its rest has been waited out): a test waits for
  // this instead of for the phone's patience to run out.
  int silences = 0;
  uint32_t baud = 115200;  // the speed the phone runs at now
  std::string setp;        // payload of the last SETP
};

class VirtualOptiPhone {
 public:
  explicit VirtualOptiPhone(OptiPhoneConfig config);
  ~VirtualOptiPhone();
  VirtualOptiPhone(const VirtualOptiPhone&) = delete;
  VirtualOptiPhone& operator=(const VirtualOptiPhone&) = delete;

  bool Start();
  void Stop();
  const std::string& PortPath() const;
  const std::string& error() const;

  std::vector<uint8_t> Nor() const;
  OptiPhoneStats Stats() const;
  static std::vector<uint8_t> PatternNor(uint32_t size);

  // The hardware information block INFO answers with (built from the config).
  std::string InfoBlock() const;

  // Fault injection; each takes effect from the next exchange on.
  void FailSuckChecksums(int count);  // next count SUCK replies carry a wrong checksum
  void GoSilent();                    // stop answering anything
  void WrongStatus();                 // next reply carries a wrong status word
  void Trickle(uint32_t pieceSize, uint32_t pauseMs);  // next SUCK payload in pieces
  void UnplugDuringRead(uint32_t afterBytes);          // during the next SUCK payload
  // The next TXDT (or every one from now on) is stored with the middle byte of its data
  // inverted, and answered as a good one.
  void CorruptProgram(bool everyTime = false);
  void SetLineRate(bool on);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace brantle::sim
