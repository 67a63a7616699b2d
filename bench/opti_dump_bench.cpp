// Dump speed of the OptiFlash engine against the virtual Opti phone.
//  (a) efficiency at the phone's fastest speed with line-rate emulation over 1 MiB:
//      the time the data bytes alone need on the line divided by the measured time
//      (goal >= 0.95), with the bytes the frames add per MiB;
//  (b) engine throughput without emulation over 16 MiB.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/opti_connect.h"
#include "engine/opti_region.h"
#include "engine/result_codes.h"
#include "sim/demo_loaders.h"
#include "sim/virtual_opti_phone.h"

using namespace brantle;

namespace {

// Per SUCK piece: the request frame (command, length, 8-byte payload, checksum,
// trailer) and the reply's marker, command, status, length, checksum and trailer.
constexpr double kFrameBytesPerPiece = (4 + 4 + 8 + 4 + 4) + (4 + 4 + 4 + 4 + 4 + 4);

struct Session {
  sim::VirtualOptiPhone phone;
  Link link;
  OptiEngine engine{link};
  explicit Session(const sim::OptiPhoneConfig& config) : phone(config) {}
};

bool Connect(Session& s, const std::string& loaders, uint32_t speed) {
  if (!s.phone.Start()) return false;
  s.engine.LoadersFolder = loaders;
  if (s.engine.OptiOpenPort(s.phone.PortPath(), 0) != kOk) return false;
  int r = kErrTimeout;
  for (int i = 0; i < 40 && r != kOk; ++i) r = s.engine.WaitBootPrompt(1, 250);
  return r == kOk && RunOptiConnect(s.engine, speed, "flashes").code == kOk;
}

double TimeDump(Session& s, uint32_t bytes) {
  std::string data;
  const auto t0 = std::chrono::steady_clock::now();
  if (OptiReadRegion(s.engine, 0, bytes - 1, data) != kOk) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main() {
  char folder[] = "/tmp/brantle-bench-XXXXXX";
  if (!mkdtemp(folder)) return std::fprintf(stderr, "cannot make a temporary folder\n"), 1;
  std::string error;
  if (!sim::WriteDemoLoaders(folder, error)) return std::fprintf(stderr, "%s\n", error.c_str()), 1;

  // Two 8 MiB chips: 16 MiB of flash to read.
  sim::OptiPhoneConfig config;
  config.chips.push_back(config.chips.front());
  config.chips.back().base = 8u << 20;
  const uint32_t fastest = config.baudList.back();
  Session paced(config);
  if (!Connect(paced, folder, fastest)) return std::fprintf(stderr, "connect failed\n"), 1;
  paced.phone.SetLineRate(true);
  const uint32_t mib = 1u << 20;
  const double measured = TimeDump(paced, mib);
  if (measured < 0) return std::fprintf(stderr, "dump failed (paced)\n"), 1;
  const double pieces = double(mib) / config.maxReadChunk;
  const double ideal = double(mib) * 10 / fastest;
  std::printf(
      "(a) 1 MiB dump at %u baud: data alone %.3f s on the line, measured %.3f s, "
      "efficiency %.3f (goal >= 0.95);\n    frames add %.0f bytes per MiB\n",
      fastest, ideal, measured, ideal / measured, pieces * kFrameBytesPerPiece);

  Session fast(config);
  if (!Connect(fast, folder, fastest)) return std::fprintf(stderr, "connect failed\n"), 1;
  const double t = TimeDump(fast, 16 * mib);
  if (t < 0) return std::fprintf(stderr, "dump failed (unpaced)\n"), 1;
  std::printf("(b) 16 MiB dump without line emulation: %.3f s, %.1f MiB/s\n", t, 16.0 / t);
  return 0;
}
