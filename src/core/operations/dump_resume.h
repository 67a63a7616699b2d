#pragma once
// What an interrupted NOR dump keeps: the bytes read so far, in a side file beside
// the dump's target, with what was being dumped (family, region, flash ID) and a
// checksum over all of it. The same dump started again continues from the first
// sector not yet read; a side file of another dump, or a damaged one, is not used.

#include <cstdint>
#include <string>

#include "operations/connect_driver.h"

namespace brantle {

// What a dump reads: a side file serves only the same phone and region.
struct DumpIdentity {
  std::string Family;   // "E700" .. "Opti C200": the family and, for Opti, the model
  std::string FlashId;  // the identified chip(s), as the loader reported them
  uint32_t Start = 0;
  uint32_t End = 0;
  bool operator==(const DumpIdentity& o) const {
    return Family == o.Family && FlashId == o.FlashId && Start == o.Start && End == o.End;
  }
};

// The family and the flash of the connected phone, and the region.
DumpIdentity IdentifyDump(OperationFrame& frame, ConnectDriver& driver, uint32_t start,
                          uint32_t end);

// The bytes a dump has read: from the first byte of its first read on (the start of
// the region's first sector for the E families, the region's start for OptiFlash),
// in whole 64 KB reads.
struct PartialDump {
  DumpIdentity Id;
  std::string Bytes;
};

// The side file of a dump's target.
std::string SideFileName(const std::string& target);

enum class SideFile {
  Absent,
  Usable,
  OtherDump,  // of another region, family or flash
  Damaged,    // unreadable, cut short, checksum wrong, or more bytes than the region has
};

// Reads the side file at path and checks it against want; Usable fills partial.
SideFile LoadPartialDump(const std::string& path, const DumpIdentity& want, PartialDump& partial);
// Writes (replacing) the side file; false when it could not be written.
bool SavePartialDump(const std::string& path, const PartialDump& partial);

// The bytes a dump of start..end reads from its first read on, for the family.
uint64_t DumpReadLength(bool opti, uint32_t start, uint32_t end);

}  // namespace brantle
