#pragma once
// The inside of the virtual OptiFlash phone, shared by its boot code
// (virtual_opti_phone_boot.cpp), its loader (virtual_opti_phone_loader.cpp) and its
// public face (virtual_opti_phone.cpp). Only the phone's own thread touches the line
// and the protocol state; other threads read the counters and the NOR under the mutex
// and set the faults through atomics.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/program_faults.h"
#include "sim/pty.h"
#include "sim/read_faults.h"
#include "sim/virtual_opti_phone.h"

namespace brantle::sim {

namespace opti {

using Io = PtyLine::Io;

constexpr uint32_t kBootBaud = 115200;  // boot code and a freshly started loader
constexpr uint32_t kMaxNor = 32u << 20;
constexpr uint32_t kMaxFrame = 0x100000;    // no frame payload is longer
constexpr uint32_t kMaxLoaderChunk = 2048;  // loader bytes in one "data" frame
constexpr size_t kMaxChips = 4;

enum class Step {
  kOk,    // go on
  kBack,  // give up what was going on and return to the boot code
  kEnd,   // stop serving: stop requested, unplugged or silenced
};

// One erase block of a chip as the loader drives it.
struct BlockSpan {
  uint32_t start = 0;
  uint32_t size = 0;
};

inline uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

inline uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline void PutText(std::vector<uint8_t>& out, const char* text) {
  for (; *text != 0; ++text) out.push_back(static_cast<uint8_t>(*text));
}

}  // namespace opti

struct VirtualOptiPhone::Impl {
  using Step = opti::Step;
  using Io = opti::Io;

  OptiPhoneConfig config;
  std::string error;
  PtyLine line;
  std::thread thread;
  bool started = false;

  // The physical chips: the erase blocks of every chip the loader can drive (empty for a
  // chip whose IDs match no table row or that is not 64 KB aligned), indexed like the
  // chips of the information block.
  std::array<std::vector<opti::BlockSpan>, opti::kMaxChips> layout;
  std::array<uint32_t, opti::kMaxChips> chipBase{};
  std::array<uint32_t, opti::kMaxChips> chipSize{};

  // The phone thread is the only writer of nor and stats; it writes under the mutex so
  // that copies taken by other threads are whole.
  mutable std::mutex mutex;
  std::vector<uint8_t> nor;
  OptiPhoneStats stats;

  std::atomic<int> failSucks{0};
  std::atomic<bool> silent{false};
  std::atomic<bool> wrongStatus{false};
  ReadFaults readFaults;  // trickle and unplug of the next read
  ProgramFaults programFaults;

  // The loader's open erase block.
  struct OpenBlock {
    bool open = false;
    uint16_t chip = 0;
    uint16_t index = 0;
    uint32_t start = 0;
    uint32_t size = 0;
  } block;

  int Stall() const { return config.stallTimeoutMs > 0 ? config.stallTimeoutMs : 1; }

  template <typename F>
  void Count(F change) {
    std::lock_guard<std::mutex> lock(mutex);
    change(stats);
  }

  // kOk goes on; silence gives up the frame (counted), a stop ends the phone.
  Step InFrame(Io io);
  // The loader's view: after silence only the frame is lost and the loader waits on.
  Step DropFrame(Io io) { return InFrame(io) == Step::kEnd ? Step::kEnd : Step::kOk; }

  void SetSpeed(uint32_t baud);
  Step Send(const uint8_t* bytes, size_t n);
  Step Send(const std::vector<uint8_t>& bytes) { return Send(bytes.data(), bytes.size()); }
  bool TakeWrongStatus() { return wrongStatus.exchange(false); }
  std::string BuildInfoBlock() const;

  void Run();

  // Boot code (virtual_opti_phone_boot.cpp): returns kOk once the loader runs.
  Step BootStage();
  Step BootFrame(const std::string& command, uint32_t& received);
  Step ReadBootFrame(std::vector<uint8_t>& payload);
  Step BootResponse(const std::string& command, bool ok, const std::vector<uint8_t>& payload);
  Step StartLoader();

  // Loader (virtual_opti_phone_loader.cpp): returns kBack after DONE.
  Step LoaderStage();
  Step Command(const std::string& command);
  Step Reply(const std::string& command, const std::vector<uint8_t>& payload);
  Step Refuse(const std::string& command, bool counted = true);
  Step Info();
  Step Baud(const uint8_t* p);
  Step Setp(const uint8_t* p, size_t n);
  Step Done();
  Step Open(const uint8_t* p);
  Step Close(const uint8_t* p);
  Step Suck(const uint8_t* p);
  Step SendNor(uint32_t address, uint32_t n);
  Step Txdt(const uint8_t* p, bool frameOk);
  bool InChips(uint32_t address, uint32_t n) const;
};

}  // namespace brantle::sim
