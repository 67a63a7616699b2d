// The loader of the virtual OptiFlash phone: SYNC, the loader frames and the NOR
// commands. Every request the loader reads whole but will not carry out (a broken
// frame, an address outside the chips, a piece too large, no open block, data that
// does not match its checksum) is answered at once with the status "+no!" and no
// payload, so that the PC fails fast instead of waiting out its timeout.

#include <algorithm>
#include <array>

#include "engine/opti_crc.h"
#include "sim/virtual_opti_phone_impl.h"

namespace brantle::sim {
namespace {

using opti::Io;
using opti::Step;

constexpr size_t kMaxRequest = 48;  // the longest request payload, TXDT's
constexpr uint8_t kModeWhole = 0x11;
constexpr uint8_t kModePart = 0x13;

// The payload length each command takes; -1 for a word that is no command.
int RequestSize(const std::string& command) {
  static const std::array<std::pair<const char*, int>, 8> kSizes = {{{"INFO", 36},
                                                                     {"BAUD", 8},
                                                                     {"SETP", 36},
                                                                     {"DONE", 0},
                                                                     {"OPEN", 20},
                                                                     {"CLOS", 4},
                                                                     {"SUCK", 8},
                                                                     {"TXDT", 48}}};
  for (const auto& [name, size] : kSizes) {
    if (command == name) return size;
  }
  return -1;
}

bool AllZero(const uint8_t* p, size_t from, size_t to) {
  return std::all_of(p + from, p + to, [](uint8_t b) { return b == 0; });
}

}  // namespace

// Waits for commands as long as it takes. The PC's bytes are looked at through a
// window of four: whatever precedes a command word (noise, leftovers of a frame the
// loader refused unread) is passed over.
Step VirtualOptiPhone::Impl::LoaderStage() {
  std::string window;
  for (;;) {
    uint8_t b = 0;
    if (line.ReadByte(b, -1) != Io::kOk || silent.load()) return Step::kEnd;
    window += static_cast<char>(b);
    if (window.size() > 4) window.erase(0, 1);
    if (window.size() < 4) continue;
    if (window == "SYNC") {
      // SYNC travels alone, without length or trailer.
      window.clear();
      Count([](OptiPhoneStats& s) { ++s.syncs; });
      if (Send({'s', 'y', 'n', '!'}) != Step::kOk) return Step::kEnd;
      continue;
    }
    if (RequestSize(window) < 0) continue;
    const std::string command = window;
    window.clear();
    const Step step = Command(command);
    if (step != Step::kOk) return step;
  }
}

// Length, payload, checksum (only with a payload) and "EOT.", then the command itself.
// A PC that falls silent inside a frame loses that frame; the loader waits on.
Step VirtualOptiPhone::Impl::Command(const std::string& command) {
  uint8_t word[4];
  Io io = line.Read(word, sizeof word, Stall());
  if (io != Io::kOk) return DropFrame(io);
  const uint32_t length = opti::Le32(word);
  // Longer than any frame: the loader has no room for it and reads none of it.
  if (length > opti::kMaxFrame) return Refuse(command);
  const size_t want = static_cast<size_t>(RequestSize(command));
  if (length != want) {
    // Passed over without being kept, so that its bytes are not taken for commands.
    io = line.Skip(size_t{length} + (length > 0 ? 4 : 0) + 4, Stall());
    return io == Io::kOk ? Refuse(command) : DropFrame(io);
  }
  uint8_t p[kMaxRequest] = {};
  bool frameOk = true;
  if (length > 0) {
    io = line.Read(p, length, Stall());
    if (io == Io::kOk) io = line.Read(word, sizeof word, Stall());
    if (io != Io::kOk) return DropFrame(io);
    frameOk = opti::Le32(word) == FrameCRC(p, length);
  }
  io = line.Read(word, sizeof word, Stall());
  if (io != Io::kOk) return DropFrame(io);
  frameOk = frameOk && std::equal(word, word + 4, "EOT.");

  // TXDT's data follows the frame in any case and must be read first.
  if (command == "TXDT") return Txdt(p, frameOk);
  if (!frameOk) return Refuse(command);
  if (TakeWrongStatus()) return Refuse(command, false);
  if (command == "INFO") return Info();
  if (command == "BAUD") return Baud(p);
  if (command == "SETP") return Setp(p, length);
  if (command == "DONE") return Done();
  if (command == "OPEN") return Open(p);
  if (command == "CLOS") return Close(p);
  return Suck(p);
}

// "rply", the command, "+ok!", the length, payload and checksum, "eom.".
Step VirtualOptiPhone::Impl::Reply(const std::string& command,
                                   const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> out;
  opti::PutText(out, "rply");
  opti::PutText(out, command.c_str());
  opti::PutText(out, "+ok!");
  opti::PutLe32(out, static_cast<uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
  if (!payload.empty()) opti::PutLe32(out, FrameCRC(payload.data(), payload.size()));
  opti::PutText(out, "eom.");
  return Send(out);
}

// Not counted: a refusal the tests asked for (WrongStatus) rather than one the
// request deserved.
Step VirtualOptiPhone::Impl::Refuse(const std::string& command, bool counted) {
  if (counted) Count([](OptiPhoneStats& s) { ++s.rejected; });
  std::vector<uint8_t> out;
  opti::PutText(out, "rply");
  opti::PutText(out, command.c_str());
  opti::PutText(out, "+no!");
  opti::PutLe32(out, 0);
  opti::PutText(out, "eom.");
  return Send(out);
}

// The reply is the hardware information block; the PC's 36 parameter words only
// matter to a real loader's chip driver.
Step VirtualOptiPhone::Impl::Info() {
  const std::string block = config.rawInfo.empty() ? BuildInfoBlock() : config.rawInfo;
  Count([](OptiPhoneStats& s) { ++s.infos; });
  return Reply("INFO", std::vector<uint8_t>(block.begin(), block.end()));
}

// Word 1, then the speed. The reply still goes out at the old speed, the line changes
// after it (the counters show the new speed as soon as it is agreed); a speed the
// loader did not offer is refused and the line stays as it is.
Step VirtualOptiPhone::Impl::Baud(const uint8_t* p) {
  const uint32_t baud = opti::Le32(p + 4);
  const auto& list = config.baudList;
  if (opti::Le32(p) != 1 || baud == 0 || std::find(list.begin(), list.end(), baud) == list.end()) {
    return Refuse("BAUD");
  }
  Count([&](OptiPhoneStats& s) { s.baud = baud; });
  const Step step = Reply("BAUD", {});
  if (step == Step::kOk) line.SetLine(baud, false);
  return step;
}

Step VirtualOptiPhone::Impl::Setp(const uint8_t* p, size_t n) {
  if (opti::Le32(p) != 1) return Refuse("SETP");
  Count([&](OptiPhoneStats& s) {
    ++s.setps;
    s.setp.assign(reinterpret_cast<const char*>(p), n);
  });
  return Reply("SETP", {});
}

// The loader ends: after the PC's "o" (or once the PC falls silent) the phone is back
// in its boot code, which answers "?" again.
Step VirtualOptiPhone::Impl::Done() {
  Count([](OptiPhoneStats& s) { ++s.dones; });
  if (Reply("DONE", {}) != Step::kOk) return Step::kEnd;
  for (;;) {
    uint8_t b = 0;
    const Io io = line.ReadByte(b, Stall());
    if (io == Io::kTimeout || (io == Io::kOk && b == 'o')) return Step::kBack;
    if (io != Io::kOk) return Step::kEnd;
  }
}

// Block index within the chip, chip index, start, size, mode, 0 0 0, FF, 0 0 0. The
// block must be one of that chip's erase blocks exactly. Mode 0x11: the whole block
// will be written, so it is erased now; mode 0x13: the loader keeps what is there and
// writes the new bytes over it. Opening another block (or the same one again, which the
// PC does to go from 0x11 to 0x13) needs no CLOS first.
Step VirtualOptiPhone::Impl::Open(const uint8_t* p) {
  const uint16_t index = opti::Le16(p);
  const uint16_t chip = opti::Le16(p + 2);
  const uint32_t start = opti::Le32(p + 4);
  const uint32_t size = opti::Le32(p + 8);
  const uint8_t mode = p[12];
  const bool known = chip < opti::kMaxChips && index < layout[chip].size() &&
                     layout[chip][index].start == start && layout[chip][index].size == size;
  const bool tail = AllZero(p, 13, 16) && p[16] == 0xFF && AllZero(p, 17, 20);
  if (!known || !tail || (mode != kModeWhole && mode != kModePart)) return Refuse("OPEN");
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (mode == kModeWhole) std::fill_n(nor.begin() + start, size, uint8_t{0xFF});
    stats.openModes.push_back(mode);
  }
  block = OpenBlock{true, chip, index, start, size};
  return Reply("OPEN", {});
}

// Block index and chip index of the open block.
Step VirtualOptiPhone::Impl::Close(const uint8_t* p) {
  if (!block.open || opti::Le16(p) != block.index || opti::Le16(p + 2) != block.chip) {
    return Refuse("CLOS");
  }
  block.open = false;
  Count([](OptiPhoneStats& s) { ++s.closes; });
  return Reply("CLOS", {});
}

bool VirtualOptiPhone::Impl::InChips(uint32_t address, uint32_t n) const {
  const uint64_t end = uint64_t{address} + n;
  uint64_t pos = address;
  while (pos < end) {
    bool found = false;
    for (size_t k = 0; k < opti::kMaxChips; ++k) {
      if (layout[k].empty()) continue;
      const uint64_t chipEnd = uint64_t{chipBase[k]} + chipSize[k];
      if (pos >= chipBase[k] && pos < chipEnd) {
        pos = chipEnd;  // a range may run on into the next chip
        found = true;
        break;
      }
    }
    if (!found) return false;
  }
  return true;
}

// Address and count; the reply's payload is the NOR bytes.
Step VirtualOptiPhone::Impl::Suck(const uint8_t* p) {
  const uint32_t address = opti::Le32(p);
  const uint32_t n = opti::Le32(p + 4);
  if (n == 0 || n > config.maxReadChunk || n > opti::kMaxFrame || !InChips(address, n)) {
    return Refuse("SUCK");
  }
  std::vector<uint8_t> head;
  opti::PutText(head, "rply");
  opti::PutText(head, "SUCK");
  opti::PutText(head, "+ok!");
  opti::PutLe32(head, n);
  Step step = Send(head);
  if (step == Step::kOk) step = SendNor(address, n);
  if (step != Step::kOk) return step;
  uint32_t crc = FrameCRC(nor.data() + address, n);
  int left = failSucks.load();
  while (left > 0 && !failSucks.compare_exchange_weak(left, left - 1)) {
  }
  if (left > 0) crc = ~crc;
  std::vector<uint8_t> tail;
  opti::PutLe32(tail, crc);
  opti::PutText(tail, "eom.");
  Count([](OptiPhoneStats& s) { ++s.sucks; });
  return Send(tail);
}

// The read's payload, in trickled pieces or cut short by an unplug when asked for.
Step VirtualOptiPhone::Impl::SendNor(uint32_t address, uint32_t n) {
  const bool sent = readFaults.SendPayload(
      line, nor.data() + address, n, Stall(),
      [this](const uint8_t* p, size_t k) { return Send(p, k) == Step::kOk; });
  return sent ? Step::kOk : Step::kEnd;
}

// Address, n, 1, 1, 1, n again and the data's checksum, all else zero; then the n data
// bytes on the line outside any frame. They are taken off the line whenever n is one
// the loader could hold at all, even for a request it then refuses.
Step VirtualOptiPhone::Impl::Txdt(const uint8_t* p, bool frameOk) {
  const uint32_t address = opti::Le32(p);
  const uint32_t n = opti::Le32(p + 4);
  if (n == 0 || n > config.maxWriteChunk || n > opti::kMaxFrame) return Refuse("TXDT");
  std::vector<uint8_t> data(n);
  const Io io = line.Read(data.data(), n, Stall());
  if (io != Io::kOk) return DropFrame(io);

  const bool fields = p[8] == 1 && p[12] == 1 && p[16] == 1 && opti::Le32(p + 24) == n &&
                      AllZero(p, 9, 12) && AllZero(p, 13, 16) && AllZero(p, 17, 24) &&
                      AllZero(p, 32, 48);
  const bool inBlock = block.open && address >= block.start &&
                       uint64_t{address} + n <= uint64_t{block.start} + block.size;
  const bool sound = opti::Le32(p + 28) == FrameCRC(data.data(), n);
  if (!frameOk || !fields || !inBlock || !sound) return Refuse("TXDT");
  if (TakeWrongStatus()) return Refuse("TXDT", false);
  programFaults.Apply(data.data(), data.size());
  {
    std::lock_guard<std::mutex> lock(mutex);
    std::copy(data.begin(), data.end(), nor.begin() + address);
    ++stats.txdts;
  }
  return Reply("TXDT", {});
}

}  // namespace brantle::sim
