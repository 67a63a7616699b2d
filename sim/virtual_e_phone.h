#pragma once
// A virtual phone of the E families (E700, E800, E330; S500 speaks E700) on a
// pseudo-terminal: boot code, both loaders, speed switch and the NOR commands,
// byte for byte as a real phone answers. Runs on its own thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/e_phone_nand.h"

namespace brantle::sim {

struct EPhoneConfig {
  std::string family = "E700";  // "E700", "E800", "E330" or "S500"
  uint8_t makerId = 0xEC;       // reported by the first loader
  uint8_t deviceId = 0xE2;
  std::string norFile;  // NOR contents from this file; empty: PatternNor()
  uint32_t norSize = 16u << 20;
  bool lineRate = false;             // pace bytes at the negotiated speed
  bool rebootAfterTerminate = true;  // after E8, start sending BE again
  // Silence that makes the phone give up a connection between the boot packet and the
  // second loader and return to boot mode (the PC has given up and reopened the port).
  int stallTimeoutMs = 4000;
  // Lays out the NAND from the files the TFS commands wrote (a real volume).
  VolumeMaker volumeMaker = TfsVolumeMaker();
};

// Counters the tests read to see what the phone was asked to do.
struct EPhoneStats {
  int connects = 0;       // boot packets accepted
  int reads = 0;          // E6 exchanges completed
  int programs = 0;       // EA blocks received (good or bad)
  int erases = 0;         // E4 blocks
  int formats = 0;        // NAND formats (10)
  int badGeometry = 0;    // program/erase blocks not matching the chip's block layout
  uint32_t baud = 38400;  // the line speed the phone runs at now
  uint8_t parity = 2;     // 2 even before the speed switch, 0 after
};

class VirtualEPhone {
 public:
  explicit VirtualEPhone(EPhoneConfig config);
  ~VirtualEPhone();  // stops the thread and closes the pseudo-terminal
  VirtualEPhone(const VirtualEPhone&) = delete;
  VirtualEPhone& operator=(const VirtualEPhone&) = delete;

  // Creates the pseudo-terminal and starts serving; false with error() set on failure.
  bool Start();
  void Stop();
  const std::string& PortPath() const;  // slave device path, e.g. /dev/pts/7
  const std::string& error() const;

  std::vector<uint8_t> Nor() const;  // a copy of the NOR contents now
  EPhoneStats Stats() const;

  // The deterministic NOR contents used when no file is given.
  static std::vector<uint8_t> PatternNor(uint32_t size);

  // Fault injection; each takes effect from the next exchange on.
  void FailReadChecksums(int count);  // next count E6 replies carry a wrong checksum
  void FailProgramChecksums(
      int count);               // next count EA blocks answered with a wrong checksum (not written)
  void GoSilent();              // stop answering anything (until Stop)
  void WrongAcknowledgement();  // next acknowledgement byte (C0/C7/CC/C3/erase reply) is wrong
  // The person switches the phone off and, offMs later, on again in boot mode: the
  // boot code is silent meanwhile (a connection in progress first runs into the
  // phone's own stall timeout).
  void SwitchOff(int offMs);
  // Send the next read's data in pieces of pieceSize bytes with pauseMs between them.
  void Trickle(uint32_t pieceSize, uint32_t pauseMs);
  // During the next read, close the pseudo-terminal after this many data bytes.
  void UnplugDuringRead(uint32_t afterBytes);
  // The next EA block (or every one from now on) is stored with its middle byte
  // inverted, and acknowledged with the sum of the data as received.
  void CorruptProgram(bool everyTime = false);

  // The phone's file system: the files written so far and the NAND sectors.
  TfsTree NandTree() const;
  std::vector<uint8_t> NandSectors() const;
  void FailRawReadChecksums(int count);  // next count raw reads carry a wrong checksum

  // Switches line-rate pacing on or off at any time (e.g. connect fast, then measure).
  void SetLineRate(bool on);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace brantle::sim
