#include "formats/nor_regions.h"

#include <gtest/gtest.h>

#include "lang/lang_get.h"

namespace brantle {
namespace {

RegionState Dump(const NorAreas& areas, RegionMode mode, int64_t start = 0, int64_t end = 0) {
  RegionControls controls;
  controls.Tab = RegionTab::Dumping;
  controls.Mode = mode;
  controls.TypedStart = start;
  controls.TypedEnd = end;
  controls.TargetName = "/tmp/dump.bin";
  return ComputeRegionPreset(controls, areas);
}

TEST(NorAreasTest, FourOptiModelsHaveTheLargeNor) {
  for (int type = 0; type <= 16; ++type) {
    const bool large = type == 1 || type == 11 || type == 12 || type == 16;
    const NorAreas opti = NorAreasFor("Opti", type);
    EXPECT_EQ(opti.FirmwareSize, large ? 0x1A00000u : 0xE00000u) << type;
    EXPECT_EQ(opti.EepromSize, large ? 0x600000u : 0x200000u) << type;
  }
  // The model number means nothing outside the Opti family.
  EXPECT_EQ(NorAreasFor("E700", 16).Total(), 0x1000000u);
}

TEST(RegionPresetTest, PresetsOfEveryFamily) {
  struct Case {
    const char* family;
    int optiType;
    const char* firmwareEnd;
    const char* eepromStart;
    const char* last;
  };
  const Case cases[] = {
      {"E700", 0, "DFFFFF", "E00000", "FFFFFF"},     {"E800", 0, "DFFFFF", "E00000", "FFFFFF"},
      {"E330", 0, "DFFFFF", "E00000", "FFFFFF"},     {"S500", 0, "EFFFFF", "F00000", "FFFFFF"},
      {"Opti", 0, "DFFFFF", "E00000", "FFFFFF"},     {"Opti", 1, "19FFFFF", "1A00000", "1FFFFFF"},
      {"Opti", 11, "19FFFFF", "1A00000", "1FFFFFF"}, {"Opti", 12, "19FFFFF", "1A00000", "1FFFFFF"},
      {"Opti", 16, "19FFFFF", "1A00000", "1FFFFFF"}, {"Opti", 15, "DFFFFF", "E00000", "FFFFFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.family) + " " + std::to_string(c.optiType));
    const NorAreas areas = NorAreasFor(c.family, c.optiType);
    const RegionState firmware = Dump(areas, RegionMode::FirmwareOnly);
    EXPECT_EQ(firmware.StartText, "0");
    EXPECT_EQ(firmware.EndText, c.firmwareEnd);
    const RegionState eeprom = Dump(areas, RegionMode::EepromOnly);
    EXPECT_EQ(eeprom.StartText, c.eepromStart);
    EXPECT_EQ(eeprom.EndText, c.last);
    const RegionState full = Dump(areas, RegionMode::FullDump);
    EXPECT_EQ(full.StartText, "0");
    EXPECT_EQ(full.EndText, c.last);
  }
}

TEST(RegionPresetTest, CaptionsAndFieldStatesOnBothTabs) {
  const NorAreas areas = NorAreasFor("E700", 0);
  const RegionMode modes[] = {RegionMode::FirmwareOnly, RegionMode::EepromOnly,
                              RegionMode::FullDump, RegionMode::Advanced};
  const char* dumping[] = {"Save firmware...", "Save EEPROM...", "Save full dump...",
                           "Save dump..."};
  const char* erasing[] = {"Erase firmware...", "Erase EEPROM...", "Erase entire NOR...",
                           "Erase NOR region..."};
  for (int i = 0; i < 4; ++i) {
    RegionControls controls;
    controls.Mode = modes[i];
    controls.Tab = RegionTab::Dumping;
    const RegionState dump = ComputeRegionPreset(controls, areas);
    EXPECT_EQ(LangGet(RegionCaptionKey(dump.Caption)), dumping[i]);
    EXPECT_EQ(dump.FieldsEnabled, modes[i] == RegionMode::Advanced);
    EXPECT_FALSE(dump.ActionEnabled) << "no target chosen yet";
    controls.Tab = RegionTab::Erasing;
    const RegionState erase = ComputeRegionPreset(controls, areas);
    EXPECT_EQ(LangGet(RegionCaptionKey(erase.Caption)), erasing[i]);
    EXPECT_TRUE(erase.ActionEnabled);
    EXPECT_EQ(erase.FieldsEnabled, modes[i] == RegionMode::Advanced);
  }
}

TEST(RegionPresetTest, AdvancedEntriesAreClampedIntoTheNor) {
  const NorAreas areas = NorAreasFor("E700", 0);
  // Start past the NOR becomes 0; an invalid end (HexToInt of "ZZ") follows the start.
  RegionState s = Dump(areas, RegionMode::Advanced, 0x1000000, -1);
  EXPECT_EQ(s.Start, 0u);
  EXPECT_EQ(s.End, 0u);
  s = Dump(areas, RegionMode::Advanced, 0x123456, 0x100);
  EXPECT_EQ(s.StartText, "123456");
  EXPECT_EQ(s.EndText, "123456");
  s = Dump(areas, RegionMode::Advanced, 0x10, 0x7FFFFFFF);
  EXPECT_EQ(s.EndText, "FFFFFF");
  // From 0x80000000 up a field counts as invalid, not as a large address.
  s = Dump(areas, RegionMode::Advanced, 0x200, 0xFFFFFFFF);
  EXPECT_EQ(s.Start, 0x200u);
  EXPECT_EQ(s.End, 0x200u);
  s = Dump(areas, RegionMode::Advanced, 0x80000000, 0x300);
  EXPECT_EQ(s.Start, 0u);
  EXPECT_EQ(s.End, 0x300u);
  // A region typed for a 32 MiB family is clamped on the next 16 MiB recomputation.
  s = Dump(areas, RegionMode::Advanced, 0x1A00000, 0x1FFFFFF);
  EXPECT_EQ(s.Start, 0u);
  EXPECT_EQ(s.End, 0xFFFFFFu);
}

TEST(RegionPresetTest, EepromOnlyTurnsADumpIntoADif) {
  RegionControls controls;
  controls.Mode = RegionMode::EepromOnly;
  controls.FileType = DumpFileType::BinCla;
  controls.TargetName = "/home/u/fw.v2/dump.CLA";
  const RegionState s = ComputeRegionPreset(controls, NorAreasFor("S500", 0));
  EXPECT_EQ(s.FileType, DumpFileType::Dif);
  EXPECT_EQ(s.TargetName, "/home/u/fw.v2/dump.dif");
  EXPECT_TRUE(s.DifOptionsEnabled);
  EXPECT_TRUE(s.ActionEnabled);
  EXPECT_EQ(s.StartText, "F00000");

  // The Erasing tab has no file type to switch.
  controls.Tab = RegionTab::Erasing;
  const RegionState e = ComputeRegionPreset(controls, NorAreasFor("S500", 0));
  EXPECT_EQ(e.FileType, DumpFileType::BinCla);
  EXPECT_EQ(e.TargetName, "/home/u/fw.v2/dump.CLA");
}

TEST(RegionPresetTest, ExtensionRuleRunsOnlyWhereThePresetsApplyIt) {
  RegionControls controls;
  controls.FileType = DumpFileType::S3;
  controls.TargetName = "/tmp/dump.bin";
  controls.Mode = RegionMode::FirmwareOnly;
  RegionState s = ComputeRegionPreset(controls, NorAreasFor("E700", 0));
  EXPECT_EQ(s.TargetName, "/tmp/dump.bin");
  EXPECT_FALSE(s.DifOptionsEnabled);
  controls.Mode = RegionMode::Advanced;
  s = ComputeRegionPreset(controls, NorAreasFor("E700", 0));
  EXPECT_EQ(s.TargetName, "/tmp/dump.s3");
  controls.TargetName.clear();
  s = ComputeRegionPreset(controls, NorAreasFor("E700", 0));
  EXPECT_EQ(s.TargetName, "");
  EXPECT_FALSE(s.ActionEnabled);
}

TEST(TargetExtensionTest, FollowsTheFileType) {
  std::string name = ApplyTargetExtension("dump.CLA", DumpFileType::S3);
  EXPECT_EQ(name, "dump.s3");
  name = ApplyTargetExtension(name, DumpFileType::BinCla);
  EXPECT_EQ(name, "dump.bin");
  EXPECT_EQ(ApplyTargetExtension("dump.cLa", DumpFileType::BinCla), "dump.cla");
  EXPECT_EQ(ApplyTargetExtension("dump.CLA", DumpFileType::BinCla), "dump.cla");
  EXPECT_EQ(ApplyTargetExtension("dump", DumpFileType::Dif), "dump.dif");
  EXPECT_EQ(ApplyTargetExtension("/data/fw.old/dump", DumpFileType::S3), "/data/fw.old/dump.s3");
  EXPECT_EQ(ApplyTargetExtension("/data/fw.old/dump.tar.gz", DumpFileType::BinCla),
            "/data/fw.old/dump.tar.bin");
  EXPECT_EQ(ApplyTargetExtension("dump.", DumpFileType::Dif), "dump.dif");
  EXPECT_EQ(ApplyTargetExtension("", DumpFileType::Dif), "");
}

TEST(RegionModeKeys, TheAreaButtonsNameTheFamilysSizes) {
  EXPECT_STREQ(RegionModeKey(RegionTab::Dumping, RegionMode::FirmwareOnly, "E800"), "Btn_Dump_PGM");
  EXPECT_STREQ(RegionModeKey(RegionTab::Erasing, RegionMode::EepromOnly, "S500"),
               "Btn_Dump_SYS_S500");
  EXPECT_STREQ(RegionModeKey(RegionTab::Dumping, RegionMode::FirmwareOnly, "Opti"),
               "Btn_Dump_PGM_Opti");
  EXPECT_STREQ(RegionModeKey(RegionTab::Dumping, RegionMode::Advanced, "E700"), "Btn_Dump_Area");
  EXPECT_STREQ(RegionModeKey(RegionTab::Erasing, RegionMode::Advanced, "E700"), "Win_Erase_Area");
  EXPECT_STREQ(RegionCaptionKey(RegionCaption::EraseRegion), "Win_Erase_Region");
}

TEST(DumpFileTypeChoice, RenamesTheTargetAndEnablesTheDifOptionsOnlyForDif) {
  FileTypeChoice c = ChooseDumpFileType("/tmp/x.y/dump.CLA", DumpFileType::S3);
  EXPECT_EQ(c.TargetName, "/tmp/x.y/dump.s3");
  EXPECT_FALSE(c.DifOptionsEnabled);
  c = ChooseDumpFileType("", DumpFileType::Dif);
  EXPECT_EQ(c.TargetName, "");
  EXPECT_TRUE(c.DifOptionsEnabled);
}

}  // namespace
}  // namespace brantle
