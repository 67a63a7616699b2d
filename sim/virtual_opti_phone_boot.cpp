// The boot code of the virtual OptiFlash phone: "?"/"!", the boot frames that carry
// the loader, and the "*"/"b"/"#"/"B" start of the loader.

#include <algorithm>

#include "engine/opti_crc.h"
#include "sim/virtual_opti_phone_impl.h"

namespace brantle::sim {
namespace {

using opti::Io;
using opti::Step;

constexpr size_t kStars = 99;   // the PC's wake-up call for the loader
constexpr int kLoaderBees = 3;  // each asks the PC for one more "*"

// A length beyond any frame the boot code knows: the rest of the frame is waited out
// by this much silence, so that its bytes are not taken for prompts or frames.
constexpr int kBadFrameQuietMs = 20;

// What "#info" answers: a name, the boot code's version and the largest loader piece.
std::vector<uint8_t> BootInfo() {
  std::vector<uint8_t> info;
  opti::PutText(info, "OPTIBOOT");
  opti::PutLe32(info, 0x00010002);
  opti::PutLe32(info, opti::kMaxLoaderChunk);
  return info;
}

}  // namespace

// Inside a frame, silence for the stall time means the PC has given up.
Step VirtualOptiPhone::Impl::InFrame(Io io) {
  if (io == Io::kOk) return Step::kOk;
  if (io != Io::kTimeout) return Step::kEnd;
  Count([](OptiPhoneStats& s) { ++s.silences; });
  return Step::kBack;
}

// Waits for prompts and frames as long as it takes. A frame that is broken or cut off
// gets no answer at all: the boot code forgets the upload so far and waits again, and
// the PC runs into its read timeout.
Step VirtualOptiPhone::Impl::BootStage() {
  uint32_t received = 0;  // loader bytes of the upload under way
  for (;;) {
    uint8_t b = 0;
    if (line.ReadByte(b, -1) != Io::kOk || silent.load()) return Step::kEnd;
    Step step = Step::kOk;
    std::string command;
    if (b == '?') {
      // Counted first, like everything the phone does: a PC that has seen the answer
      // finds it in the counters.
      Count([](OptiPhoneStats& s) { ++s.bootPrompts; });
      step = Send({'!'});
    } else if (b == '#' || b == 'd') {
      // "#info", "data" and "done" are told apart by their first two bytes.
      uint8_t rest[4] = {};
      const size_t n = b == '#' ? 4 : 3;
      step = InFrame(line.Read(rest, n, Stall()));
      if (step == Step::kOk) {
        command = std::string(1, static_cast<char>(b)) +
                  std::string(reinterpret_cast<const char*>(rest), n);
        if (command != "#info" && command != "data" && command != "done") step = Step::kBack;
      }
      if (step == Step::kOk) step = BootFrame(command, received);
      if (step == Step::kOk && command == "done") {
        step = StartLoader();
        if (step == Step::kOk) return Step::kOk;
      }
    }
    // Anything else is line noise.
    if (step == Step::kEnd) return Step::kEnd;
    if (step == Step::kBack) {
      received = 0;
      Count([](OptiPhoneStats& s) {
        s.loaderBytes = 0;
        s.loaderCrc = 1;
      });
    }
  }
}

// Length, payload, checksum (only with a payload) and "(pc)".
Step VirtualOptiPhone::Impl::ReadBootFrame(std::vector<uint8_t>& payload) {
  uint8_t word[4];
  Step step = InFrame(line.Read(word, sizeof word, Stall()));
  if (step != Step::kOk) return step;
  const uint32_t length = opti::Le32(word);
  if (length > 8 + opti::kMaxLoaderChunk) {
    line.DropBuffered();
    if (line.DrainUntilQuiet(kBadFrameQuietMs) != Io::kOk) return Step::kEnd;
    Count([](OptiPhoneStats& s) { ++s.silences; });
    return Step::kBack;
  }
  payload.resize(length);
  step = InFrame(line.Read(payload.data(), payload.size(), Stall()));
  if (step != Step::kOk) return step;
  bool good = true;
  if (length > 0) {
    step = InFrame(line.Read(word, sizeof word, Stall()));
    if (step != Step::kOk) return step;
    good = opti::Le32(word) == FrameCRC(payload.data(), payload.size());
  }
  step = InFrame(line.Read(word, sizeof word, Stall()));
  if (step != Step::kOk) return step;
  good = good && std::equal(word, word + 4, "(pc)");
  return good ? Step::kOk : Step::kBack;
}

// Reads the frame after its command and answers it; kOk after "done" means the
// loader is complete and may be started.
Step VirtualOptiPhone::Impl::BootFrame(const std::string& command, uint32_t& received) {
  std::vector<uint8_t> payload;
  Step step = ReadBootFrame(payload);
  if (step != Step::kOk) return step;

  if (command == "#info") {
    if (!payload.empty()) return Step::kBack;
    // Asking for the boot information starts a connection afresh.
    received = 0;
    Count([](OptiPhoneStats& s) {
      s.loaderBytes = 0;
      s.loaderCrc = 1;
    });
    return BootResponse("info", !TakeWrongStatus(), BootInfo());
  }

  if (command == "data") {
    // offset, n, then the n loader bytes; the pieces follow each other from 0.
    if (payload.size() < 8) return Step::kBack;
    const uint32_t offset = opti::Le32(payload.data());
    const uint32_t n = opti::Le32(payload.data() + 4);
    if (offset == 0) received = 0;  // a new upload
    const bool good =
        n > 0 && n <= opti::kMaxLoaderChunk && n == payload.size() - 8 && offset == received &&
        (config.expectedLoaderSize == 0 || uint64_t{received} + n <= config.expectedLoaderSize);
    if (!good) return Step::kBack;
    if (TakeWrongStatus()) return BootResponse("data", false, {});
    const uint32_t crcBefore = received == 0 ? 1 : stats.loaderCrc;  // only this thread writes it
    received += n;
    const uint32_t crc = FrameCRC(payload.data() + 8, n, crcBefore);
    Count([&](OptiPhoneStats& s) {
      s.loaderBytes = static_cast<int>(received);
      s.loaderCrc = crc;
    });
    std::vector<uint8_t> count;
    opti::PutLe32(count, received);
    return BootResponse("data", true, count);
  }

  // "done": the loader must be there, whole when its size is known.
  if (!payload.empty()) return Step::kBack;
  if (config.expectedLoaderSize != 0 && received != config.expectedLoaderSize) return Step::kBack;
  if (TakeWrongStatus()) {
    step = BootResponse("done", false, {});
    return step == Step::kOk ? Step::kBack : step;
  }
  return BootResponse("done", true, {});
}

// "resp", the command, the status, the length, payload and checksum, "(hw)".
Step VirtualOptiPhone::Impl::BootResponse(const std::string& command, bool ok,
                                          const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> out;
  opti::PutText(out, "resp");
  opti::PutText(out, command.c_str());
  opti::PutText(out, ok ? "+ok+" : "+no+");
  opti::PutLe32(out, static_cast<uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  if (!payload.empty()) opti::PutLe32(out, FrameCRC(payload.data(), payload.size()));
  opti::PutText(out, "(hw)");
  return Send(out);
}

// The loader wakes on 99 "*", asks for a few more with "b", and reports with "#"
// and "B" that it runs. A broken wake-up leaves the phone in the boot code.
Step VirtualOptiPhone::Impl::StartLoader() {
  for (size_t stars = 0; stars < kStars; ++stars) {
    uint8_t b = 0;
    const Step step = InFrame(line.ReadByte(b, Stall()));
    if (step != Step::kOk) return step;
    if (b != '*') return Step::kBack;
  }
  for (int i = 0; i < kLoaderBees; ++i) {
    Step step = Send({'b'});
    if (step != Step::kOk) return step;
    uint8_t b = 0;
    step = InFrame(line.ReadByte(b, Stall()));
    if (step != Step::kOk) return step;
    if (b != '*') return Step::kBack;
  }
  Count([](OptiPhoneStats& s) { ++s.starts; });
  return Send({'#', 'B'});
}

}  // namespace brantle::sim
