#include "sim/e_phone_nand.h"

#include <algorithm>
#include <stdexcept>

#include "sim/tfs_volume_builder.h"

namespace brantle::sim {
namespace {

constexpr size_t kSector = 512;
constexpr size_t kNameRecord = 512;
constexpr uint32_t kMaxFile = 16u << 20;  // no file of the phone is larger
constexpr uint8_t kRefused = 0xEE;
const std::string kVersion = "TFS3.0_E700_0001";

uint32_t BE32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint8_t Sum8(const std::string& s) {
  uint8_t sum = 0;
  for (unsigned char c : s) sum = static_cast<uint8_t>(sum + c);
  return sum;
}

bool Send(PhoneIo& io, const std::string& s) {
  return io.send(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

bool Read(PhoneIo& io, std::string& s, size_t n) {
  s.assign(n, '\0');
  return io.read(reinterpret_cast<uint8_t*>(s.data()), n);
}

bool ReadBE32(PhoneIo& io, uint32_t& v) {
  uint8_t b[4];
  if (!io.read(b, 4)) return false;
  v = BE32(b);
  return true;
}

// A 512-byte name record: the name up to its zero byte.
bool ReadNameRecord(PhoneIo& io, std::string& name) {
  if (!Read(io, name, kNameRecord)) return false;
  name.resize(std::min(name.find('\0'), name.size()));
  return true;
}

}  // namespace

EPhoneNand::EPhoneNand(const std::string& family, VolumeMaker maker)
    : e700_(family != "E800" && family != "E330"),
      sectorCount_(family == "E800" ? 65536 : 32768),
      maker_(std::move(maker)) {
  Commit(TfsTree{});
}

VolumeMaker TfsVolumeMaker() {
  return [](const TfsTree& tree, uint32_t sectors) {
    TfsVolumeBuilder builder;
    for (const std::string& d : tree.directories) builder.AddDirectory(d);
    for (const auto& [path, bytes] : tree.files) builder.AddFile(path, bytes);
    return builder.Build(sectors);
  };
}

void EPhoneNand::Commit(const TfsTree& tree) {
  std::vector<uint8_t> sectors(size_t{sectorCount_} * kSector, 0xFF);
  if (maker_) {
    try {
      sectors = maker_(tree, sectorCount_);
    } catch (const std::invalid_argument&) {
      return;  // the volume is full or the names do not fit: the NAND stays as it was
    }
  }
  sectors.resize(size_t{sectorCount_} * kSector, 0xFF);
  std::lock_guard<std::mutex> lock(mutex_);
  tree_ = tree;
  sectors_ = std::move(sectors);
}

TfsTree EPhoneNand::Tree() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return tree_;
}

std::vector<uint8_t> EPhoneNand::Sectors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sectors_;
}

// Only the sectors asked for: a copy of the whole NAND per request would cost more
// than the request itself.
std::vector<uint8_t> EPhoneNand::SectorRange(uint32_t first, uint32_t count) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto begin = sectors_.begin() + static_cast<std::ptrdiff_t>(size_t{first} * kSector);
  return std::vector<uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(size_t{count} * kSector));
}

bool EPhoneNand::TfsWrite(PhoneIo& io) {
  return e700_ ? WriteE700(io) : WriteE800(io);
}

// D -> w; the version -> rrr; count, name records -> ooo, sss each; v, count, then per
// file a name record and its length -> }}}, pieces of 8192 -> ~~~, then 7F 7F 7F;
// y -> zzz and four bytes.
bool EPhoneNand::WriteE700(PhoneIo& io) {
  std::string version;
  if (!Send(io, "w") || !Read(io, version, kVersion.size())) return false;
  if (version != kVersion) return true;  // not our file system: the session is dropped
  if (!Send(io, "rrr")) return false;
  TfsTree tree = Tree();
  uint32_t count = 0;
  if (!ReadBE32(io, count) || !Send(io, "ooo")) return false;
  for (uint32_t i = 0; i < count; ++i) {
    std::string path;
    if (!ReadNameRecord(io, path)) return false;
    tree.directories.insert(path);
    if (!Send(io, "sss")) return false;
  }
  std::string cmd;
  if (!Read(io, cmd, 1) || cmd != "v" || !ReadBE32(io, count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    uint32_t length = 0;
    if (!ReadNameRecord(io, name) || !ReadBE32(io, length)) return false;
    if (length > kMaxFile) return Send(io, std::string(1, static_cast<char>(kRefused)));
    if (!Send(io, "}}}")) return false;
    std::string contents, piece;
    while (contents.size() < length) {
      if (!Read(io, piece, std::min<size_t>(8192, length - contents.size()))) return false;
      contents += piece;
      if (!Send(io, "~~~")) return false;
    }
    tree.files[name] = contents;
    if (!Send(io, "\x7F\x7F\x7F")) return false;
  }
  if (!Read(io, cmd, 1) || cmd != "y") return false;
  Commit(tree);
  return Send(io, "zzzDONE");
}

// D -> CC; 80 -> w; 81 and the version -> 18; then commands until y: 1 (a directory),
// H (a file), each acknowledged with checksums.
bool EPhoneNand::WriteE800(PhoneIo& io) {
  std::string bytes;
  if (!Send(io, "\xCC") || !Read(io, bytes, 1) || bytes != "\x80") return false;
  if (!Send(io, "w") || !Read(io, bytes, 1 + kVersion.size())) return false;
  if (bytes != "\x81" + kVersion) return true;
  if (!Send(io, "\x18")) return false;
  TfsTree tree = Tree();
  for (;;) {
    std::string cmd;
    if (!Read(io, cmd, 1)) return false;
    if (cmd == "y") {
      Commit(tree);
      return Send(io, "zDONE");
    }
    uint32_t length = 0;
    if (cmd == "1") {
      std::string path;
      if (!Send(io, "\x13") || !ReadBE32(io, length)) return false;
      if (length > kNameRecord) return Send(io, std::string(1, static_cast<char>(kRefused)));
      if (!Read(io, path, length)) return false;
      tree.directories.insert(path);
      if (!Send(io, std::string(1, static_cast<char>(Sum8(path))) + "s")) return false;
    } else if (cmd == "H") {
      std::string name, sizeBytes;
      if (!Send(io, "|") || !ReadBE32(io, length)) return false;
      if (length > kNameRecord) return Send(io, std::string(1, static_cast<char>(kRefused)));
      if (!Read(io, name, length) || !Read(io, sizeBytes, 4)) return false;
      const uint32_t size = BE32(reinterpret_cast<const uint8_t*>(sizeBytes.data()));
      if (size > kMaxFile) return Send(io, std::string(1, static_cast<char>(kRefused)));
      if (!Send(io, std::string(1, static_cast<char>(Sum8(name + sizeBytes))) + "}")) return false;
      std::string contents, piece;
      while (contents.size() < size) {
        if (!Read(io, piece, std::min<size_t>(1024, size - contents.size()))) return false;
        contents += piece;
        if (!Send(io, "~" + std::string(1, static_cast<char>(Sum8(piece))))) return false;
      }
      tree.files[name] = contents;
      if (!Send(io, "\x7F")) return false;
    } else {
      return true;  // not part of a write: the session ends
    }
  }
}

bool EPhoneNand::Format(PhoneIo& io) {
  Commit(TfsTree{});
  return Send(io, "WD\x01\x02\x03\x04\x05\x06");
}

// X -> C; I -> I E (open); R -> R, first and count (little-endian), then per sector
// D and 512 bytes, the 16-bit big-endian word sum (4 bytes little-endian) and E.
bool EPhoneNand::Nand(PhoneIo& io) {
  std::string cmd;
  if (!Send(io, "C") || !Read(io, cmd, 1)) return false;
  if (cmd == "I") return Send(io, "IE");
  if (cmd != "R") return true;
  std::string range;
  if (!Send(io, "R") || !Read(io, range, 4)) return false;
  const auto u8 = [&](int i) { return static_cast<uint32_t>(static_cast<uint8_t>(range[i])); };
  const uint32_t first = u8(0) | u8(1) << 8;
  const uint32_t count = u8(2) | u8(3) << 8;
  if (first + count > sectorCount_) return Send(io, std::string(1, static_cast<char>(kRefused)));
  const std::vector<uint8_t> sectors = SectorRange(first, count);
  // The whole answer in one write, as the NOR reads go: a write per sector would
  // make the line wait on the phone.
  std::string reply;
  reply.reserve(size_t{count} * (kSector + 1) + 5);
  uint32_t sum = 0;
  for (uint32_t n = 0; n < count; ++n) {
    const uint8_t* data = sectors.data() + size_t{n} * kSector;
    for (size_t i = 0; i < kSector; i += 2) sum += uint32_t{data[i]} << 8 | data[i + 1];
    reply += 'D';
    reply.append(reinterpret_cast<const char*>(data), kSector);
  }
  int pending = failReads_.load();
  while (pending > 0 && !failReads_.compare_exchange_weak(pending, pending - 1)) {
  }
  if (pending > 0) sum = ~sum;
  reply += std::string{static_cast<char>(sum), static_cast<char>(sum >> 8),
                       static_cast<char>(sum >> 16), static_cast<char>(sum >> 24), 'E'};
  return Send(io, reply);
}

}  // namespace brantle::sim
