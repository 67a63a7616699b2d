#pragma once
// The PC's end of a virtual OptiFlash phone for the tests: frames built and replies
// taken apart byte by byte with plain POSIX calls, and a checksum of our own so that
// the phone's checksums are checked against an independent computation.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "e_phone_pc_side.h"
#include "sim/virtual_opti_phone.h"

namespace brantle::sim::optipc {

using pcside::Bytes;
using pcside::Concat;
using pcside::LittleEndian;
using pcside::PcPort;
using pcside::RandomBytes;
using pcside::Slice;

// Bit by bit: the reflected CRC-32 of 0xEDB88320 with the register starting at 1 and
// no final inversion.
inline uint32_t Crc(const uint8_t* p, size_t n) {
  uint32_t crc = 1;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ ((crc & 1) ? 0xEDB88320u : 0);
  }
  return crc;
}
inline uint32_t Crc(const Bytes& b) {
  return Crc(b.data(), b.size());
}

// Waits until the phone has given up count half-done frames or wake-ups after the
// PC's silence, however long its patience takes on a busy machine; false if it never
// does.
inline bool WaitForSilences(const VirtualOptiPhone& phone, int count) {
  const auto giveUp = pcside::Clock::now() + std::chrono::seconds(30);
  while (phone.Stats().silences < count) {
    if (pcside::Clock::now() > giveUp) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

inline Bytes Text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

inline uint32_t Word(const Bytes& b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
         uint32_t{b[at + 3]} << 24;
}

inline void PutWord(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// command, length, payload, checksum when there is a payload, trailer.
inline Bytes Frame(const std::string& command, const Bytes& payload, const std::string& trailer) {
  Bytes f = Concat(Text(command), LittleEndian(static_cast<uint32_t>(payload.size())));
  f = Concat(f, payload);
  if (!payload.empty()) f = Concat(f, LittleEndian(Crc(payload)));
  return Concat(f, Text(trailer));
}
inline Bytes BootFrame(const std::string& command, const Bytes& payload = {}) {
  return Frame(command, payload, "(pc)");
}
inline Bytes LoaderFrame(const std::string& command, const Bytes& payload = {}) {
  return Frame(command, payload, "EOT.");
}

// What a loader reply or boot response must look like, whole, for a given payload.
inline Bytes Answer(const std::string& marker, const std::string& command,
                    const std::string& status, const Bytes& payload, const std::string& trailer) {
  Bytes a =
      Concat(Text(marker + command + status), LittleEndian(static_cast<uint32_t>(payload.size())));
  a = Concat(a, payload);
  if (!payload.empty()) a = Concat(a, LittleEndian(Crc(payload)));
  return Concat(a, Text(trailer));
}
inline Bytes Ok(const std::string& command, const Bytes& payload = {}) {
  return Answer("rply", command, "+ok!", payload, "eom.");
}
inline Bytes Refused(const std::string& command) {
  return Answer("rply", command, "+no!", {}, "eom.");
}

// A reply as it came: the 16 header bytes, then the payload, checksum and trailer.
struct Reply {
  std::string head;  // marker, command, status: "rplySUCK+ok!"
  Bytes payload;
  uint32_t crc = 0;  // as sent; 0 without a payload
  std::string trailer;
  bool complete = false;
};

// Reads one reply; its length is trusted up to 2 MiB.
inline Reply ReceiveReply(PcPort& pc, int quietMs = 2000) {
  Reply r;
  const Bytes head = pc.Receive(16, quietMs);
  if (head.size() < 16) return r;
  r.head.assign(head.begin(), head.begin() + 12);
  const uint32_t length = Word(head, 12);
  if (length > (2u << 20)) return r;
  r.payload = pc.Receive(length, quietMs);
  if (r.payload.size() != length) return r;
  if (length > 0) {
    const Bytes crc = pc.Receive(4, quietMs);
    if (crc.size() != 4) return r;
    r.crc = Word(crc, 0);
  }
  const Bytes trailer = pc.Receive(4, quietMs);
  r.trailer.assign(trailer.begin(), trailer.end());
  r.complete = trailer.size() == 4;
  return r;
}

// Any bytes of the given size: the phone does not run its loaders.
inline Bytes Loader(size_t size) {
  return RandomBytes(size, static_cast<uint32_t>(size));
}

inline OptiPhoneConfig Config() {
  OptiPhoneConfig c;
  c.stallTimeoutMs = 300;
  return c;
}

// "?" until "!", "#info", the loader in 2048-byte pieces, "done", then the start.
inline void Boot(PcPort& pc, const Bytes& loader) {
  pc.Send({'?'});
  ASSERT_EQ(pc.Receive(1), Bytes{'!'});
  pc.Send(BootFrame("#info"));
  const Reply info = ReceiveReply(pc);
  ASSERT_TRUE(info.complete);
  ASSERT_EQ(info.head, "respinfo+ok+");
  for (size_t offset = 0; offset < loader.size(); offset += 2048) {
    const size_t n = std::min<size_t>(2048, loader.size() - offset);
    Bytes payload =
        Concat(LittleEndian(static_cast<uint32_t>(offset)), LittleEndian(static_cast<uint32_t>(n)));
    payload = Concat(payload, Slice(loader, offset, n));
    pc.Send(BootFrame("data", payload));
    const Reply r = ReceiveReply(pc);
    ASSERT_TRUE(r.complete) << "piece at " << offset;
    ASSERT_EQ(r.head, "respdata+ok+");
    ASSERT_EQ(r.trailer, "(hw)");
  }
  pc.Send(BootFrame("done"));
  ASSERT_EQ(pc.Receive(20), Answer("resp", "done", "+ok+", {}, "(hw)"));
  for (int i = 0; i < 99; ++i) pc.Send({'*'});
  for (int bees = 0;; ++bees) {
    const Bytes b = pc.Receive(1);
    ASSERT_EQ(b.size(), 1u) << "the loader did not start";
    if (b[0] == '#') break;
    ASSERT_EQ(b[0], 'b');
    ASSERT_LT(bees, 16);
    pc.Send({'*'});
  }
  ASSERT_EQ(pc.Receive(1), Bytes{'B'});
}

inline void Sync(PcPort& pc) {
  pc.Send(Text("SYNC"));
  ASSERT_EQ(pc.Receive(4), Text("syn!"));
}

// SUCK (address, n); the reply as it came.
inline Reply Suck(PcPort& pc, uint32_t address, uint32_t n) {
  pc.Send(LoaderFrame("SUCK", Concat(LittleEndian(address), LittleEndian(n))));
  return ReceiveReply(pc);
}

// OPEN of block index within chip, chip, start, size, mode.
inline Bytes OpenRequest(uint16_t index, uint16_t chip, uint32_t start, uint32_t size,
                         uint8_t mode) {
  Bytes p(20, 0);
  p[0] = static_cast<uint8_t>(index);
  p[1] = static_cast<uint8_t>(index >> 8);
  p[2] = static_cast<uint8_t>(chip);
  p[3] = static_cast<uint8_t>(chip >> 8);
  PutWord(p, 4, start);
  PutWord(p, 8, size);
  p[12] = mode;
  p[16] = 0xFF;
  return p;
}

inline Bytes CloseRequest(uint16_t index, uint16_t chip) {
  return {static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(chip),
          static_cast<uint8_t>(chip >> 8)};
}

inline Bytes TxdtRequest(uint32_t address, const Bytes& data) {
  Bytes p(48, 0);
  const uint32_t n = static_cast<uint32_t>(data.size());
  PutWord(p, 0, address);
  PutWord(p, 4, n);
  p[8] = p[12] = p[16] = 1;
  PutWord(p, 24, n);
  PutWord(p, 28, Crc(data));
  return p;
}

}  // namespace brantle::sim::optipc
