#pragma once
// The NOR region map: how a family splits its NOR into firmware and EEPROM areas,
// the four region presets of the Dumping and Erasing tabs, and the rule that keeps a
// dump target's extension in step with its file type. Pure functions: the window
// passes in what its controls hold and writes back what comes out.

#include <cstdint>
#include <string>

namespace brantle {

// The largest NOR of any phone (the 32 MiB OptiFlash models): no image is longer.
constexpr uint32_t kLargestNor = 32u << 20;

struct NorAreas {
  uint32_t FirmwareSize = 0;  // firmware area: 0 .. FirmwareSize - 1
  uint32_t EepromSize = 0;    // EEPROM area follows directly
  uint32_t EepromStart() const { return FirmwareSize; }
  uint32_t Total() const { return FirmwareSize + EepromSize; }
};

// family is "E700", "E800", "E330", "S500" or "Opti"; optiType (0..16) only matters
// for "Opti". An unknown family gets the common 14 + 2 MiB split.
NorAreas NorAreasFor(const std::string& family, int optiType);

enum class RegionMode { FirmwareOnly, EepromOnly, FullDump, Advanced };
enum class RegionTab { Dumping, Erasing };
enum class DumpFileType { BinCla, S3, Dif };

// The action button's caption; RegionCaptionKey gives its language key.
enum class RegionCaption {
  SaveFirmware,   // "Save firmware..."
  SaveEeprom,     // "Save EEPROM..."
  SaveFullDump,   // "Save full dump..."
  SaveDump,       // "Save dump..."
  EraseFirmware,  // "Erase firmware..."
  EraseEeprom,    // "Erase EEPROM..."
  EraseEntire,    // "Erase entire NOR..."
  EraseRegion,    // "Erase NOR region..."
};
const char* RegionCaptionKey(RegionCaption caption);

// What the controls of one tab hold when the presets run. Typed addresses are the
// values HexToInt gives for the two fields: -1 for an invalid entry; values from
// 0x80000000 up count as invalid as well.
struct RegionControls {
  RegionTab Tab = RegionTab::Dumping;
  RegionMode Mode = RegionMode::FirmwareOnly;
  int64_t TypedStart = 0;
  int64_t TypedEnd = 0;
  DumpFileType FileType = DumpFileType::BinCla;  // Dumping tab only
  std::string TargetName;                        // Dumping tab only; empty = none chosen
};

struct RegionState {
  uint32_t Start = 0;
  uint32_t End = 0;
  std::string StartText;  // upper-case hexadecimal, no prefix, no leading zeros
  std::string EndText;
  bool FieldsEnabled = false;  // only in Advanced mode
  RegionCaption Caption = RegionCaption::SaveFirmware;
  DumpFileType FileType = DumpFileType::BinCla;  // "EEPROM only" switches a dump to DIF
  std::string TargetName;                        // after the extension rule, if it ran
  bool ActionEnabled = false;
  bool DifOptionsEnabled = false;  // Dumping tab only
};

// The language key of a mode button's caption: the firmware and EEPROM buttons name
// the sizes of the family's areas in their fixed texts.
const char* RegionModeKey(RegionTab tab, RegionMode mode, const std::string& family);

RegionState ComputeRegionPreset(const RegionControls& controls, const NorAreas& areas);

// Upper-case hexadecimal without prefix or leading zeros ("0" for zero).
std::string RegionHex(uint32_t value);

// Sets the extension of a chosen target name for the file type. The extension is
// the text from the last "." after the last "/", dot included; an empty name stays
// empty.
std::string ApplyTargetExtension(const std::string& name, DumpFileType type);

// A click on a file-type button: the target renamed by the extension rule, and
// "DIF options..." enabled exactly for the DIF type.
struct FileTypeChoice {
  std::string TargetName;
  bool DifOptionsEnabled = false;
};
FileTypeChoice ChooseDumpFileType(const std::string& targetName, DumpFileType type);

}  // namespace brantle
