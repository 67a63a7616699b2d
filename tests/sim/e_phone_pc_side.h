#pragma once
// The PC's end of a virtual E-family phone for the tests: the line opened with plain
// POSIX calls as a serial port would be, and the connect sequence byte by byte.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "sim/virtual_e_phone.h"

namespace brantle::sim::pcside {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr uint8_t kBoot = 0xBE;

// What the PC knows of each family: loader sizes, where the first loader holds the
// second one's size, and whether an FF follows the second loader.
struct Family {
  std::string name;
  size_t loader1;
  size_t patchOffset;
  uint32_t loader2;
  bool trailingFF;
};
inline const Family kE700{"E700", 7169, 728, 29848, true};
inline const Family kE800{"E800", 4548, 688, 32248, false};
inline const Family kE330{"E330", 4568, 708, 32600, false};
const Family kS500{"S500", 7169, 728, 29848, true};

inline const Bytes kSpeed115200 = {0xE0, 0x00, 0xFF, 0xF9, 0x01, 0xF8};

inline Bytes BootPacket(const std::string& family, uint8_t w) {
  if (family == "E700" || family == "S500") {
    return {0xC7, w,
            0xD6, w,
            0xC7, static_cast<uint8_t>(w + 0x80),
            0x87, static_cast<uint8_t>(w + 0xC0),
            0x00, 0x03,
            0xFF, 0xFF,
            0x80, 0x03,
            0x40, 0x00,
            0x70, 0x00,
            0x03, 0x00,
            0x00, 0x00,
            0x00, 0x5B,
            0xF8};
  }
  Bytes p = {0x46, 0x23, 0x16, 0x03, 0x46, 0x42, 0x06, 0x56, 0x00, 0x03, 0xFF, 0xFF, 0x80,
             0x02, 0x80, 0x01, 0x01, 0x30, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x51, 0xBB};
  if (family == "E330") p.back() = 0xCF;
  return p;
}

// Any bytes of the right size, with the second loader's size patched in big-endian.
inline Bytes FirstLoader(const Family& f, uint32_t patchedSize) {
  Bytes image(f.loader1);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 31 + 7);
  image[f.patchOffset] = static_cast<uint8_t>(patchedSize >> 24);
  image[f.patchOffset + 1] = static_cast<uint8_t>(patchedSize >> 16);
  image[f.patchOffset + 2] = static_cast<uint8_t>(patchedSize >> 8);
  image[f.patchOffset + 3] = static_cast<uint8_t>(patchedSize);
  return image;
}

inline Bytes RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  Bytes out(n);
  for (auto& b : out) b = static_cast<uint8_t>(gen());
  return out;
}

inline uint32_t Sum(const uint8_t* p, size_t n) {
  return std::accumulate(p, p + n, uint32_t{0});
}

inline Bytes LittleEndian(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

inline Bytes Slice(const Bytes& b, size_t from, size_t n) {
  return Bytes(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(from + n));
}

inline Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The PC's side of the line: the slave opened as a serial port would be.
class PcPort {
 public:
  explicit PcPort(const std::string& path) : path_(path) { Open(); }
  ~PcPort() { Close(); }

  void Open() {
    fd_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd_, 0) << path_;
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd_, TCSANOW, &tio);
  }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  void Purge() { tcflush(fd_, TCIFLUSH); }

  void Send(const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<size_t>(n);
        continue;
      }
      pollfd pfd{fd_, POLLOUT, 0};
      ASSERT_GT(poll(&pfd, 1, 5000), 0) << "the phone takes no more bytes";
    }
  }

  // Up to n bytes; stops early when nothing comes for quietMs or the line is gone.
  Bytes Receive(size_t n, int quietMs = 2000) {
    Bytes out;
    uint8_t buf[65536];
    while (out.size() < n) {
      pollfd pfd{fd_, POLLIN, 0};
      if (poll(&pfd, 1, quietMs) <= 0) break;
      const ssize_t got = read(fd_, buf, std::min(sizeof buf, n - out.size()));
      if (got <= 0) break;  // hung up: the master is closed
      out.insert(out.end(), buf, buf + got);
    }
    return out;
  }

  // Everything that arrives within ms.
  Bytes ReceiveFor(int ms) {
    Bytes out;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    uint8_t buf[4096];
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
      if (left.count() <= 0) break;
      pollfd pfd{fd_, POLLIN, 0};
      if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) break;
      const ssize_t got = read(fd_, buf, sizeof buf);
      if (got <= 0) break;
      out.insert(out.end(), buf, buf + got);
    }
    return out;
  }

  // The first byte that is not a boot byte, or -1.
  int ReceiveAfterBootBytes() {
    for (;;) {
      const Bytes b = Receive(1);
      if (b.empty()) return -1;
      if (b[0] != kBoot) return b[0];
    }
  }

 private:
  std::string path_;
  int fd_ = -1;
};

inline EPhoneConfig Config(const std::string& family, uint8_t maker = 0xEC, uint8_t device = 0xE2) {
  EPhoneConfig c;
  c.family = family;
  c.makerId = maker;
  c.deviceId = device;
  c.stallTimeoutMs = 500;
  return c;
}

// Boot packet, first loader, speed switch with a reopened port, second loader.
// With checkFFWait, also makes sure the phone does not answer before the trailing FF.
inline void Connect(PcPort& pc, const Family& f, const Bytes& speedPacket, uint8_t maker = 0xEC,
                    uint8_t device = 0xE2, bool checkFFWait = false) {
  ASSERT_EQ(pc.Receive(1), Bytes{kBoot});
  pc.Purge();
  pc.Send({0x44});
  pc.Send(BootPacket(f.name, 0x03));
  ASSERT_EQ(pc.ReceiveAfterBootBytes(), 0x44);

  pc.Send(FirstLoader(f, f.loader2));
  const Bytes id = pc.Receive(6);
  ASSERT_EQ(id.size(), 6u);
  EXPECT_EQ(id[4], maker);
  EXPECT_EQ(id[5], device);

  pc.Send(speedPacket);
  ASSERT_EQ(pc.Receive(3), (Bytes{0xC0, 0xC3, 0x00}));
  pc.Close();
  pc.Open();
  pc.Purge();
  pc.Send({0xEE});
  ASSERT_EQ(pc.Receive(5).size(), 5u);

  pc.Send(Bytes(f.loader2, 0x5A));
  if (f.trailingFF) {
    if (checkFFWait) {
      EXPECT_TRUE(pc.ReceiveFor(100).empty()) << "answered before the trailing FF";
    }
    pc.Send({0xFF});
  }
  ASSERT_EQ(pc.Receive(1), Bytes{0x63});
}

}  // namespace brantle::sim::pcside
