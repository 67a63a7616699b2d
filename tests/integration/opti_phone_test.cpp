// The OptiFlash engine over a real pseudo-terminal against the virtual Opti phone:
// connects with every loader, chip summaries, malformed and unusable flash, dumps,
// writes across blocks of every size, and a lost phone.

#include <gtest/gtest.h>

#include "engine/opti_connect.h"
#include "engine/opti_region.h"
#include "engine/result_codes.h"
#include "sim/demo_loaders.h"
#include "sim/virtual_opti_phone.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using sim::OptiChipConfig;
using sim::OptiPhoneConfig;
using sim::VirtualOptiPhone;

const char kFlashes[] = "flashes (? for info)";

OptiChipConfig Chip(uint8_t maker, uint32_t device, uint32_t base) {
  OptiChipConfig c;
  c.maker = maker;
  c.device = device;
  c.base = base;
  return c;
}

// KBB05A300 (8 x 8 KB then 64 KB blocks, 8 MiB) at 0 and 28F320J3A (128 KB blocks,
// 4 MiB) at 8 MiB.
OptiPhoneConfig TwoChips() {
  OptiPhoneConfig config;
  config.chips = {Chip(0xEC, 0x22E20000, 0), Chip(0x89, 0x00160000, 0x800000)};
  return config;
}

class OptiPhoneTest : public ::testing::Test {
 protected:
  OptiPhoneTest() : engine(link) {
    std::string error;
    EXPECT_TRUE(sim::WriteDemoLoaders(loaders.path(), error)) << error;
    engine.LoadersFolder = loaders.path();
  }

  void StartPhone(OptiPhoneConfig config) {
    phone = std::make_unique<VirtualOptiPhone>(config);
    ASSERT_TRUE(phone->Start()) << phone->error();
  }

  OptiConnectResult Connect(const std::string& model, uint32_t speed) {
    int type = 0;
    OptiModelByName(model, &type);
    EXPECT_EQ(engine.OptiOpenPort(phone->PortPath(), type), kOk);
    int r = kErrTimeout;
    for (int i = 0; i < 40 && r != kOk; ++i) r = engine.WaitBootPrompt(1, 250);
    EXPECT_EQ(r, kOk) << "no boot prompt";
    return RunOptiConnect(engine, speed, kFlashes);
  }

  std::string Nor(uint32_t start, uint32_t length) const {
    const std::vector<uint8_t> nor = phone->Nor();
    return std::string(nor.begin() + start, nor.begin() + start + length);
  }

  test::TempDir loaders;
  Link link;
  OptiEngine engine;
  std::unique_ptr<VirtualOptiPhone> phone;
};

TEST_F(OptiPhoneTest, EveryLoaderConnects) {
  for (const char* model :
       {"C200", "S20x", "X480", "X40x", "S10x", "E105", "X105", "S108", "V2E5", "V208"}) {
    SCOPED_TRACE(model);
    OptiPhoneConfig config;
    config.expectedLoaderSize = OptiModelByName(model).loader.size;
    StartPhone(config);
    const OptiConnectResult r = Connect(model, 921600);
    ASSERT_EQ(r.code, kOk) << r.prefixKey;
    EXPECT_EQ(r.summary.info.MakerName + " " + r.summary.info.ModelName, "Samsung KBB05A300");
    EXPECT_TRUE(r.summary.hint.empty());
    EXPECT_EQ(phone->Stats().baud, 921600u);
    EXPECT_EQ(phone->Stats().setp.size(), 36u);
    EXPECT_EQ(engine.FinishConnection(), kOk);
    engine.Close();
  }
}

TEST_F(OptiPhoneTest, TwoChipsGiveTwoHintLines) {
  StartPhone(TwoChips());
  const OptiConnectResult r = Connect("X480", 460800);
  ASSERT_EQ(r.code, kOk) << r.prefixKey;
  EXPECT_EQ(r.summary.info.MakerName, "2");
  EXPECT_EQ(r.summary.info.ModelName, kFlashes);
  EXPECT_EQ(r.summary.hint,
            "0: Samsung KBB05A300, 64 Mbit in 135 sectors at 00000000\n\r"
            "1: Intel 28F320J3A, 32 Mbit in 32 sectors at 00800000");
}

TEST_F(OptiPhoneTest, MalformedInformationShowsNoFlashesAndStopsAtTheSpeed) {
  OptiPhoneConfig config;
  config.rawInfo = std::string(104, '\0');  // chip count 0
  StartPhone(config);
  const OptiConnectResult r = Connect("C200", 115200);
  EXPECT_EQ(r.summary.info.MakerName, "0");
  EXPECT_EQ(r.summary.info.ModelName, kFlashes);
  EXPECT_EQ(r.code, kErrSpeed);  // no speed was offered: the connection is ended
  EXPECT_EQ(r.prefixKey, "ErrC_Init_Speed");
  EXPECT_EQ(phone->Stats().dones, 1);
}

TEST_F(OptiPhoneTest, AnUnusableChipEndsTheConnect) {
  OptiPhoneConfig config;
  config.chips = {Chip(0xEC, 0x22E20000, 0x8000)};  // not on a 64 KB boundary
  StartPhone(config);
  const OptiConnectResult r = Connect("C200", 115200);
  EXPECT_TRUE(r.flashDetectError);
  EXPECT_FALSE(link.IsOpen());
}

TEST_F(OptiPhoneTest, DumpTwoMebibytesMatchesTheNor) {
  StartPhone(TwoChips());
  ASSERT_EQ(Connect("E105", 921600).code, kOk);
  std::string data;
  ASSERT_EQ(OptiReadRegion(engine, 0x7F0000, 0x9EFFFF, data), kOk);
  EXPECT_TRUE(data == Nor(0x7F0000, 0x200000));
}

TEST_F(OptiPhoneTest, WritesInsideBlocksOfEverySizeReadBack) {
  StartPhone(TwoChips());
  ASSERT_EQ(Connect("X480", 921600).code, kOk);
  const std::vector<uint8_t> before = phone->Nor();
  struct Region {
    uint32_t start, length;
  };
  // Inside 8 KB blocks into a 64 KB block; across the chips from a 64 KB block into
  // a 128 KB one; inside one 128 KB block.
  for (const Region& region :
       {Region{0x1100, 0x13000}, Region{0x7FF800, 0x21000}, Region{0x845678, 0x1234}}) {
    SCOPED_TRACE(region.start);
    std::string data(region.length, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 29 + region.start);
    ASSERT_EQ(
        engine.WriteNOR(region.start, region.length, reinterpret_cast<const uint8_t*>(data.data())),
        kOk);
    std::string back;
    ASSERT_EQ(OptiReadRegion(engine, region.start, region.start + region.length - 1, back), kOk);
    EXPECT_TRUE(back == data);
    // What lies around the region in its blocks is kept.
    EXPECT_TRUE(Nor(region.start - 0x100, 0x100) ==
                std::string(before.begin() + region.start - 0x100, before.begin() + region.start));
    const uint32_t end = region.start + region.length;
    EXPECT_TRUE(Nor(end, 0x100) == std::string(before.begin() + end, before.begin() + end + 0x100));
  }
  EXPECT_EQ(engine.CloseBlock(), kOk);
  EXPECT_EQ(phone->Stats().rejected, 0);
}

TEST_F(OptiPhoneTest, ReadChecksumErrorsAreRetried) {
  StartPhone({});
  ASSERT_EQ(Connect("C200", 115200).code, kOk);
  phone->FailSuckChecksums(2);
  std::string data;
  ASSERT_EQ(OptiReadRegion(engine, 0x20000, 0x2FFFF, data), kOk);
  EXPECT_TRUE(data == Nor(0x20000, 0x10000));
  phone->FailSuckChecksums(4);
  EXPECT_EQ(OptiReadRegion(engine, 0x20000, 0x2FFFF, data), kErrCrc);
}

TEST_F(OptiPhoneTest, KeepAliveNoticesALostPhone) {
  StartPhone({});
  ASSERT_EQ(Connect("C200", 115200).code, kOk);
  OptiKeepAlive keepAlive;
  for (int tick = 0; tick < 41; ++tick) ASSERT_TRUE(keepAlive.Tick(engine));
  EXPECT_GE(phone->Stats().syncs, 1);
  phone->GoSilent();
  bool alive = true;
  for (int tick = 0; tick < 41 && alive; ++tick) alive = keepAlive.Tick(engine);
  EXPECT_FALSE(alive);
  EXPECT_FALSE(link.IsOpen());
}

}  // namespace
}  // namespace brantle
