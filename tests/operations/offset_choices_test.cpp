// The entries the address fields' lists offer.

#include "operations/offset_choices.h"

#include <gtest/gtest.h>

namespace brantle {
namespace {

using Entries = std::vector<std::string>;

const NorAreas kE700{0xE00000, 0x200000};

TEST(OffsetChoices, TheAreasBeginAndEnd) {
  EXPECT_EQ(AreaStarts(kE700), (Entries{"0", "E00000"}));
  EXPECT_EQ(AreaEnds(kE700), (Entries{"DFFFFF", "FFFFFF"}));
  const NorAreas opti32{0x1A00000, 0x600000};
  EXPECT_EQ(AreaStarts(opti32), (Entries{"0", "1A00000"}));
  EXPECT_EQ(AreaEnds(opti32), (Entries{"19FFFFF", "1FFFFFF"}));
  EXPECT_EQ(AreaEnds(NorAreas{}), Entries{});
}

TEST(OffsetChoices, AFileOffersWhatItHolds) {
  EXPECT_EQ(FileOffsets(0, kE700), Entries{});
  EXPECT_EQ(PartLengths(0, kE700), Entries{});
  // A small file: its start and its length.
  EXPECT_EQ(FileOffsets(0x30, kE700), Entries{"0"});
  EXPECT_EQ(PartLengths(0x30, kE700), Entries{"30"});
  // A full dump: the EEPROM area where it starts, and both areas' sizes.
  EXPECT_EQ(FileOffsets(0x1000000, kE700), (Entries{"0", "E00000"}));
  EXPECT_EQ(PartLengths(0x1000000, kE700), (Entries{"1000000", "E00000", "200000"}));
  // Just the firmware: the EEPROM area's start is past its end.
  EXPECT_EQ(FileOffsets(0xE00000, kE700), Entries{"0"});
  EXPECT_EQ(PartLengths(0xE00000, kE700), (Entries{"E00000", "200000"}));
  // Longer than the NOR: the whole file is no length the phone takes.
  EXPECT_EQ(PartLengths(0x2000000, kE700), (Entries{"E00000", "200000"}));
}

}  // namespace
}  // namespace brantle
