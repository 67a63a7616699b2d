// The virtual E-family phone in boot mode: boot bytes, boot packets, loaders and the
// speed switch, driven from the PC's end of its pseudo-terminal.

#include "sim/virtual_e_phone.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "e_phone_pc_side.h"

namespace brantle::sim {
namespace {

using namespace brantle::sim::pcside;

class ConnectSequence : public ::testing::TestWithParam<Family> {};

TEST_P(ConnectSequence, AnswersEveryStepAndRunsAtTheNewSpeed) {
  const Family f = GetParam();
  VirtualEPhone phone(Config(f.name, 0x88, 0x55));
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  EXPECT_EQ(phone.Stats().baud, 38400u);
  EXPECT_EQ(phone.Stats().parity, 2);
  ASSERT_NO_FATAL_FAILURE(Connect(pc, f, kSpeed115200, 0x88, 0x55, true));
  const EPhoneStats stats = phone.Stats();
  EXPECT_EQ(stats.connects, 1);
  EXPECT_EQ(stats.baud, 115200u);
  EXPECT_EQ(stats.parity, 0);
}

INSTANTIATE_TEST_SUITE_P(Families, ConnectSequence, ::testing::Values(kE700, kE800, kE330, kS500),
                         [](const auto& info) { return info.param.name; });

TEST(VirtualEPhoneBoot, RepeatsBootByteUntilAnswered) {
  VirtualEPhone phone(Config("E700"));
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  pc.Purge();
  const Bytes got = pc.Receive(4);
  EXPECT_EQ(got, Bytes(4, kBoot));
  pc.Send({0x00, 0x55, 0x12});  // noise is not an answer
  EXPECT_EQ(pc.Receive(3), Bytes(3, kBoot));
}

TEST(VirtualEPhoneBoot, WrongBootPacketGetsNoAnswer) {
  const Bytes e700 = BootPacket("E700", 0);
  Bytes changedFixedByte = e700;
  changedFixedByte.back() = 0xF9;
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"E800 packet", BootPacket("E800", 0)}, {"last byte changed", changedFixedByte}};
  for (const auto& [what, packet] : cases) {
    SCOPED_TRACE(what);
    VirtualEPhone phone(Config("E700"));
    ASSERT_TRUE(phone.Start()) << phone.error();
    PcPort pc(phone.PortPath());
    ASSERT_EQ(pc.Receive(1), Bytes{kBoot});
    pc.Send({0x44});
    pc.Send(packet);
    EXPECT_EQ(pc.Receive(3), Bytes(3, kBoot)) << "boot mode goes on";
    EXPECT_EQ(phone.Stats().connects, 0);
  }
  // E330 and E800 differ only in their last byte.
  VirtualEPhone e330(Config("E330"));
  ASSERT_TRUE(e330.Start()) << e330.error();
  PcPort pc(e330.PortPath());
  ASSERT_EQ(pc.Receive(1), Bytes{kBoot});
  pc.Send({0x44});
  pc.Send(BootPacket("E800", 0));
  EXPECT_EQ(pc.Receive(3), Bytes(3, kBoot));
  EXPECT_EQ(e330.Stats().connects, 0);
}

TEST(VirtualEPhoneBoot, FirstLoaderWithWrongSizeFieldHangsUntilThePcGivesUp) {
  VirtualEPhone phone(Config("E700"));
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  ASSERT_EQ(pc.Receive(1), Bytes{kBoot});
  pc.Send({0x44});
  pc.Send(BootPacket("E700", 0));
  ASSERT_EQ(pc.ReceiveAfterBootBytes(), 0x44);
  pc.Send(FirstLoader(kE700, kE800.loader2));
  EXPECT_TRUE(pc.ReceiveFor(200).empty());
  // After the stall time the phone is back in boot mode and connects again.
  ASSERT_NO_FATAL_FAILURE(Connect(pc, kE700, kSpeed115200));
  EXPECT_EQ(phone.Stats().connects, 2);
}

TEST(VirtualEPhoneBoot, SilenceInTheMiddleReturnsToBootMode) {
  VirtualEPhone phone(Config("E800"));
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  ASSERT_EQ(pc.Receive(1), Bytes{kBoot});
  pc.Send({0x44});
  pc.Send(Slice(BootPacket("E800", 0), 0, 10));
  EXPECT_TRUE(pc.ReceiveFor(200).empty());
  EXPECT_EQ(pc.Receive(1, 2000), Bytes{kBoot});
  ASSERT_NO_FATAL_FAILURE(Connect(pc, kE800, kSpeed115200));
}

struct SpeedCase {
  Bytes packet;
  uint32_t baud;
};

class SpeedSwitch : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedSwitch, DivisorPacketGivesTheLineSpeed) {
  VirtualEPhone phone(Config("E800"));
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  ASSERT_NO_FATAL_FAILURE(Connect(pc, kE800, GetParam().packet));
  EXPECT_EQ(phone.Stats().baud, GetParam().baud);
  EXPECT_EQ(phone.Stats().parity, 0);
}

// The packets the PC sends for the speeds it offers.
INSTANTIATE_TEST_SUITE_P(Speeds, SpeedSwitch,
                         ::testing::Values(SpeedCase{{0xE0, 0x00, 0xFF, 0xEB, 0x01, 0xEA}, 38400},
                                           SpeedCase{{0xE0, 0x80, 0xFF, 0xF6, 0x02, 0x75}, 76800},
                                           SpeedCase{{0xE0, 0x40, 0xFF, 0xFB, 0x02, 0x3A}, 153600},
                                           SpeedCase{{0xE0, 0xA0, 0xFF, 0xFE, 0x02, 0x9D}, 307200},
                                           SpeedCase{{0xE0, 0x80, 0xFF, 0xFF, 0x02, 0x7E}, 537600},
                                           SpeedCase{{0xE0, 0x50, 0xFF, 0xFF, 0x02, 0x4E}, 614400},
                                           SpeedCase{{0xE0, 0x00, 0xFF, 0xFF, 0x01, 0xFE},
                                                     806400}));

TEST(VirtualEPhoneSpeed, RefusesBadPacketsAndStartsOver) {
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"checksum off by one", {0xE0, 0x00, 0xFF, 0xF9, 0x01, 0xF9}},
      {"zero divisor", {0xE0, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"not E0", {0xE1, 0x00, 0xFF, 0xF9, 0x01, 0xF8}}};
  for (const auto& [what, packet] : cases) {
    SCOPED_TRACE(what);
    VirtualEPhone phone(Config("E330"));
    ASSERT_TRUE(phone.Start()) << phone.error();
    PcPort pc(phone.PortPath());
    ASSERT_EQ(pc.Receive(1), Bytes{kBoot});
    pc.Send({0x44});
    pc.Send(BootPacket("E330", 0));
    ASSERT_EQ(pc.ReceiveAfterBootBytes(), 0x44);
    pc.Send(FirstLoader(kE330, kE330.loader2));
    ASSERT_EQ(pc.Receive(6).size(), 6u);
    pc.Send(packet);
    EXPECT_EQ(pc.Receive(3), (Bytes{0xC0, 0xC3, 0x01}));
    EXPECT_EQ(pc.Receive(1), Bytes{kBoot});
    EXPECT_EQ(phone.Stats().baud, 38400u);
    EXPECT_EQ(phone.Stats().parity, 2);
  }
}

TEST(VirtualEPhoneNor, ContentsFromFileOrPattern) {
  const std::string path = ::testing::TempDir() + "/virtual_e_phone_nor.bin";
  const Bytes image = RandomBytes(1u << 20, 11);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));

  EPhoneConfig config = Config("E800");
  config.norFile = path;
  config.norSize = 1u << 20;
  VirtualEPhone phone(config);
  ASSERT_TRUE(phone.Start()) << phone.error();
  EXPECT_EQ(phone.Nor(), image);

  config.norSize = 2u << 20;
  VirtualEPhone wrongSize(config);
  EXPECT_FALSE(wrongSize.Start());
  EXPECT_NE(wrongSize.error().find("1048576"), std::string::npos) << wrongSize.error();
  std::remove(path.c_str());

  const Bytes a = VirtualEPhone::PatternNor(1u << 20);
  EXPECT_EQ(a, VirtualEPhone::PatternNor(1u << 20));
  EXPECT_NE(Slice(a, 0, 65536), Slice(a, 65536, 65536));
  EXPECT_NE(Slice(a, 0, 4096), Slice(a, 4096, 4096));
}

TEST(VirtualEPhoneNor, RejectsBadConfiguration) {
  EPhoneConfig family = Config("E900");
  EXPECT_FALSE(VirtualEPhone(family).Start());
  EPhoneConfig huge = Config("E700");
  huge.norSize = (16u << 20) + 1;
  EXPECT_FALSE(VirtualEPhone(huge).Start());
}

}  // namespace
}  // namespace brantle::sim
