// The second loader's commands for the NAND file system: writing directories and
// files (two dialects), formatting, and reading raw 512-byte sectors.

#include <algorithm>
#include <cstdio>

#include "engine/ktze_flasher.h"
#include "engine/result_codes.h"

namespace brantle {
namespace {

constexpr uint32_t kReplyTimeoutMs = 3000;
constexpr uint32_t kFormatTimeoutMs = 10000;
constexpr size_t kNameRecord = 512;
constexpr size_t kSector = 512;
constexpr int kMaxRetries = 3;
const char kTfsVersion[] = "TFS3.0_E700_0001";

std::string BE32(uint32_t v) {
  return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 8), static_cast<char>(v)};
}

uint8_t Sum8(const std::string& bytes) {
  uint8_t sum = 0;
  for (unsigned char c : bytes) sum = static_cast<uint8_t>(sum + c);
  return sum;
}

// The name, a zero byte, then FF up to 512 bytes.
std::string NameRecord(const std::string& name) {
  std::string record = name + '\0';
  record.resize(kNameRecord, '\xFF');
  return record;
}

bool AllFitNameRecords(const std::vector<std::string>& names) {
  return std::all_of(names.begin(), names.end(),
                     [](const std::string& n) { return n.size() < kNameRecord; });
}

// A directory is sent without a trailing "/", except the root itself.
std::string DirectoryPath(std::string path) {
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The raw-read checksum: the sectors as 16-bit big-endian words, summed in 32 bits.
uint32_t WordSum(const uint8_t* data, size_t len) {
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < len; i += 2) sum += (uint32_t{data[i]} << 8) | data[i + 1];
  return sum;
}

}  // namespace

int EEngine::Expect(uint8_t want) {
  uint8_t b = 0;
  if (!link_.ReadByte(b, kDefaultText, kReplyTimeoutMs)) return kErrTimeout;
  return b == want ? kOk : kErrUnexpected;
}

int EEngine::Expect(const std::string& want, const std::string& text) {
  std::string got;
  if (!link_.ReadString(got, want.size(), kReplyTimeoutMs, text)) return kErrTimeout;
  return got == want ? kOk : kErrUnexpected;
}

int EEngine::ETFSBegin() {
  link_.WriteString("D");
  if (EngineFamily == "E700") {
    if (const int r = Expect('w'); r != kOk) return r;
    link_.WriteString(kTfsVersion);
    return Expect("rrr", kDefaultText);
  }
  if (const int r = Expect(0xCC); r != kOk) return r;
  link_.WriteString("\x80");
  if (const int r = Expect('w'); r != kOk) return r;
  link_.WriteString(std::string("\x81") + kTfsVersion);
  return Expect(0x18);
}

int EEngine::ETFSMakeDirs(const std::vector<std::string>& paths) {
  const EStatusTexts& t = link_.Texts;
  if (EngineFamily == "E700") {
    std::vector<std::string> sent;
    for (const auto& p : paths) sent.push_back(DirectoryPath(p));
    if (!AllFitNameRecords(sent)) return kErrArguments;  // would not fit a name record
    link_.WriteString(BE32(static_cast<uint32_t>(sent.size())));
    if (const int r = Expect("ooo", kDefaultText); r != kOk) return r;
    link_.Progress(0);
    for (const std::string& p : sent) {
      link_.Status(t.TFSInitializing + " " + p);
      link_.WriteString(NameRecord(p));
      if (const int r = Expect("sss", t.TFSProcessing + " " + p); r != kOk) return r;
      link_.Progress(1);
    }
    return kOk;
  }
  link_.Progress(0);
  for (const std::string& original : paths) {
    const std::string p = DirectoryPath(original);
    link_.Status(t.TFSInitializing + " " + p);
    link_.WriteString("1");
    if (const int r = Expect(0x13); r != kOk) return r;
    link_.WriteString(BE32(static_cast<uint32_t>(p.size())) + p);
    if (const int r = Expect(Sum8(p)); r != kOk) return r == kErrUnexpected ? kErrCrc : r;
    if (const int r = Expect('s'); r != kOk) return r;
    link_.Progress(1);
  }
  return kOk;
}

int EEngine::ETFSSendFiles(const std::vector<std::string>& names,
                           const std::vector<std::string>& contents) {
  if (names.size() != contents.size()) return kErrArguments;
  const EStatusTexts& t = link_.Texts;
  // Names go out as UTF-8; the program's texts already are.
  if (EngineFamily == "E700") {
    if (!AllFitNameRecords(names)) return kErrArguments;
    link_.WriteString("v" + BE32(static_cast<uint32_t>(names.size())));
    for (size_t i = 0; i < names.size(); ++i) {
      const std::string& data = contents[i];
      link_.WriteString(NameRecord(names[i]) + BE32(static_cast<uint32_t>(data.size())));
      if (const int r = Expect("}}}", kDefaultText); r != kOk) return r;
      link_.Progress(0);
      for (size_t at = 0; at < data.size(); at += 8192) {
        const size_t n = std::min<size_t>(8192, data.size() - at);
        link_.WriteBlock(reinterpret_cast<const uint8_t*>(data.data() + at), n,
                         t.TFSSending + " " + names[i]);
        if (const int r = Expect("~~~", kDefaultText); r != kOk) return r;
      }
      if (const int r = Expect("\x7F\x7F\x7F", kDefaultText); r != kOk) return r;
    }
    return kOk;
  }
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& u = names[i];
    const std::string& data = contents[i];
    link_.WriteString("H");
    if (const int r = Expect('|'); r != kOk) return r;
    const std::string length = BE32(static_cast<uint32_t>(data.size()));
    link_.WriteString(BE32(static_cast<uint32_t>(u.size())) + u + length);
    if (const int r = Expect(Sum8(u + length)); r != kOk) return r == kErrUnexpected ? kErrCrc : r;
    if (const int r = Expect('}'); r != kOk) return r;
    for (size_t at = 0; at < data.size(); at += 1024) {
      const std::string piece = data.substr(at, 1024);
      link_.WriteBlock(reinterpret_cast<const uint8_t*>(piece.data()), piece.size(),
                       t.TFSSending + " " + names[i]);
      if (const int r = Expect('~'); r != kOk) return r;
      if (const int r = Expect(Sum8(piece)); r != kOk) return r == kErrUnexpected ? kErrCrc : r;
    }
    if (const int r = Expect(0x7F); r != kOk) return r;
  }
  return kOk;
}

int EEngine::ETFSEnd() {
  link_.WriteString("y");
  const int r = EngineFamily == "E700" ? Expect("zzz", kDefaultText) : Expect('z');
  if (r != kOk) return r;
  std::string rest;  // four bytes whose meaning is the phone's
  return link_.ReadString(rest, 4, kReplyTimeoutMs, kDefaultText) ? kOk : kErrTimeout;
}

int EEngine::ENANDFormat() {
  link_.WriteString("\x10");
  std::string reply;
  if (!link_.ReadString(reply, 8, kFormatTimeoutMs, link_.Texts.FormattingNAND)) return kErrTimeout;
  return reply.compare(0, 2, "WD") == 0 ? kOk : kErrUnexpected;
}

int EEngine::ENANDOpen() {
  link_.WriteString("X");
  if (const int r = Expect('C'); r != kOk) return r;
  link_.Progress(0);
  link_.WriteString("I");
  if (const int r = Expect('I'); r != kOk) return r;
  return Expect('E');
}

int EEngine::ENANDRead(uint16_t first, uint16_t count, uint8_t* buffer) {
  const size_t bytes = size_t{count} * kSector;
  for (int retries = 0;;) {
    link_.WriteString("X");
    if (const int r = Expect('C'); r != kOk) return r;
    link_.Progress(0);
    link_.WriteString("R");
    if (const int r = Expect('R'); r != kOk) return r;
    link_.WriteString(std::string{static_cast<char>(first), static_cast<char>(first >> 8),
                                  static_cast<char>(count), static_cast<char>(count >> 8)});
    for (uint32_t n = first; n < uint32_t{first} + count; ++n) {
      if (const int r = Expect('D'); r != kOk) return r;
      char text[16];
      std::snprintf(text, sizeof text, " %04X", n);
      if (!link_.ReadBlock(buffer + (n - first) * kSector, kSector, kReplyTimeoutMs,
                           link_.Texts.ReadingNANDBlock + text))
        return kErrTimeout;
    }
    std::string sum;
    if (!link_.ReadString(sum, 4, kReplyTimeoutMs, kDefaultText)) return kErrTimeout;
    if (const int r = Expect('E'); r != kOk) return r;
    const uint32_t got = static_cast<uint8_t>(sum[0]) | static_cast<uint8_t>(sum[1]) << 8 |
                         static_cast<uint8_t>(sum[2]) << 16 |
                         static_cast<uint32_t>(static_cast<uint8_t>(sum[3])) << 24;
    if (got == WordSum(buffer, bytes)) return kOk;
    if (++retries > kMaxRetries) return kErrCrc;
    link_.Progress(-static_cast<int32_t>(bytes));
  }
}

}  // namespace brantle
