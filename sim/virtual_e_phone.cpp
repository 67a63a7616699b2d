#include "sim/virtual_e_phone.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "engine/ktze_flashes.h"
#include "engine/ktze_loaders.h"
#include "sim/program_faults.h"
#include "sim/pty.h"
#include "sim/read_faults.h"

namespace brantle::sim {
namespace {

using Io = PtyLine::Io;

constexpr uint32_t kBootBaud = 38400;
constexpr uint32_t kUartReference = 806400;  // the divisor counts units of this rate
constexpr uint32_t kMaxNor = 16u << 20;      // a 24-bit bus offset reaches no further
constexpr uint32_t kBusBase = 0x02;          // top byte of every NOR bus address

constexpr uint8_t kBootByte = 0xBE;
constexpr uint8_t kBootAccept = 0x44;    // "D"
constexpr uint8_t kLoader2Ready = 0x63;  // "c"
constexpr uint8_t kAck = 0xC0;
constexpr uint8_t kAckHeader = 0xC7;
constexpr uint8_t kAckProgram = 0xCC;
constexpr uint8_t kRefused = 0xEE;  // what the loader answers instead of an acknowledgement

// Meaningless to the PC, but recognisable in a line trace.
constexpr std::array<uint8_t, 4> kLoader1Banner = {'L', '1', 'O', 'K'};
constexpr std::array<uint8_t, 5> kSpeedBanner = {'R', 'E', 'A', 'D', 'Y'};

constexpr std::array<uint8_t, 26> kE800Packet = {
    0x46, 0x23, 0x16, 0x03, 0x46, 0x42, 0x06, 0x56, 0x00, 0x03, 0xFF, 0xFF, 0x80,
    0x02, 0x80, 0x01, 0x01, 0x30, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x51, 0xBB};
// Bytes 1, 3, 5 and 7 carry the memory timing the PC chose; they are not checked.
constexpr std::array<uint8_t, 25> kE700Packet = {
    0xC7, 0x00, 0xD6, 0x00, 0xC7, 0x00, 0x87, 0x00, 0x00, 0x03, 0xFF, 0xFF, 0x80,
    0x03, 0x40, 0x00, 0x70, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x5B, 0xF8};

enum class Step {
  kOk,    // go on
  kBack,  // give the connection up and return to boot mode
  kEnd,   // stop serving: stop requested, unplugged or silenced
};

uint32_t Be24(const uint8_t* p) {
  return uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
}

uint32_t Be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | Be24(p + 1);
}

uint32_t Sum(const uint8_t* p, size_t n) {
  uint32_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += p[i];
  return sum;
}

bool TakeOne(std::atomic<int>& counter) {
  int left = counter.load();
  while (left > 0) {
    if (counter.compare_exchange_weak(left, left - 1)) return true;
  }
  return false;
}

}  // namespace

struct VirtualEPhone::Impl {
  EPhoneConfig config;
  std::string error;
  PtyLine line;
  std::thread thread;
  bool started = false;
  std::string engineFamily;
  ELoaderSet loaders{};
  EFlashInfo flash;

  // The phone thread is the only writer of nor; it writes under the mutex so that
  // Nor() copies from other threads see whole blocks.
  mutable std::mutex mutex;
  std::vector<uint8_t> nor;
  EPhoneStats stats;

  std::atomic<int> failReads{0};
  std::atomic<int> failPrograms{0};
  std::atomic<bool> silent{false};
  // Switched off until then (steady clock, milliseconds): the boot code is silent.
  std::atomic<int64_t> offUntilMs{0};
  std::atomic<bool> wrongAck{false};
  ReadFaults readFaults;  // trickle and unplug of the next read
  ProgramFaults programFaults;
  std::unique_ptr<EPhoneNand> nand;

  int Stall() const { return std::max(1, config.stallTimeoutMs); }

  void SetSpeed(uint32_t baud, bool parity) {
    line.SetLine(baud, parity);
    std::lock_guard<std::mutex> lock(mutex);
    stats.baud = baud;
    stats.parity = parity ? 2 : 0;
  }

  template <typename F>
  void Count(F change) {
    std::lock_guard<std::mutex> lock(mutex);
    change(stats);
  }

  // Io of a step inside the connect sequence: silence from the PC ends the connection.
  static Step Sequence(Io io) {
    if (io == Io::kOk) return Step::kOk;
    return io == Io::kTimeout ? Step::kBack : Step::kEnd;
  }

  Step Send(const uint8_t* bytes, size_t n) {
    if (silent.load()) return Step::kEnd;
    const Io io = line.Write(bytes, n, Stall());
    // A PC that takes nothing for the whole stall time has lost these bytes, as on
    // a wire nobody listens to; the phone carries on.
    return io == Io::kOk || io == Io::kTimeout ? Step::kOk : Step::kEnd;
  }
  Step Send(std::initializer_list<uint8_t> bytes) { return Send(bytes.begin(), bytes.size()); }

  Step SendSum(uint8_t ack, uint32_t sum) {
    const uint8_t reply[5] = {ack, static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8),
                              static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 24)};
    return Send(reply, sizeof reply);
  }

  void Run();
  Step BootMode();
  Step Connect();
  Step BootPacket();
  Step FirstLoader();
  Step SwitchSpeed();
  Step SecondLoader();
  Step Commands();
  Step Read();
  Step Program();
  Step Erase();
  Step SendNor(uint32_t offset, uint32_t length);
  Step NandCommand(bool (EPhoneNand::*command)(PhoneIo&));
  bool InNor(uint32_t offset, uint32_t length) const;
  bool FitsLayout(uint32_t offset, uint32_t length) const;
};

void VirtualEPhone::Impl::Run() {
  for (;;) {
    SetSpeed(kBootBaud, true);
    Step step = BootMode();
    if (step == Step::kOk) step = Connect();
    if (step == Step::kBack) continue;
    if (step == Step::kOk) step = Commands();
    if (step == Step::kEnd) break;
    // Terminated: the loader hands the line back at boot speed.
    SetSpeed(kBootBaud, true);
    if (!config.rebootAfterTerminate) break;
    if (line.SleepFor(std::chrono::milliseconds(100)) != Io::kOk) break;
  }
  // Switched off or silenced: swallow whatever comes, answer nothing, until Stop().
  uint8_t b;
  while (line.ReadByte(b, -1) == Io::kOk) {
  }
}

// The boot code repeats BE until the PC answers "D"; everything else is noise.
Step VirtualEPhone::Impl::BootMode() {
  constexpr auto kPeriod = std::chrono::milliseconds(10);
  PtyLine::Clock::time_point next = PtyLine::Clock::now();
  for (;;) {
    if (silent.load()) return Step::kEnd;
    const auto now = PtyLine::Clock::now();
    const auto on = PtyLine::Clock::time_point(std::chrono::milliseconds(offUntilMs.load()));
    if (now < on) {
      // Switched off: what the PC sends meanwhile is lost.
      uint8_t b = 0;
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(on - now).count();
      const Io io = line.ReadByte(b, static_cast<int>(std::min<int64_t>(left, 50)));
      if (io == Io::kStopped || io == Io::kGone) return Step::kEnd;
      next = PtyLine::Clock::now();
      continue;
    }
    if (now >= next) {
      // Dropped rather than queued when nobody reads, like a UART with no listener.
      line.WriteOrDrop(kBootByte);
      next = std::max(next + kPeriod, now);
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
    uint8_t b = 0;
    const Io io = line.ReadByte(b, static_cast<int>(std::max<int64_t>(wait, 0)));
    if (io == Io::kOk && b == kBootAccept) return Step::kOk;
    if (io == Io::kStopped || io == Io::kGone) return Step::kEnd;
  }
}

Step VirtualEPhone::Impl::Connect() {
  Step step = BootPacket();
  if (step == Step::kOk) step = FirstLoader();
  if (step == Step::kOk) step = SwitchSpeed();
  if (step == Step::kOk) step = SecondLoader();
  return step;
}

Step VirtualEPhone::Impl::BootPacket() {
  const bool e700 = engineFamily == "E700";
  const size_t size = e700 ? kE700Packet.size() : kE800Packet.size();
  uint8_t packet[32];
  const Step step = Sequence(line.Read(packet, size, Stall()));
  if (step != Step::kOk) return step;
  bool good = true;
  if (e700) {
    for (size_t i = 0; i < size; ++i) {
      const bool timing = i < 8 && i % 2 == 1;
      if (!timing && packet[i] != kE700Packet[i]) good = false;
    }
  } else {
    const uint8_t last = engineFamily == "E330" ? 0xCF : 0xBB;
    good =
        std::equal(kE800Packet.begin(), kE800Packet.end() - 1, packet) && packet[size - 1] == last;
  }
  // A packet the boot code does not understand is not answered at all.
  if (!good) {
    line.DropBuffered();
    return Step::kBack;
  }
  Count([](EPhoneStats& s) { ++s.connects; });
  // The boot code's BE repeats run on while it prepares the answer.
  return Send({kBootByte, kBootAccept});
}

Step VirtualEPhone::Impl::FirstLoader() {
  std::vector<uint8_t> image(loaders.first.size);
  const Step step = Sequence(line.Read(image.data(), image.size(), Stall()));
  if (step != Step::kOk) return step;
  if (Be32(image.data() + loaders.patchOffset) != loaders.second.size) {
    // A loader waiting for the wrong number of bytes hangs the phone; once the PC
    // gives up and falls silent the user restarts it in boot mode.
    const Io io = line.DrainUntilQuiet(Stall());
    return io == Io::kOk ? Step::kBack : Step::kEnd;
  }
  std::vector<uint8_t> reply(kLoader1Banner.begin(), kLoader1Banner.end());
  reply.push_back(config.makerId);
  reply.push_back(config.deviceId);
  return Send(reply.data(), reply.size());
}

// E0 F NH NL CH CL: the divisor is 65536 - N with F/256 as its fraction.
Step VirtualEPhone::Impl::SwitchSpeed() {
  uint8_t p[6];
  Step step = Sequence(line.Read(p, sizeof p, Stall()));
  if (step != Step::kOk) return step;
  const uint32_t fraction = p[1];
  const uint32_t check = (p[2] + fraction + p[3]) & 0xFFFF;
  const uint32_t integer = (65536 - (uint32_t{p[2]} << 8 | p[3])) & 0xFFFF;
  const uint32_t divisor256 = integer * 256 + fraction;
  const bool good = p[0] == 0xE0 && check == (uint32_t{p[4]} << 8 | p[5]) && divisor256 != 0;
  if (!good || wrongAck.exchange(false)) {
    // The loader cannot go on without a valid speed; the PC starts over.
    step = Send({kAck, 0xC3, 0x01});
    return step == Step::kOk ? Step::kBack : step;
  }
  step = Send({kAck, 0xC3, 0x00});
  if (step != Step::kOk) return step;
  SetSpeed(static_cast<uint32_t>(uint64_t{kUartReference} * 256 / divisor256), false);

  // The PC reopens its port meanwhile and then asks with EE; stray bytes of the
  // reopen are skipped, but not endlessly.
  for (int stray = 0;; ++stray) {
    if (stray > 64) return Step::kBack;
    uint8_t b = 0;
    step = Sequence(line.ReadByte(b, Stall()));
    if (step != Step::kOk) return step;
    if (b == 0xEE) break;
  }
  return Send(kSpeedBanner.data(), kSpeedBanner.size());
}

Step VirtualEPhone::Impl::SecondLoader() {
  // The first loader counts the bytes given in its patched field; E700 boards take
  // one more byte, FF, before starting the second loader.
  Step step = Sequence(line.Skip(loaders.second.size, Stall()));
  if (step != Step::kOk) return step;
  if (engineFamily == "E700") {
    uint8_t b = 0;
    step = Sequence(line.ReadByte(b, Stall()));
    if (step != Step::kOk) return step;
    if (b != 0xFF) {
      const Io io = line.DrainUntilQuiet(Stall());
      return io == Io::kOk ? Step::kBack : Step::kEnd;
    }
  }
  return Send({kLoader2Ready});
}

// The second loader waits for commands as long as it takes; a PC that stops in the
// middle of a command only loses that command.
Step VirtualEPhone::Impl::Commands() {
  for (;;) {
    uint8_t cmd = 0;
    if (line.ReadByte(cmd, -1) != Io::kOk) return Step::kEnd;
    if (silent.load()) return Step::kEnd;
    Step step = Step::kOk;
    switch (cmd) {
      case 0xE6:
        step = Read();
        break;
      case 0xEA:
        step = Program();
        break;
      case 0xE4:
        step = Erase();
        break;
      case 'D':
        step = NandCommand(&EPhoneNand::TfsWrite);
        break;
      case 0x10:
        Count([](EPhoneStats& s) { ++s.formats; });
        step = NandCommand(&EPhoneNand::Format);
        break;
      case 'X':
        step = NandCommand(&EPhoneNand::Nand);
        break;
      case 0xE8:
        // Acknowledged even when the acknowledgement comes out wrong: the loader ends.
        step = Send({wrongAck.exchange(false) ? kRefused : kAck});
        return step == Step::kEnd ? step : Step::kOk;
      default:
        break;  // not a command: ignored
    }
    if (step == Step::kEnd) return step;
  }
}

// A file-system command over the line. A PC that stops answering only loses the
// command; a line that is gone ends the phone.
Step VirtualEPhone::Impl::NandCommand(bool (EPhoneNand::*command)(PhoneIo&)) {
  Io last = Io::kOk;
  PhoneIo io{[&](uint8_t* dst, size_t n) { return (last = line.Read(dst, n, Stall())) == Io::kOk; },
             [&](const uint8_t* src, size_t n) { return Send(src, n) == Step::kOk; }};
  if ((nand.get()->*command)(io)) return Step::kOk;
  return last == Io::kTimeout ? Step::kOk : Step::kEnd;
}

bool VirtualEPhone::Impl::InNor(uint32_t offset, uint32_t length) const {
  return uint64_t{offset} + length <= nor.size();
}

bool VirtualEPhone::Impl::FitsLayout(uint32_t offset, uint32_t length) const {
  const uint32_t sector = offset / kESectorSize;
  const uint32_t block =
      sector < kESectorCount ? EBlockSize(flash, static_cast<uint8_t>(sector)) : kESectorSize;
  return block != 0 && length == block && offset % block == 0;
}

// E6 -> C0; 00 L2 L1 L0 02 A2 A1 A0 -> C7, L bytes, their sum.
Step VirtualEPhone::Impl::Read() {
  if (wrongAck.exchange(false)) return Send({kRefused});
  Step step = Send({kAck});
  if (step != Step::kOk) return step;
  uint8_t h[8];
  const Io io = line.Read(h, sizeof h, Stall());
  if (io != Io::kOk) return io == Io::kTimeout ? Step::kOk : Step::kEnd;
  const uint32_t length = Be24(h + 1);
  const uint32_t offset = Be24(h + 5);
  const bool good = h[0] == 0 && h[4] == kBusBase && InNor(offset, length);
  if (!good || wrongAck.exchange(false)) return Send({kRefused});
  step = Send({kAckHeader});
  if (step != Step::kOk) return step;
  step = SendNor(offset, length);
  if (step != Step::kOk) return step;
  uint32_t sum = Sum(nor.data() + offset, length);
  if (TakeOne(failReads)) sum = ~sum;
  const uint8_t tail[4] = {static_cast<uint8_t>(sum), static_cast<uint8_t>(sum >> 8),
                           static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 24)};
  // Counted before the last bytes go out: a PC that has the whole reply finds the
  // read in the counters.
  Count([](EPhoneStats& s) { ++s.reads; });
  return Send(tail, sizeof tail);
}

Step VirtualEPhone::Impl::SendNor(uint32_t offset, uint32_t length) {
  const bool sent = readFaults.SendPayload(
      line, nor.data() + offset, length, Stall(),
      [this](const uint8_t* p, size_t n) { return Send(p, n) == Step::kOk; });
  return sent ? Step::kOk : Step::kEnd;
}

// EA 00 N2 N1 N0 02 A2 A1 A0 00 N2 N1 N0, N bytes -> CC and the sum as received.
Step VirtualEPhone::Impl::Program() {
  uint8_t h[12];
  Io io = line.Read(h, sizeof h, Stall());
  if (io != Io::kOk) return io == Io::kTimeout ? Step::kOk : Step::kEnd;
  Count([](EPhoneStats& s) { ++s.programs; });
  const uint32_t length = Be24(h + 1);
  const uint32_t offset = Be24(h + 5);
  // Without a readable length the data cannot even be skipped.
  if (h[0] != 0 || h[8] != 0) return Send({kRefused});
  bool good = h[4] == kBusBase && Be24(h + 9) == length && InNor(offset, length);
  if (good && !FitsLayout(offset, length)) {
    Count([](EPhoneStats& s) { ++s.badGeometry; });
    good = false;
  }
  if (!good) {
    // The data follows anyway; it is let through without being kept, so that it is
    // not taken for commands.
    io = line.Skip(length, Stall());
    if (io != Io::kOk) return io == Io::kTimeout ? Step::kOk : Step::kEnd;
    return Send({kRefused});
  }
  std::vector<uint8_t> data(length);  // one block: at most 64 KB after the layout check
  io = line.Read(data.data(), data.size(), Stall());
  if (io != Io::kOk) return io == Io::kTimeout ? Step::kOk : Step::kEnd;
  const uint32_t sum = Sum(data.data(), data.size());
  if (wrongAck.exchange(false)) return Send({kRefused});
  if (TakeOne(failPrograms)) return SendSum(kAckProgram, ~sum);
  programFaults.Apply(data.data(), data.size());
  {
    std::lock_guard<std::mutex> lock(mutex);
    std::copy(data.begin(), data.end(), nor.begin() + offset);
  }
  return SendSum(kAckProgram, sum);
}

// E4 01 00 N2 N1 N0 02 A2 A1 A0 -> C0 C5 F6 once the block reads FF.
Step VirtualEPhone::Impl::Erase() {
  uint8_t h[9];
  const Io io = line.Read(h, sizeof h, Stall());
  if (io != Io::kOk) return io == Io::kTimeout ? Step::kOk : Step::kEnd;
  Count([](EPhoneStats& s) { ++s.erases; });
  const uint32_t length = Be24(h + 2);
  const uint32_t offset = Be24(h + 6);
  bool good = h[0] == 0x01 && h[1] == 0 && h[5] == kBusBase && InNor(offset, length);
  if (good && !FitsLayout(offset, length)) {
    Count([](EPhoneStats& s) { ++s.badGeometry; });
    good = false;
  }
  if (!good) return Send({kRefused, 0xC5, 0xF6});
  if (wrongAck.exchange(false)) return Send({kAck, 0xC5, 0xF7});
  {
    std::lock_guard<std::mutex> lock(mutex);
    std::fill_n(nor.begin() + offset, length, uint8_t{0xFF});
  }
  return Send({kAck, 0xC5, 0xF6});
}

VirtualEPhone::VirtualEPhone(EPhoneConfig config) : impl_(std::make_unique<Impl>()) {
  impl_->config = std::move(config);
}

VirtualEPhone::~VirtualEPhone() {
  Stop();
}

bool VirtualEPhone::Start() {
  Impl& p = *impl_;
  if (p.started) {
    p.error = "the virtual phone was started before";
    return false;
  }
  const std::string& family = p.config.family;
  if (family != "E700" && family != "E800" && family != "E330" && family != "S500") {
    p.error = "unknown phone family \"" + family + "\" (E700, E800, E330 or S500)";
    return false;
  }
  p.engineFamily = family == "S500" ? "E700" : family;
  p.loaders = ELoaders(p.engineFamily);
  const uint32_t size = p.config.norSize;
  if (size == 0 || size > kMaxNor) {
    p.error = "NOR size must be 1 to " + std::to_string(kMaxNor) + " bytes";
    return false;
  }
  if (p.config.norFile.empty()) {
    p.nor = PatternNor(size);
  } else {
    std::ifstream in(p.config.norFile, std::ios::binary | std::ios::ate);
    if (!in) {
      p.error = "cannot open NOR file " + p.config.norFile;
      return false;
    }
    const std::streamoff fileSize = in.tellg();
    if (fileSize != static_cast<std::streamoff>(size)) {
      p.error = "NOR file " + p.config.norFile + " holds " + std::to_string(fileSize) +
                " bytes, not " + std::to_string(size);
      return false;
    }
    in.seekg(0);
    p.nor.resize(size);
    if (!in.read(reinterpret_cast<char*>(p.nor.data()), size)) {
      p.error = "cannot read NOR file " + p.config.norFile;
      return false;
    }
  }
  IdentifyEFlash(p.flash, p.config.makerId, p.config.deviceId);
  p.nand = std::make_unique<EPhoneNand>(p.config.family, p.config.volumeMaker);
  if (!p.line.Open(p.error)) return false;
  p.line.SetPacing(p.config.lineRate);
  p.started = true;
  p.thread = std::thread([&p] { p.Run(); });
  return true;
}

void VirtualEPhone::Stop() {
  Impl& p = *impl_;
  p.line.RequestStop();
  if (p.thread.joinable()) p.thread.join();
  p.line.Close();
}

const std::string& VirtualEPhone::PortPath() const {
  return impl_->line.Path();
}

const std::string& VirtualEPhone::error() const {
  return impl_->error;
}

std::vector<uint8_t> VirtualEPhone::Nor() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->nor;
}

EPhoneStats VirtualEPhone::Stats() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->stats;
}

std::vector<uint8_t> VirtualEPhone::PatternNor(uint32_t size) {
  // splitmix64: every byte depends on its position, nothing repeats within 16 MiB.
  std::vector<uint8_t> out(size);
  uint64_t state = 0x42524E544C454E4Full;
  for (uint32_t i = 0; i < size; i += 8) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    for (uint32_t k = 0; k < 8 && i + k < size; ++k)
      out[i + k] = static_cast<uint8_t>(z >> (8 * k));
  }
  return out;
}

void VirtualEPhone::FailReadChecksums(int count) {
  impl_->failReads.store(std::max(0, count));
}

void VirtualEPhone::FailProgramChecksums(int count) {
  impl_->failPrograms.store(std::max(0, count));
}

void VirtualEPhone::GoSilent() {
  impl_->silent.store(true);
}

void VirtualEPhone::SwitchOff(int offMs) {
  const auto until = PtyLine::Clock::now() + std::chrono::milliseconds(offMs);
  impl_->offUntilMs.store(
      std::chrono::duration_cast<std::chrono::milliseconds>(until.time_since_epoch()).count());
}

void VirtualEPhone::WrongAcknowledgement() {
  impl_->wrongAck.store(true);
}

void VirtualEPhone::Trickle(uint32_t pieceSize, uint32_t pauseMs) {
  impl_->readFaults.Trickle(pieceSize, pauseMs);
}

void VirtualEPhone::UnplugDuringRead(uint32_t afterBytes) {
  impl_->readFaults.UnplugAfter(afterBytes);
}

void VirtualEPhone::CorruptProgram(bool everyTime) {
  if (everyTime)
    impl_->programFaults.CorruptEveryTime();
  else
    impl_->programFaults.CorruptOnce();
}

TfsTree VirtualEPhone::NandTree() const {
  return impl_->nand ? impl_->nand->Tree() : TfsTree{};
}

std::vector<uint8_t> VirtualEPhone::NandSectors() const {
  return impl_->nand ? impl_->nand->Sectors() : std::vector<uint8_t>{};
}

void VirtualEPhone::FailRawReadChecksums(int count) {
  if (impl_->nand) impl_->nand->FailRawReadChecksums(count);
}

void VirtualEPhone::SetLineRate(bool on) {
  impl_->line.SetPacing(on);
}

}  // namespace brantle::sim
