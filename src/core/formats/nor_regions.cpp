#include "formats/nor_regions.h"

namespace brantle {
namespace {

constexpr uint32_t kMiB = 0x100000;

// The four Opti models with 32 MiB of NOR: X120, E308, E608, X480.
bool IsLargeOpti(int optiType) {
  return optiType == 1 || optiType == 11 || optiType == 12 || optiType == 16;
}

// A field value as the address arithmetic sees it: the field reader works in signed
// 32 bits, so everything from 0x80000000 up is as invalid as a typing error.
int64_t AsSigned32(int64_t value) {
  return (value < 0 || value >= 0x80000000LL) ? -1 : value;
}

RegionCaption CaptionFor(RegionTab tab, RegionMode mode) {
  const bool dumping = tab == RegionTab::Dumping;
  switch (mode) {
    case RegionMode::FirmwareOnly:
      return dumping ? RegionCaption::SaveFirmware : RegionCaption::EraseFirmware;
    case RegionMode::EepromOnly:
      return dumping ? RegionCaption::SaveEeprom : RegionCaption::EraseEeprom;
    case RegionMode::FullDump:
      return dumping ? RegionCaption::SaveFullDump : RegionCaption::EraseEntire;
    case RegionMode::Advanced:
      break;
  }
  return dumping ? RegionCaption::SaveDump : RegionCaption::EraseRegion;
}

}  // namespace

NorAreas NorAreasFor(const std::string& family, int optiType) {
  if (family == "S500") return {15 * kMiB, 1 * kMiB};
  if (family == "Opti" && IsLargeOpti(optiType)) return {26 * kMiB, 6 * kMiB};
  return {14 * kMiB, 2 * kMiB};
}

const char* RegionCaptionKey(RegionCaption caption) {
  switch (caption) {
    case RegionCaption::SaveFirmware:
      return "Win_Save_Firmware";
    case RegionCaption::SaveEeprom:
      return "Win_Save_EEPROM";
    case RegionCaption::SaveFullDump:
      return "Win_Save_Full_Dump";
    case RegionCaption::SaveDump:
      return "SBtn_Dump_Area";
    case RegionCaption::EraseFirmware:
      return "Win_Erase_Firmware";
    case RegionCaption::EraseEeprom:
      return "Win_Erase_EEPROM";
    case RegionCaption::EraseEntire:
      return "Win_Erase_Entire";
    case RegionCaption::EraseRegion:
      return "Win_Erase_Region";
  }
  return "";
}

const char* RegionModeKey(RegionTab tab, RegionMode mode, const std::string& family) {
  const bool s500 = family == "S500";
  const bool opti = family == "Opti";
  switch (mode) {
    case RegionMode::FirmwareOnly:
      return s500 ? "Btn_Dump_PGM_S500" : opti ? "Btn_Dump_PGM_Opti" : "Btn_Dump_PGM";
    case RegionMode::EepromOnly:
      return s500 ? "Btn_Dump_SYS_S500" : opti ? "Btn_Dump_SYS_Opti" : "Btn_Dump_SYS";
    case RegionMode::FullDump:
      return "Btn_Dump_Full";
    case RegionMode::Advanced:
      break;
  }
  return tab == RegionTab::Dumping ? "Btn_Dump_Area" : "Win_Erase_Area";
}

RegionState ComputeRegionPreset(const RegionControls& controls, const NorAreas& areas) {
  RegionState state;
  const bool dumping = controls.Tab == RegionTab::Dumping;
  state.FileType = controls.FileType;
  state.TargetName = controls.TargetName;
  state.FieldsEnabled = controls.Mode == RegionMode::Advanced;
  state.Caption = CaptionFor(controls.Tab, controls.Mode);

  const int64_t total = areas.Total();
  int64_t start = AsSigned32(controls.TypedStart);
  int64_t end = AsSigned32(controls.TypedEnd);
  switch (controls.Mode) {
    case RegionMode::FirmwareOnly:
      start = 0;
      end = static_cast<int64_t>(areas.FirmwareSize) - 1;
      break;
    case RegionMode::EepromOnly:
      start = areas.EepromStart();
      end = total - 1;
      if (dumping) state.FileType = DumpFileType::Dif;
      break;
    case RegionMode::FullDump:
      start = 0;
      end = total - 1;
      break;
    case RegionMode::Advanced:
      break;
  }
  if (dumping && (controls.Mode == RegionMode::Advanced || controls.Mode == RegionMode::EepromOnly))
    state.TargetName = ApplyTargetExtension(state.TargetName, state.FileType);

  // Clamp so that the region never inverts and never leaves the NOR, in this order.
  if (start < 0) start = 0;
  if (start >= total) start = 0;
  if (end < start) end = start;
  if (end >= total) end = total - 1;
  // A family without NOR would leave end at -1; keep the fields meaningful.
  if (end < 0) end = 0;

  state.Start = static_cast<uint32_t>(start);
  state.End = static_cast<uint32_t>(end);
  state.StartText = RegionHex(state.Start);
  state.EndText = RegionHex(state.End);
  state.ActionEnabled = dumping ? !state.TargetName.empty() : true;
  state.DifOptionsEnabled = dumping && state.FileType == DumpFileType::Dif;
  return state;
}

std::string RegionHex(uint32_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return text;
}

std::string ApplyTargetExtension(const std::string& name, DumpFileType type) {
  if (name.empty()) return name;
  const size_t slash = name.rfind('/');
  const size_t dot = name.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string base = hasExtension ? name.substr(0, dot) : name;
  std::string extension = hasExtension ? name.substr(dot) : std::string();
  for (char& c : extension)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');

  switch (type) {
    case DumpFileType::BinCla:
      return base + (extension == ".CLA" ? ".cla" : ".bin");
    case DumpFileType::S3:
      return base + ".s3";
    case DumpFileType::Dif:
      return base + ".dif";
  }
  return name;
}

FileTypeChoice ChooseDumpFileType(const std::string& targetName, DumpFileType type) {
  return {ApplyTargetExtension(targetName, type), type == DumpFileType::Dif};
}

}  // namespace brantle
