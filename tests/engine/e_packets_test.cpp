// Exact bytes of the E-family boot, speed and sector packets.

#include "engine/e_packets.h"

#include <gtest/gtest.h>

#include "support/scripted_line.h"

namespace brantle {
namespace {

using test::Hex;

TEST(ESpeedPacket, EverySpeedTheWindowOffersIsMetExactly) {
  const std::vector<std::pair<uint32_t, std::string>> table = {
      {38400, "E0 00 FF EB 01 EA"},  {76800, "E0 80 FF F6 02 75"},  {115200, "E0 00 FF F9 01 F8"},
      {153600, "E0 40 FF FB 02 3A"}, {230400, "E0 80 FF FD 02 7C"}, {307200, "E0 A0 FF FE 02 9D"},
      {460800, "E0 C0 FF FF 02 BE"}, {537600, "E0 80 FF FF 02 7E"}, {614400, "E0 50 FF FF 02 4E"},
      {806400, "E0 00 FF FF 01 FE"}};
  for (const auto& [baud, packet] : table) {
    ESpeedSwitch sw;
    ASSERT_TRUE(ESpeedPacket(baud, sw)) << baud;
    EXPECT_EQ(Hex(sw.packet), packet) << baud;
    EXPECT_EQ(sw.pcSpeed, baud) << baud;
  }
}

TEST(ESpeedPacket, SpeedsTheUartCannotDivideAreInvalid) {
  ESpeedSwitch sw;
  EXPECT_FALSE(ESpeedPacket(0, sw));
  EXPECT_FALSE(ESpeedPacket(12, sw));        // divisor above 65535
  EXPECT_FALSE(ESpeedPacket(20000000, sw));  // divisor rounds to nothing
  ASSERT_TRUE(ESpeedPacket(13, sw));         // 62030.7: still a 16-bit divisor
  EXPECT_EQ(sw.pcSpeed, 13u);
  // 100000 is not met exactly: the divisor 8 + 1/16 gives 100018 on the PC side.
  ASSERT_TRUE(ESpeedPacket(100000, sw));
  EXPECT_EQ(Hex(sw.packet), "E0 10 FF F8 02 07");
  EXPECT_EQ(sw.pcSpeed, 100018u);
}

TEST(EBootPacket, FamiliesAndTimingBytes) {
  EXPECT_EQ(Hex(EBootPacket("E800", 0, 0, 0, 0)),
            "46 23 16 03 46 42 06 56 00 03 FF FF 80 02 80 01 01 30 00 03 00 00 00 00 51 BB");
  EXPECT_EQ(Hex(EBootPacket("E330", 9, 9, 9, 9)),
            "46 23 16 03 46 42 06 56 00 03 FF FF 80 02 80 01 01 30 00 03 00 00 00 00 51 CF");
  EXPECT_EQ(Hex(EBootPacket("E700", 0, 0, 0, 0)),
            "C7 00 D6 00 C7 80 87 C0 00 03 FF FF 80 03 40 00 70 00 03 00 00 00 00 5B F8");
  // Timing bytes are added modulo 256.
  EXPECT_EQ(Hex(EBootPacket("E700", 0x50, 0x51, 0x90, 0x41)).substr(0, 23),
            "C7 50 D6 51 C7 10 87 01");
}

TEST(ESectorPackets, ReadProgramErase) {
  EXPECT_EQ(Hex(EReadHeader(65536, 0x1F)), "00 01 00 00 02 1F 00 00");
  EXPECT_EQ(Hex(EProgramPacket(8192, 0)), "EA 00 00 20 00 02 00 00 00 00 00 20 00");
  EXPECT_EQ(Hex(EProgramPacket(65536, 0x10000)), "EA 00 01 00 00 02 01 00 00 00 01 00 00");
  EXPECT_EQ(Hex(EErasePacket(8192, 0x80E000)), "E4 01 00 00 20 00 02 80 E0 00");
}

TEST(EChecksum, SumWrapsAt32Bits) {
  std::vector<uint8_t> ff(0x1010102, 0xFF);  // 0xFF * n passes 2^32
  EXPECT_EQ(ByteSum(ff.data(), ff.size()), static_cast<uint32_t>(0xFFull * ff.size()));
  EXPECT_EQ(LittleEndian32(test::Bytes({0x78, 0x56, 0x34, 0x12})), 0x12345678u);
  std::string image(8, '\0');
  PutBigEndian32(image, 2, 29848);
  EXPECT_EQ(Hex(image), "00 00 00 00 74 98 00 00");
  PutBigEndian32(image, 6, 1);  // would run past the end: left alone
  EXPECT_EQ(Hex(image), "00 00 00 00 74 98 00 00");
}

}  // namespace
}  // namespace brantle
