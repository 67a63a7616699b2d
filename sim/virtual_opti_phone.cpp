#include "sim/virtual_opti_phone.h"

#include <algorithm>
#include <fstream>

#include "engine/ktze_flashes_opti.h"
#include "sim/virtual_opti_phone_impl.h"

namespace brantle::sim {
namespace {

using opti::Io;
using opti::Step;

// The low half of a first ID word holds the bus width the loader found; only the
// maker byte above it means anything to the PC.
constexpr uint32_t kIdWordLow = 0x0001;
constexpr uint32_t kInfoVersion = 0x00020001;  // offset 0, not read by the PC

// The blocks of one chip as a loader identifies it: the first ID pair, else the second.
// Empty when neither leads to a usable chip.
std::vector<opti::BlockSpan> ChipLayout(const OptiChipConfig& chip) {
  OptiFlash flash;
  IdentifyOptiChip(flash, 0, chip.maker, chip.device, chip.base);
  if (!flash.chips[0].Usable) {
    ResetOptiFlash(flash);
    IdentifyOptiChip(flash, 0, chip.maker2, chip.device2, chip.base);
  }
  std::vector<opti::BlockSpan> spans;
  if (!flash.chips[0].Usable) return spans;
  uint32_t start = chip.base;
  for (const OptiBlock& b : flash.OptiBlockList) {
    spans.push_back({start, b.size});
    start += b.size;
  }
  return spans;
}

std::string Hex(uint32_t v) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s;
  for (int shift = 28; shift >= 0; shift -= 4) s += kDigits[(v >> shift) & 0xF];
  return s;
}

}  // namespace

void VirtualOptiPhone::Impl::SetSpeed(uint32_t baud) {
  line.SetLine(baud, false);
  std::lock_guard<std::mutex> lock(mutex);
  stats.baud = baud;
}

Step VirtualOptiPhone::Impl::Send(const uint8_t* bytes, size_t n) {
  if (silent.load()) return Step::kEnd;
  const Io io = line.Write(bytes, n, Stall());
  // A PC that takes nothing for the whole stall time has lost these bytes, as on a
  // wire nobody listens to; the phone carries on.
  return io == Io::kOk || io == Io::kTimeout ? Step::kOk : Step::kEnd;
}

std::string VirtualOptiPhone::Impl::BuildInfoBlock() const {
  std::vector<uint8_t> b;
  opti::PutLe32(b, kInfoVersion);
  opti::PutLe32(b, static_cast<uint32_t>(config.chips.size()));
  b.resize(88, 0);
  for (size_t k = 0; k < config.chips.size() && k < opti::kMaxChips; ++k) {
    const OptiChipConfig& c = config.chips[k];
    uint8_t* at = b.data() + 8 + 20 * k;
    const uint32_t words[5] = {
        uint32_t{c.maker} << 16 | kIdWordLow, c.device,
        c.maker2 != 0 || c.device2 != 0 ? (uint32_t{c.maker2} << 16 | kIdWordLow) : 0, c.device2,
        c.base};
    for (int w = 0; w < 5; ++w) {
      for (int i = 0; i < 4; ++i) at[4 * w + i] = static_cast<uint8_t>(words[w] >> (8 * i));
    }
  }
  opti::PutLe32(b, config.maxWriteChunk);
  opti::PutLe32(b, config.maxReadChunk);
  for (uint32_t baud : config.baudList) opti::PutLe32(b, baud);
  opti::PutLe32(b, 0);
  if (b.size() < kOptiInfoMinSize) b.resize(kOptiInfoMinSize, 0);
  return std::string(b.begin(), b.end());
}

void VirtualOptiPhone::Impl::Run() {
  for (;;) {
    // Power-on, and every end of a loader: the boot code runs at its own speed.
    SetSpeed(opti::kBootBaud);
    block = OpenBlock{};
    if (BootStage() != Step::kOk) break;
    if (LoaderStage() == Step::kEnd) break;
  }
  // Switched off or silenced: swallow whatever comes, answer nothing, until Stop().
  uint8_t b;
  while (line.ReadByte(b, -1) == Io::kOk) {
  }
}

VirtualOptiPhone::VirtualOptiPhone(OptiPhoneConfig config) : impl_(std::make_unique<Impl>()) {
  impl_->config = std::move(config);
}

VirtualOptiPhone::~VirtualOptiPhone() {
  Stop();
}

bool VirtualOptiPhone::Start() {
  Impl& p = *impl_;
  if (p.started) {
    p.error = "the virtual phone was started before";
    return false;
  }
  const OptiPhoneConfig& c = p.config;
  if (c.chips.size() > opti::kMaxChips) {
    p.error = "an OptiFlash phone has at most 4 flash chips, not " + std::to_string(c.chips.size());
    return false;
  }
  if (c.norSize == 0 || c.norSize > opti::kMaxNor) {
    p.error = "NOR size must be 1 to " + std::to_string(opti::kMaxNor) + " bytes";
    return false;
  }
  for (size_t k = 0; k < c.chips.size(); ++k) {
    p.layout[k] = ChipLayout(c.chips[k]);
    if (p.layout[k].empty()) continue;
    p.chipBase[k] = p.layout[k].front().start;
    const uint64_t end = uint64_t{p.layout[k].back().start} + p.layout[k].back().size;
    p.chipSize[k] = static_cast<uint32_t>(end - p.chipBase[k]);
    if (end > c.norSize) {
      p.error = "flash chip " + std::to_string(k) + " ends at " +
                Hex(static_cast<uint32_t>(end - 1)) + ", beyond the NOR of " +
                std::to_string(c.norSize) + " bytes";
      return false;
    }
  }
  if (c.norFile.empty()) {
    p.nor = PatternNor(c.norSize);
  } else {
    std::ifstream in(c.norFile, std::ios::binary | std::ios::ate);
    if (!in) {
      p.error = "cannot open NOR file " + c.norFile;
      return false;
    }
    const std::streamoff fileSize = in.tellg();
    if (fileSize != static_cast<std::streamoff>(c.norSize)) {
      p.error = "NOR file " + c.norFile + " holds " + std::to_string(fileSize) + " bytes, not " +
                std::to_string(c.norSize);
      return false;
    }
    in.seekg(0);
    p.nor.resize(c.norSize);
    if (!in.read(reinterpret_cast<char*>(p.nor.data()), c.norSize)) {
      p.error = "cannot read NOR file " + c.norFile;
      return false;
    }
  }
  if (!p.line.Open(p.error)) return false;
  p.line.SetPacing(c.lineRate);
  p.started = true;
  p.thread = std::thread([&p] { p.Run(); });
  return true;
}

void VirtualOptiPhone::Stop() {
  Impl& p = *impl_;
  p.line.RequestStop();
  if (p.thread.joinable()) p.thread.join();
  p.line.Close();
}

const std::string& VirtualOptiPhone::PortPath() const {
  return impl_->line.Path();
}

const std::string& VirtualOptiPhone::error() const {
  return impl_->error;
}

std::vector<uint8_t> VirtualOptiPhone::Nor() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->nor;
}

OptiPhoneStats VirtualOptiPhone::Stats() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->stats;
}

std::string VirtualOptiPhone::InfoBlock() const {
  return impl_->BuildInfoBlock();
}

std::vector<uint8_t> VirtualOptiPhone::PatternNor(uint32_t size) {
  // xorshift64*: every byte depends on its position, nothing repeats within 32 MiB.
  std::vector<uint8_t> out(size);
  uint64_t state = 0x4F5054494E4F5221ull;
  for (uint32_t i = 0; i < size; i += 8) {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    const uint64_t z = state * 0x2545F4914F6CDD1Dull;
    for (uint32_t k = 0; k < 8 && i + k < size; ++k)
      out[i + k] = static_cast<uint8_t>(z >> (8 * k));
  }
  return out;
}

void VirtualOptiPhone::FailSuckChecksums(int count) {
  impl_->failSucks.store(std::max(0, count));
}

void VirtualOptiPhone::GoSilent() {
  impl_->silent.store(true);
}

void VirtualOptiPhone::WrongStatus() {
  impl_->wrongStatus.store(true);
}

void VirtualOptiPhone::Trickle(uint32_t pieceSize, uint32_t pauseMs) {
  impl_->readFaults.Trickle(pieceSize, pauseMs);
}

void VirtualOptiPhone::UnplugDuringRead(uint32_t afterBytes) {
  impl_->readFaults.UnplugAfter(afterBytes);
}

void VirtualOptiPhone::CorruptProgram(bool everyTime) {
  if (everyTime)
    impl_->programFaults.CorruptEveryTime();
  else
    impl_->programFaults.CorruptOnce();
}

void VirtualOptiPhone::SetLineRate(bool on) {
  impl_->line.SetPacing(on);
}

}  // namespace brantle::sim
