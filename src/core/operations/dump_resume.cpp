#include "operations/dump_resume.h"

#include <zlib.h>

#include <cstdio>

#include "engine/text_fields.h"
#include "files/file_access.h"
#include "settings/settings.h"

namespace brantle {
namespace {

constexpr char kMagic[] = "BRNTLDMP";  // 8 bytes, then version 1
constexpr uint32_t kSector = 0x10000;
constexpr uint64_t kMaxSideFile = (64ull << 20);

void PutLe32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

void PutText(std::string& out, const std::string& text) {
  PutLe32(out, static_cast<uint32_t>(text.size()));
  out += text;
}

uint32_t Crc(const std::string& bytes, size_t n) {
  return static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(n)));
}

// Reads the fields in the order they were written; any read past the end fails.
class Reader {
 public:
  explicit Reader(const std::string& bytes, size_t end) : bytes_(bytes), end_(end) {}
  bool Le32(uint32_t& v) {
    if (end_ - pos_ < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{static_cast<uint8_t>(bytes_[pos_ + i])} << (8 * i);
    pos_ += 4;
    return true;
  }
  bool Text(std::string& text) {
    uint32_t n = 0;
    if (!Le32(n) || end_ - pos_ < n) return false;
    text = bytes_.substr(pos_, n);
    pos_ += n;
    return true;
  }
  size_t pos() const { return pos_; }

 private:
  const std::string& bytes_;
  size_t end_;
  size_t pos_ = sizeof kMagic;  // past the magic and the version
};

}  // namespace

DumpIdentity IdentifyDump(OperationFrame& frame, ConnectDriver& driver, uint32_t start,
                          uint32_t end) {
  DumpIdentity id;
  const FamilyChoice& family = frame.Family();
  id.Family = family.Family;
  id.Start = start;
  id.End = end;
  if (driver.IsOpti()) {
    id.Family += std::string(" ") + kOptiModelNames[static_cast<size_t>(family.OptiType)];
    for (const OptiChip& chip : driver.Opti().Flash.chips) {
      if (!chip.Present) continue;
      char text[40];
      std::snprintf(text, sizeof text, "%02X %08X at %08X;", chip.MakerID, chip.DeviceID,
                    chip.BaseAddress);
      id.FlashId += text;
    }
  } else {
    const EFlashInfo& f = driver.E().FlashInfo;
    id.FlashId = HexByte(f.MakerID) + " " + HexByte(f.DeviceID);
  }
  return id;
}

std::string SideFileName(const std::string& target) {
  return target + ".partial";
}

uint64_t DumpReadLength(bool opti, uint32_t start, uint32_t end) {
  if (start > end) return 0;
  if (opti) return uint64_t{end} - start + 1;
  return (uint64_t{end / kSector} - start / kSector + 1) * kSector;
}

SideFile LoadPartialDump(const std::string& path, const DumpIdentity& want, PartialDump& partial) {
  std::string bytes;
  const FileStatus status = ReadWholeFile(path, bytes, kMaxSideFile);
  if (status == FileStatus::OpenFailed) return SideFile::Absent;
  // The magic, the version, at least the checksum.
  if (status != FileStatus::Ok || bytes.size() < sizeof kMagic + 4 ||
      bytes.compare(0, sizeof kMagic - 1, kMagic) != 0 || bytes[sizeof kMagic - 1] != 1)
    return SideFile::Damaged;
  const size_t body = bytes.size() - 4;
  Reader reader(bytes, body);
  PartialDump found;
  uint32_t count = 0;
  if (!reader.Text(found.Id.Family) || !reader.Text(found.Id.FlashId) ||
      !reader.Le32(found.Id.Start) || !reader.Le32(found.Id.End) || !reader.Le32(count) ||
      body - reader.pos() != count)
    return SideFile::Damaged;
  uint32_t crc = 0;
  for (int i = 0; i < 4; ++i) crc |= uint32_t{static_cast<uint8_t>(bytes[body + i])} << (8 * i);
  if (crc != Crc(bytes, body)) return SideFile::Damaged;
  if (!(found.Id == want)) return SideFile::OtherDump;
  // Whole reads only, and no more than the dump reads.
  const bool opti = found.Id.Family.compare(0, 4, "Opti") == 0;
  const uint64_t length = DumpReadLength(opti, want.Start, want.End);
  if (count > length || (count % kSector != 0 && count != length)) return SideFile::Damaged;
  found.Bytes = bytes.substr(reader.pos(), count);
  partial = std::move(found);
  return SideFile::Usable;
}

bool SavePartialDump(const std::string& path, const PartialDump& partial) {
  std::string bytes(kMagic, sizeof kMagic - 1);
  bytes.push_back(1);
  PutText(bytes, partial.Id.Family);
  PutText(bytes, partial.Id.FlashId);
  PutLe32(bytes, partial.Id.Start);
  PutLe32(bytes, partial.Id.End);
  PutLe32(bytes, static_cast<uint32_t>(partial.Bytes.size()));
  bytes += partial.Bytes;
  PutLe32(bytes, Crc(bytes, bytes.size()));
  return ReplaceFileContents(path, bytes);
}

}  // namespace brantle
