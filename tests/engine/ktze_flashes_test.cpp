#include "engine/ktze_flashes.h"

#include <gtest/gtest.h>

namespace brantle {
namespace {

std::vector<int> SmallSectors(const EFlashInfo& info) {
  std::vector<int> sectors;
  for (const SmallBlock& b : info.SmallBlocks) {
    EXPECT_EQ(b.blockSize, 8192u) << "sector " << int(b.sector);
    sectors.push_back(b.sector);
  }
  return sectors;
}

TEST(IdentifyEFlashTest, KnownChipsGiveNamesAndSmallBlockSectors) {
  struct Case {
    uint8_t maker, device;
    const char* makerName;
    const char* model;
    std::vector<int> sectors;
  };
  const Case cases[] = {
      {0x01, 0x7E, "AMD", "AM50DL128BG", {0, 127, 128, 255}},
      {0x88, 0x55, "Intel", "28F128W30", {0, 255}},
      {0xB0, 0xB1, "Sharp", "LRS1826", {0, 255}},
      {0xEC, 0xE2, "Samsung", "KBB05A300", {0, 128}},
      {0xEC, 0xE0, "Samsung", "KBB06A300", {127, 255}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model);
    EFlashInfo info;
    IdentifyEFlash(info, c.maker, c.device);
    EXPECT_EQ(info.Known, 1);
    EXPECT_EQ(info.MakerID, c.maker);
    EXPECT_EQ(info.DeviceID, c.device);
    EXPECT_EQ(info.MakerName, c.makerName);
    EXPECT_EQ(info.ModelName, c.model);
    EXPECT_EQ(SmallSectors(info), c.sectors);
  }
}

TEST(IdentifyEFlashTest, UnknownIdsLeaveTheChipUnknown) {
  EFlashInfo info;
  IdentifyEFlash(info, 0xEC, 0xE1);
  EXPECT_EQ(info.Known, 0);
  EXPECT_EQ(info.MakerID, 0xEC);
  EXPECT_EQ(info.DeviceID, 0xE1);
  EXPECT_TRUE(info.MakerName.empty());
  EXPECT_TRUE(info.SmallBlocks.empty());
}

TEST(IdentifyEFlashTest, TableHasNoRowForMaker89) {
  for (int device = 0; device < 256; ++device) {
    EFlashInfo info;
    IdentifyEFlash(info, 0x89, static_cast<uint8_t>(device));
    ASSERT_EQ(info.Known, 0) << "device " << device;
  }
}

TEST(IdentifyEFlashTest, ResetForgetsTheChip) {
  EFlashInfo info;
  IdentifyEFlash(info, 0xEC, 0xE2);
  ResetEFlash(info);
  EXPECT_EQ(info.Known, 0);
  EXPECT_EQ(info.MakerID, 0);
  EXPECT_EQ(info.DeviceID, 0);
  EXPECT_TRUE(info.MakerName.empty());
  EXPECT_TRUE(info.ModelName.empty());
  EXPECT_TRUE(info.SmallBlocks.empty());
  EXPECT_EQ(EBlockSize(info, 0), kESectorSize);
}

TEST(EBlockSizeTest, ListedSectorsOfAKnownChipUseSmallBlocks) {
  EFlashInfo info;
  IdentifyEFlash(info, 0xEC, 0xE2);
  for (int sector = 0; sector < kESectorCount; ++sector) {
    const uint32_t expected = (sector == 0 || sector == 128) ? 8192 : 65536;
    EXPECT_EQ(EBlockSize(info, static_cast<uint8_t>(sector)), expected) << sector;
  }
}

TEST(EBlockSizeTest, UnknownChipIsOneBlockPerSector) {
  EFlashInfo info;
  IdentifyEFlash(info, 0xEC, 0xE1);
  for (int sector = 0; sector < kESectorCount; ++sector) {
    EXPECT_EQ(EBlockSize(info, static_cast<uint8_t>(sector)), 65536u) << sector;
  }
  // A list without Known counts for nothing.
  info.SmallBlocks = {{3, 8192}};
  EXPECT_EQ(EBlockSize(info, 3), 65536u);
}

TEST(EBlockSizeTest, LastEntryForASectorWins) {
  EFlashInfo info;
  info.Known = 1;
  info.SmallBlocks = {{5, 8192}, {6, 16384}, {5, 4096}};
  EXPECT_EQ(EBlockSize(info, 5), 4096u);
  EXPECT_EQ(EBlockSize(info, 6), 16384u);
  EXPECT_EQ(EBlockSize(info, 7), 65536u);
}

}  // namespace
}  // namespace brantle
