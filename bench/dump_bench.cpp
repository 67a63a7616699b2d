// Dump speed of the E engine against the virtual phone over a pseudo-terminal.
//  (a) efficiency at 806400 baud with line-rate emulation over 1 MiB: the time the
//      bytes need on an ideal line divided by the measured time (goal >= 0.97);
//  (b) engine throughput without emulation over 16 MiB (goal >= 20 MiB/s), so the
//      engine never is what limits a line;
//  (c) a raw read of the E800's whole 32 MiB NAND without emulation (goal: seconds,
//      >= 1 MiB/s; a phone that copied its whole NAND for every request made it
//      0.1 MiB/s), so that file-system dumps through the virtual phone are quick.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/ktze_flasher.h"
#include "engine/result_codes.h"
#include "sim/demo_loaders.h"
#include "sim/virtual_e_phone.h"

using namespace brantle;

namespace {

constexpr uint32_t kSpeed = 806400;
// Per sector: E6, the 8-byte header; C0, C7, the data and the 4-byte checksum.
constexpr double kLineBytesPerSector = 1 + 8 + 1 + 1 + 65536 + 4;

struct Session {
  sim::VirtualEPhone phone;
  Link link;
  EEngine engine{link};
  Session(bool lineRate, const std::string& family = "E700")
      : phone(Config(lineRate, family)), family(family) {}
  static sim::EPhoneConfig Config(bool lineRate, const std::string& family) {
    sim::EPhoneConfig c;
    c.lineRate = lineRate;
    c.family = family;
    return c;
  }
  std::string family;
};

bool Connect(Session& s, const std::string& loaders) {
  if (!s.phone.Start()) return false;
  s.engine.LoadersFolder = loaders;
  if (s.engine.EInitPort(s.phone.PortPath(), s.family) != kOk) return false;
  int r = kErrTimeout;
  for (int i = 0; i < 40 && r != kOk; ++i) r = s.engine.EWaitBoot(1, 250);
  return r == kOk && s.engine.EBootCommand(0, 0, 0, 0) == kOk && s.engine.ESendLoader1() == kOk &&
         s.engine.ESwitchSpeed(kSpeed) == kOk && s.engine.ESendLoader2() == kOk;
}

// Seconds to read sectors [0, count), or a negative value on failure.
double TimeDump(Session& s, int count) {
  std::string buf(kESectorSize, '\0');
  const auto t0 = std::chrono::steady_clock::now();
  for (int sector = 0; sector < count; ++sector) {
    if (s.engine.ERead(static_cast<uint8_t>(sector), kESectorSize,
                       reinterpret_cast<uint8_t*>(buf.data())) != kOk)
      return -1;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Seconds to read the whole NAND in the requests the file-system dump makes, or a
// negative value on failure.
double TimeNandRead(Session& s, uint32_t sectors) {
  constexpr uint16_t kPerRequest = 32;
  std::string buf(size_t{kPerRequest} * 512, '\0');
  const auto t0 = std::chrono::steady_clock::now();
  if (s.engine.ENANDOpen() != kOk) return -1;
  for (uint32_t first = 0; first < sectors; first += kPerRequest) {
    if (s.engine.ENANDRead(static_cast<uint16_t>(first), kPerRequest,
                           reinterpret_cast<uint8_t*>(buf.data())) != kOk)
      return -1;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main() {
  char folder[] = "/tmp/brantle-bench-XXXXXX";
  if (!mkdtemp(folder)) return std::fprintf(stderr, "cannot make a temporary folder\n"), 1;
  const std::string loaders = folder;
  std::string error;
  if (!sim::WriteDemoLoaders(loaders, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }

  Session paced(true);
  if (!Connect(paced, loaders)) return std::fprintf(stderr, "connect failed (paced)\n"), 1;
  const double measured = TimeDump(paced, 16);
  if (measured < 0) return std::fprintf(stderr, "dump failed (paced)\n"), 1;
  const double ideal = 16 * kLineBytesPerSector * 10 / kSpeed;
  std::printf(
      "(a) 1 MiB dump at %u baud: ideal %.3f s, measured %.3f s, efficiency %.3f (goal >= 0.97)\n",
      kSpeed, ideal, measured, ideal / measured);

  Session fast(false);
  if (!Connect(fast, loaders)) return std::fprintf(stderr, "connect failed (unpaced)\n"), 1;
  const double t = TimeDump(fast, 256);
  if (t < 0) return std::fprintf(stderr, "dump failed (unpaced)\n"), 1;
  std::printf("(b) 16 MiB dump without line emulation: %.3f s, %.1f MiB/s (goal >= 20 MiB/s)\n", t,
              16.0 / t);

  Session nand(false, "E800");
  if (!Connect(nand, loaders)) return std::fprintf(stderr, "connect failed (E800)\n"), 1;
  const double n = TimeNandRead(nand, 65536);
  if (n < 0) return std::fprintf(stderr, "raw NAND read failed\n"), 1;
  std::printf(
      "(c) 32 MiB raw NAND read without line emulation: %.3f s, %.1f MiB/s (goal >= 1 MiB/s)\n", n,
      32.0 / n);
  return 0;
}
