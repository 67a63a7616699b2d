#include "engine/ktze_flashes_opti.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace brantle {
namespace {

constexpr uint32_t KB = 1024;
constexpr uint32_t MB = 1024 * 1024;

// Chips used below, by their table IDs.
struct Id {
  uint8_t maker;
  uint32_t device;
};
constexpr Id kAm29LV160D{0x01, 0x22490000};  // 16, 2x8, 32, 31x64 KB
constexpr Id kKBB05A300{0xEC, 0x22E20000};   // 8x8, 127x64 KB
constexpr Id kKBB06A300{0xEC, 0x22E00000};   // 127x64, 8x8 KB
constexpr Id k28F320J3A{0x89, 0x00160000};   // 32x128 KB
constexpr Id kLRS1337{0xB0, 0x00E10000};     // two banks of 8x8, 31x64 KB
constexpr Id kUnknown{0x12, 0x34560000};

struct InfoChip {
  Id first;
  Id second;
  uint32_t base;
};

void PutLE32(std::string& block, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) block[at + i] = static_cast<char>(value >> (8 * i));
}

// A hardware information block as the loader sends it; bauds are written from offset 96
// exactly as given (include the ending 0 yourself), and the block is at least 104 bytes.
std::string InfoBlock(uint32_t count, const std::vector<InfoChip>& chips,
                      const std::vector<uint32_t>& bauds, uint32_t maxWrite = 128 * KB,
                      uint32_t maxRead = 4096) {
  std::string block(std::max<size_t>(104, 96 + 4 * bauds.size()), '\0');
  PutLE32(block, 4, count);
  for (size_t k = 0; k < chips.size(); ++k) {
    const size_t at = 8 + 20 * k;
    PutLE32(block, at, uint32_t{chips[k].first.maker} << 16 | 0xAA);
    PutLE32(block, at + 4, chips[k].first.device);
    PutLE32(block, at + 8, uint32_t{chips[k].second.maker} << 16 | 0xFF000055);
    PutLE32(block, at + 12, chips[k].second.device);
    PutLE32(block, at + 16, chips[k].base);
  }
  PutLE32(block, 88, maxWrite);
  PutLE32(block, 92, maxRead);
  for (size_t i = 0; i < bauds.size(); ++i) PutLE32(block, 96 + 4 * i, bauds[i]);
  return block;
}

OptiFlash Identified(Id id, uint32_t base) {
  OptiFlash flash;
  IdentifyOptiChip(flash, 0, id.maker, id.device, base);
  return flash;
}

// Sum of the block sizes the chip added, independent of TotalSize.
uint64_t ListedBytes(const OptiFlash& flash, int chip) {
  uint64_t sum = 0;
  for (const OptiBlock& b : flash.OptiBlockList) sum += b.chip == chip ? b.size : 0;
  return sum;
}

TEST(OptiTableTest, Row1HasItsMixedLayout) {
  const OptiFlash flash = Identified(kAm29LV160D, 0);
  const OptiChip& chip = flash.chips[0];
  EXPECT_EQ(chip.Present, 1);
  EXPECT_EQ(chip.Usable, 1);
  EXPECT_EQ(chip.MakerName, "AMD");
  EXPECT_EQ(chip.ModelName, "Am29LV160D");
  EXPECT_EQ(chip.IntelCommands, 0);
  EXPECT_EQ(chip.WriteMethod, 0);
  EXPECT_EQ(chip.TotalSize, 2 * MB);
  EXPECT_EQ(chip.BlockCount, 35u);
  ASSERT_EQ(flash.OptiBlockList.size(), 35u);
  const uint32_t head[] = {16 * KB, 8 * KB, 8 * KB, 32 * KB, 64 * KB};
  for (uint16_t i = 0; i < 35; ++i) {
    EXPECT_EQ(flash.OptiBlockList[i].chip, 0);
    EXPECT_EQ(flash.OptiBlockList[i].index, i);
    EXPECT_EQ(flash.OptiBlockList[i].size, i < 5 ? head[i] : 64 * KB) << i;
  }
  EXPECT_EQ(ListedBytes(flash, 0), chip.TotalSize);
}

TEST(OptiTableTest, Row29IsFourMegabytesOf128KBlocks) {
  const OptiFlash flash = Identified(k28F320J3A, 0);
  const OptiChip& chip = flash.chips[0];
  EXPECT_EQ(chip.TotalSize, 4 * MB);
  EXPECT_EQ(chip.BlockCount, 32u);
  for (const OptiBlock& b : flash.OptiBlockList) EXPECT_EQ(b.size, 128 * KB);
  EXPECT_EQ(chip.IntelCommands, 1);
  EXPECT_EQ(chip.WriteMethod, 0) << "PAGE_BUFFER32 is driven like STANDARD";
}

TEST(OptiTableTest, Row48ListsBothBanks) {
  const OptiFlash flash = Identified(kLRS1337, 0);
  EXPECT_EQ(flash.chips[0].ModelName, "LRS1337");
  EXPECT_EQ(flash.chips[0].BlockCount, 78u);
  EXPECT_EQ(flash.chips[0].TotalSize, 4 * MB);
  ASSERT_EQ(flash.OptiBlockList.size(), 78u);
  // The second bank starts again with eight 8 KB blocks.
  EXPECT_EQ(flash.OptiBlockList[38].size, 64 * KB);
  EXPECT_EQ(flash.OptiBlockList[39].size, 8 * KB);
}

TEST(OptiTableTest, WriteMethodsAndCommandSets) {
  struct Case {
    Id id;
    uint8_t method;
    uint8_t intel;
  };
  const Case cases[] = {
      {{0x01, 0x227E1501}, 1, 0},  // UNLOCK_BYPASS, AMD
      {{0x01, 0x227E0201}, 0, 0},  // STANDARD
      {{0xB0, 0x00B00000}, 2, 1},  // PAGE_BUFFER, INTEL
      {{0x89, 0x880F0000}, 0, 1},  // PAGE_BUFFER32
  };
  for (const Case& c : cases) {
    const OptiFlash flash = Identified(c.id, 0);
    SCOPED_TRACE(flash.chips[0].ModelName);
    EXPECT_EQ(flash.chips[0].Usable, 1);
    EXPECT_EQ(flash.chips[0].WriteMethod, c.method);
    EXPECT_EQ(flash.chips[0].IntelCommands, c.intel);
  }
}

TEST(OptiTableTest, RowsWithMakerBoMatchNoChip) {
  for (uint32_t device : {0x000F0000u, 0x000F1111u, 0x000F2222u}) {
    for (int maker = 0; maker < 256; ++maker) {
      const OptiFlash flash = Identified({static_cast<uint8_t>(maker), device}, 0);
      ASSERT_EQ(flash.chips[0].Usable, 0) << maker << " " << device;
      ASSERT_TRUE(flash.OptiBlockList.empty());
    }
  }
}

TEST(OptiTableTest, DeviceIsComparedAsAFullWord) {
  // Same upper half as row 1, different lower half.
  const OptiFlash flash = Identified({0x01, 0x22490001}, 0);
  EXPECT_EQ(flash.chips[0].Present, 1);
  EXPECT_EQ(flash.chips[0].Usable, 0);
  EXPECT_EQ(flash.chips[0].MakerID, 0x01);
  EXPECT_EQ(flash.chips[0].DeviceID, 0x22490001u);
  EXPECT_TRUE(flash.chips[0].ModelName.empty());
}

TEST(OptiBankMapTest, SmallBlocksAtTheStart) {
  const OptiFlash flash = Identified(kKBB05A300, 0);
  ASSERT_EQ(flash.BankMap.size(), 128u);
  EXPECT_EQ(flash.BankMap[0], 0);
  EXPECT_EQ(flash.BankMap[1], 8);
  EXPECT_EQ(flash.BankMap[127], 134);
}

TEST(OptiBankMapTest, BlocksNotOnBankBoundariesMapToTheBlockHoldingTheBank) {
  // 16 + 8 + 8 + 32 KB fill bank 0 exactly; everything after is 64 KB.
  const OptiFlash flash = Identified(kAm29LV160D, 0);
  ASSERT_EQ(flash.BankMap.size(), 32u);
  EXPECT_EQ(flash.BankMap[0], 0);
  EXPECT_EQ(flash.BankMap[1], 4);
  EXPECT_EQ(flash.BankMap[31], 34);
}

TEST(OptiBankMapTest, LargeBlocksCoverSeveralBanks) {
  const OptiFlash flash = Identified(k28F320J3A, 0);
  ASSERT_EQ(flash.BankMap.size(), 64u);
  for (size_t bank = 0; bank < 64; ++bank) EXPECT_EQ(flash.BankMap[bank], int(bank / 2)) << bank;
}

TEST(OptiBankMapTest, BanksBelowAChipAreUnmapped) {
  const OptiFlash flash = Identified(kKBB05A300, 0x800000);
  ASSERT_EQ(flash.BankMap.size(), 256u);
  for (size_t bank = 0; bank < 128; ++bank) EXPECT_EQ(flash.BankMap[bank], -1) << bank;
  EXPECT_EQ(flash.BankMap[128], 0);
  EXPECT_EQ(flash.BankMap[129], 8);
}

TEST(OptiBankMapTest, SecondChipIndexesContinueTheBlockList) {
  OptiFlash flash;
  IdentifyOptiChip(flash, 0, kKBB05A300.maker, kKBB05A300.device, 0);
  IdentifyOptiChip(flash, 1, k28F320J3A.maker, k28F320J3A.device, 0x800000);
  ASSERT_EQ(flash.OptiBlockList.size(), 135u + 32u);
  EXPECT_EQ(flash.OptiBlockList[135].chip, 1);
  EXPECT_EQ(flash.OptiBlockList[135].index, 0);
  ASSERT_EQ(flash.BankMap.size(), 128u + 64u);
  EXPECT_EQ(flash.BankMap[127], 134);
  EXPECT_EQ(flash.BankMap[128], 135);
  EXPECT_EQ(flash.BankMap[129], 135);
  EXPECT_EQ(flash.BankMap[191], 135 + 31);
}

TEST(OptiBankMapTest, ChipBelowAnEarlierChipKeepsTheUpperBanks) {
  OptiFlash flash;
  IdentifyOptiChip(flash, 0, kKBB05A300.maker, kKBB05A300.device, 0x800000);
  IdentifyOptiChip(flash, 1, k28F320J3A.maker, k28F320J3A.device, 0);
  ASSERT_EQ(flash.BankMap.size(), 256u);
  EXPECT_EQ(flash.BankMap[0], 135);
  EXPECT_EQ(flash.BankMap[63], 135 + 31);
  EXPECT_EQ(flash.BankMap[64], -1);
  EXPECT_EQ(flash.BankMap[128], 0);
  EXPECT_EQ(flash.BankMap[255], 134);
}

TEST(OptiBankMapTest, UnalignedBaseIsPresentButNotUsable) {
  const OptiFlash flash = Identified(kKBB05A300, 0x8000);
  EXPECT_EQ(flash.chips[0].Present, 1);
  EXPECT_EQ(flash.chips[0].Usable, 0);
  EXPECT_EQ(flash.chips[0].ModelName, "KBB05A300");
  EXPECT_EQ(flash.OptiBlockList.size(), 135u);
  EXPECT_TRUE(flash.BankMap.empty());
}

TEST(OptiBankMapTest, ChipMustEndInsideTheAddressSpace) {
  // 8 MB chips: one ending exactly at 4 GiB, one wrapping past it.
  for (uint32_t base : {0xFF800000u, 0xFFFF0000u}) {
    const OptiFlash flash = Identified(kKBB05A300, base);
    EXPECT_EQ(flash.chips[0].Usable, 0) << std::hex << base;
    EXPECT_TRUE(flash.BankMap.empty());
  }
  const OptiFlash high = Identified(kKBB05A300, 0xFF000000);
  EXPECT_EQ(high.chips[0].Usable, 1);
  ASSERT_EQ(high.BankMap.size(), 0xFF80u);
  EXPECT_EQ(high.BankMap[0xFEFF], -1);
  EXPECT_EQ(high.BankMap[0xFF7F], 134);
}

TEST(ParseOptiInfoTest, ReadsChipsLimitsAndSpeeds) {
  const std::string block =
      InfoBlock(2, {{kKBB05A300, kUnknown, 0}, {kKBB06A300, kUnknown, 0x800000}},
                {115200, 0xFFFFFFFF, 921600, 0}, 64 * KB, 2048);
  OptiFlash flash;
  ParseOptiInfo(flash, block);
  EXPECT_EQ(flash.chips[0].Usable, 1);
  EXPECT_EQ(flash.chips[0].MakerID, 0xEC);
  EXPECT_EQ(flash.chips[1].Usable, 1);
  EXPECT_EQ(flash.chips[1].BaseAddress, 0x800000u);
  EXPECT_EQ(flash.chips[2].Present, 0);
  EXPECT_EQ(flash.MaxWriteChunk, 64 * KB);
  EXPECT_EQ(flash.MaxReadChunk, 2048u);
  // The negative entry is skipped; the ending 0 sits in the block's last word.
  EXPECT_EQ(flash.BaudList, (std::vector<uint32_t>{115200, 921600}));
  EXPECT_EQ(flash.OptiBlockList.size(), 270u);
  EXPECT_EQ(flash.BankMap.size(), 256u);
}

TEST(ParseOptiInfoTest, SecondIdPairIdentifiesWhenTheFirstIsUnknown) {
  OptiFlash flash;
  ParseOptiInfo(flash, InfoBlock(1, {{kUnknown, kKBB05A300, 0}}, {115200, 0}));
  EXPECT_EQ(flash.chips[0].Usable, 1);
  EXPECT_EQ(flash.chips[0].MakerID, 0xEC);
  EXPECT_EQ(flash.chips[0].DeviceID, kKBB05A300.device);
  EXPECT_EQ(flash.chips[0].ModelName, "KBB05A300");
}

TEST(ParseOptiInfoTest, ShortBlockChangesNothing) {
  OptiFlash flash;
  ParseOptiInfo(flash, InfoBlock(1, {{kKBB05A300, kUnknown, 0}}, {115200, 0}));
  std::string shortBlock = InfoBlock(1, {{k28F320J3A, kUnknown, 0}}, {57600, 0});
  shortBlock.resize(103);
  ParseOptiInfo(flash, shortBlock);
  EXPECT_EQ(flash.chips[0].ModelName, "KBB05A300");
  EXPECT_EQ(flash.BaudList, std::vector<uint32_t>{115200});
  EXPECT_EQ(flash.OptiBlockList.size(), 135u);
}

void ExpectRejected(const OptiFlash& flash) {
  for (const OptiChip& chip : flash.chips) EXPECT_EQ(chip.Present, 0);
  EXPECT_TRUE(flash.OptiBlockList.empty());
  EXPECT_TRUE(flash.BankMap.empty());
  EXPECT_TRUE(flash.BaudList.empty());
}

TEST(ParseOptiInfoTest, MalformedBlocksClearEverything) {
  const InfoChip chip{kKBB05A300, kUnknown, 0};
  struct Case {
    const char* what;
    std::string block;
  };
  std::string cutShort = InfoBlock(1, {chip}, {115200, 230400});
  const Case cases[] = {
      {"count 0", InfoBlock(0, {chip}, {115200, 0})},
      {"count 5", InfoBlock(5, {chip}, {115200, 0})},
      {"block above MaxWriteChunk", InfoBlock(1, {chip}, {115200, 0}, 64 * KB - 1)},
      {"no ending 0", cutShort},
      {"no ending 0 in a longer block", cutShort + std::string(3, '\0')},
      {"empty speed list", InfoBlock(1, {chip}, {0})},
      {"only negative speeds", InfoBlock(1, {chip}, {0x80000000, 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OptiFlash flash;
    ParseOptiInfo(flash, InfoBlock(1, {chip}, {9600, 0}));
    ASSERT_EQ(flash.chips[0].Usable, 1);
    ParseOptiInfo(flash, c.block);
    ExpectRejected(flash);
    const OptiSummary summary = SummarizeOptiFlash(flash, "flashes (? for info)");
    EXPECT_TRUE(summary.ok);
    EXPECT_EQ(summary.info.Known, 1);
    EXPECT_EQ(summary.info.MakerName, "0");
    EXPECT_EQ(summary.info.ModelName, "flashes (? for info)");
    EXPECT_TRUE(summary.hint.empty());
  }
}

TEST(ParseOptiInfoTest, LargestBlockEqualToMaxWriteChunkIsAccepted) {
  OptiFlash flash;
  ParseOptiInfo(flash, InfoBlock(1, {{k28F320J3A, kUnknown, 0}}, {115200, 0}, 128 * KB));
  EXPECT_EQ(flash.chips[0].Usable, 1);
  ParseOptiInfo(flash, InfoBlock(1, {{k28F320J3A, kUnknown, 0}}, {115200, 0}, 128 * KB - 1));
  EXPECT_EQ(flash.chips[0].Present, 0);
}

TEST(SummarizeOptiFlashTest, OneChipShowsItsNames) {
  OptiFlash flash;
  ParseOptiInfo(flash, InfoBlock(1, {{kKBB05A300, kUnknown, 0}}, {115200, 0}));
  const OptiSummary summary = SummarizeOptiFlash(flash, "flashes");
  EXPECT_TRUE(summary.ok);
  EXPECT_EQ(summary.info.Known, 1);
  EXPECT_EQ(summary.info.MakerName, "Samsung");
  EXPECT_EQ(summary.info.ModelName, "KBB05A300");
  EXPECT_TRUE(summary.hint.empty());
}

TEST(SummarizeOptiFlashTest, SeveralChipsGiveOneHintLineEach) {
  OptiFlash flash;
  ParseOptiInfo(flash, InfoBlock(2, {{kKBB06A300, kUnknown, 0}, {kKBB05A300, kUnknown, 0x800000}},
                                 {115200, 0}));
  const OptiSummary summary = SummarizeOptiFlash(flash, "flashes (? for info)");
  EXPECT_TRUE(summary.ok);
  EXPECT_EQ(summary.info.Known, 1);
  EXPECT_EQ(summary.info.MakerName, "2");
  EXPECT_EQ(summary.info.ModelName, "flashes (? for info)");
  EXPECT_EQ(summary.hint,
            "0: Samsung KBB06A300, 64 Mbit in 135 sectors at 00000000\x0A\x0D"
            "1: Samsung KBB05A300, 64 Mbit in 135 sectors at 00800000");
}

TEST(SummarizeOptiFlashTest, CountRunsToTheHighestPresentChip) {
  OptiFlash flash;
  IdentifyOptiChip(flash, 2, k28F320J3A.maker, k28F320J3A.device, 0xABC0000);
  const OptiSummary summary = SummarizeOptiFlash(flash, "flashes");
  EXPECT_EQ(summary.info.MakerName, "3");
  EXPECT_EQ(summary.hint,
            "0:  , 0 Mbit in 0 sectors at 00000000\x0A\x0D"
            "1:  , 0 Mbit in 0 sectors at 00000000\x0A\x0D"
            "2: Intel 28F320J3A, 32 Mbit in 32 sectors at 0ABC0000");
}

TEST(SummarizeOptiFlashTest, MegabitsAreRoundedToNearest) {
  OptiFlash flash;
  for (int k = 0; k < 4; ++k) {
    flash.chips[k].Present = 1;
    flash.chips[k].Usable = 1;
  }
  flash.chips[0].TotalSize = 180000;  // 1.37 Mbit
  flash.chips[1].TotalSize = 196608;  // 1.5 Mbit
  flash.chips[2].TotalSize = 65535;   // just under 0.5 Mbit
  flash.chips[3].TotalSize = 0xFFFFFFFF;
  const std::string hint = SummarizeOptiFlash(flash, "x").hint;
  EXPECT_NE(hint.find("0:  , 1 Mbit"), std::string::npos) << hint;
  EXPECT_NE(hint.find("1:  , 2 Mbit"), std::string::npos) << hint;
  EXPECT_NE(hint.find("2:  , 0 Mbit"), std::string::npos) << hint;
  EXPECT_NE(hint.find("3:  , 32768 Mbit"), std::string::npos) << hint;
}

TEST(SummarizeOptiFlashTest, FirstPresentUnusableChipFails) {
  OptiFlash flash;
  ParseOptiInfo(flash, InfoBlock(3,
                                 {{kKBB05A300, kUnknown, 0},
                                  {kKBB06A300, kUnknown, 0x8000},
                                  {kUnknown, kUnknown, 0x1000000}},
                                 {115200, 0}));
  const OptiSummary summary = SummarizeOptiFlash(flash, "flashes");
  EXPECT_FALSE(summary.ok);
  EXPECT_EQ(summary.failedChip, 1);
  EXPECT_EQ(summary.info.Known, 0);
}

}  // namespace
}  // namespace brantle
