// The virtual E-family phone after the second loader: NOR reads, programs and erases,
// the chip's block layout and the injected faults, byte by byte on the line.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "e_phone_pc_side.h"
#include "sim/virtual_e_phone.h"

namespace brantle::sim {
namespace {

using namespace brantle::sim::pcside;

// A KBB05A300 (EC E2): sectors 0 and 128 in 8 KB blocks, all others whole.
class ConnectedPhone : public ::testing::Test {
 protected:
  void StartPhone(EPhoneConfig config) {
    phone_ = std::make_unique<VirtualEPhone>(config);
    ASSERT_TRUE(phone_->Start()) << phone_->error();
    pc_ = std::make_unique<PcPort>(phone_->PortPath());
    ASSERT_NO_FATAL_FAILURE(Connect(*pc_, kE700, kSpeed115200, config.makerId, config.deviceId));
  }
  void SetUp() override { StartPhone(Config("E700")); }

  static Bytes ReadHeader(uint32_t offset, uint32_t length) {
    return {0x00,
            static_cast<uint8_t>(length >> 16),
            static_cast<uint8_t>(length >> 8),
            static_cast<uint8_t>(length),
            0x02,
            static_cast<uint8_t>(offset >> 16),
            static_cast<uint8_t>(offset >> 8),
            static_cast<uint8_t>(offset)};
  }
  static Bytes ProgramPacket(uint32_t offset, uint32_t length) {
    const Bytes n = {0x00, static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 8),
                     static_cast<uint8_t>(length)};
    Bytes p = Concat({0xEA}, n);
    p = Concat(p, {0x02, static_cast<uint8_t>(offset >> 16), static_cast<uint8_t>(offset >> 8),
                   static_cast<uint8_t>(offset)});
    return Concat(p, n);
  }
  static Bytes ErasePacket(uint32_t offset, uint32_t length) {
    return {0xE4,
            0x01,
            0x00,
            static_cast<uint8_t>(length >> 16),
            static_cast<uint8_t>(length >> 8),
            static_cast<uint8_t>(length),
            0x02,
            static_cast<uint8_t>(offset >> 16),
            static_cast<uint8_t>(offset >> 8),
            static_cast<uint8_t>(offset)};
  }

  // E6, header; returns the data followed by the 4 checksum bytes.
  Bytes ReadNor(uint32_t offset, uint32_t length) {
    pc_->Send({0xE6});
    EXPECT_EQ(pc_->Receive(1), Bytes{0xC0});
    pc_->Send(ReadHeader(offset, length));
    EXPECT_EQ(pc_->Receive(1), Bytes{0xC7});
    return pc_->Receive(length + 4);
  }
  // Returns the reply: CC and the 4 checksum bytes, or whatever came instead.
  Bytes Program(uint32_t offset, const Bytes& data) {
    pc_->Send(Concat(ProgramPacket(offset, static_cast<uint32_t>(data.size())), data));
    const Bytes ack = pc_->Receive(1);
    if (ack != Bytes{0xCC}) return ack;
    return Concat(ack, pc_->Receive(4));
  }
  Bytes Erase(uint32_t offset, uint32_t length) {
    pc_->Send(ErasePacket(offset, length));
    return pc_->Receive(3);
  }

  std::unique_ptr<VirtualEPhone> phone_;
  std::unique_ptr<PcPort> pc_;
};

TEST_F(ConnectedPhone, ReadSendsNorBytesAndTheirLittleEndianSum) {
  const Bytes expected = Slice(VirtualEPhone::PatternNor(16u << 20), 0x1F0000, 65536);
  const Bytes reply = ReadNor(0x1F0000, 65536);
  ASSERT_EQ(reply.size(), 65536u + 4);
  EXPECT_EQ(Slice(reply, 0, 65536), expected);
  EXPECT_EQ(Slice(reply, 65536, 4), LittleEndian(Sum(expected.data(), expected.size())));
  EXPECT_EQ(phone_->Stats().reads, 1);
}

TEST_F(ConnectedPhone, RefusesReadHeadersItCannotServe) {
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"bus prefix 03", {0x00, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00}},
      {"length above 24 bits", {0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00}},
      {"beyond the NOR end", ReadHeader(0xFF0000, 0x20000)}};
  for (const auto& [what, header] : cases) {
    SCOPED_TRACE(what);
    pc_->Send({0xE6});
    ASSERT_EQ(pc_->Receive(1), Bytes{0xC0});
    pc_->Send(header);
    const Bytes ack = pc_->Receive(1);
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_NE(ack[0], 0xC7);
    EXPECT_TRUE(pc_->ReceiveFor(50).empty()) << "no data after a refusal";
  }
  const Bytes last = ReadNor(0xFFFF00, 256);  // the very end is readable
  EXPECT_EQ(Slice(last, 0, 256), Slice(phone_->Nor(), 0xFFFF00, 256));
}

TEST_F(ConnectedPhone, ProgramThenReadBack) {
  const Bytes before = phone_->Nor();
  const Bytes data = RandomBytes(65536, 7);
  EXPECT_EQ(Program(0x010000, data), Concat({0xCC}, LittleEndian(Sum(data.data(), data.size()))));
  const Bytes nor = phone_->Nor();
  EXPECT_EQ(Slice(nor, 0x010000, 65536), data);
  EXPECT_EQ(Slice(nor, 0x020000, 65536), Slice(before, 0x020000, 65536));
  EXPECT_EQ(Slice(nor, 0x000000, 65536), Slice(before, 0x000000, 65536));
  EXPECT_EQ(Slice(ReadNor(0x010000, 65536), 0, 65536), data);
  EXPECT_EQ(phone_->Stats().programs, 1);
}

TEST_F(ConnectedPhone, EraseFillsTheBlockWithFF) {
  const Bytes before = phone_->Nor();
  EXPECT_EQ(Erase(0x020000, 65536), (Bytes{0xC0, 0xC5, 0xF6}));
  const Bytes nor = phone_->Nor();
  EXPECT_EQ(Slice(nor, 0x020000, 65536), Bytes(65536, 0xFF));
  EXPECT_EQ(Slice(nor, 0x010000, 65536), Slice(before, 0x010000, 65536));
  EXPECT_EQ(Slice(nor, 0x030000, 65536), Slice(before, 0x030000, 65536));
  EXPECT_EQ(phone_->Stats().erases, 1);
}

TEST_F(ConnectedPhone, BlocksMustMatchTheChipLayout) {
  const Bytes before = phone_->Nor();
  // A whole 64 KB block where the chip has 8 KB blocks: refused, nothing written,
  // and the data is not taken for commands.
  const Bytes whole = RandomBytes(65536, 1);
  const Bytes refused = Program(0x000000, whole);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_NE(refused[0], 0xCC);
  EXPECT_EQ(phone_->Stats().badGeometry, 1);
  EXPECT_EQ(phone_->Nor(), before);
  // 8 KB blocks there are right.
  for (uint32_t off = 0; off < 65536; off += 8192) {
    const Bytes block = Slice(whole, off, 8192);
    EXPECT_EQ(Program(off, block), Concat({0xCC}, LittleEndian(Sum(block.data(), 8192))));
  }
  EXPECT_EQ(Slice(phone_->Nor(), 0, 65536), whole);
  // 8 KB blocks in a whole sector, or off a block boundary, are not.
  EXPECT_NE(Program(0x010000, Bytes(8192, 0x11)), Bytes{0xCC});
  EXPECT_NE(Program(0x001000, Bytes(8192, 0x22)), Bytes{0xCC});
  EXPECT_EQ(phone_->Stats().badGeometry, 3);
  EXPECT_EQ(phone_->Stats().programs, 11);
  // Erasing follows the same layout: sector 128 is split as well.
  const Bytes erasedBefore = phone_->Nor();
  EXPECT_EQ(Erase(0x800000, 65536), (Bytes{0xEE, 0xC5, 0xF6}));
  EXPECT_EQ(phone_->Nor(), erasedBefore);
  EXPECT_EQ(Erase(0x80E000, 8192), (Bytes{0xC0, 0xC5, 0xF6}));
  EXPECT_EQ(Slice(phone_->Nor(), 0x80E000, 8192), Bytes(8192, 0xFF));
  EXPECT_EQ(Slice(phone_->Nor(), 0x80C000, 8192), Slice(erasedBefore, 0x80C000, 8192));
  EXPECT_EQ(phone_->Stats().badGeometry, 4);
  // Past the end of the NOR: refused without counting as a layout error.
  EXPECT_EQ(Erase(0xFF0000, 0x20000), (Bytes{0xEE, 0xC5, 0xF6}));
  EXPECT_EQ(phone_->Stats().badGeometry, 4);
}

TEST_F(ConnectedPhone, UnknownChipIsAllWholeSectors) {
  pc_.reset();
  StartPhone(Config("E700", 0xEC, 0xE1));
  const Bytes data = RandomBytes(65536, 3);
  EXPECT_EQ(Program(0x000000, data), Concat({0xCC}, LittleEndian(Sum(data.data(), 65536))));
  EXPECT_NE(Program(0x000000, Bytes(8192, 0x33)), Bytes{0xCC});
  EXPECT_EQ(phone_->Stats().badGeometry, 1);
}

TEST_F(ConnectedPhone, ReadChecksumFaultSpoilsOneReply) {
  phone_->FailReadChecksums(1);
  const Bytes nor = Slice(phone_->Nor(), 0x050000, 65536);
  const Bytes good = LittleEndian(Sum(nor.data(), nor.size()));
  const Bytes first = ReadNor(0x050000, 65536);
  EXPECT_EQ(Slice(first, 0, 65536), nor);
  EXPECT_NE(Slice(first, 65536, 4), good);
  EXPECT_EQ(Slice(ReadNor(0x050000, 65536), 65536, 4), good);
}

TEST_F(ConnectedPhone, ProgramChecksumFaultLeavesTheNorAlone) {
  phone_->FailProgramChecksums(1);
  const Bytes before = Slice(phone_->Nor(), 0x060000, 65536);
  const Bytes data = RandomBytes(65536, 9);
  const Bytes good = Concat({0xCC}, LittleEndian(Sum(data.data(), data.size())));
  const Bytes first = Program(0x060000, data);
  ASSERT_EQ(first.size(), 5u);
  EXPECT_EQ(first[0], 0xCC);
  EXPECT_NE(first, good);
  EXPECT_EQ(Slice(phone_->Nor(), 0x060000, 65536), before);
  EXPECT_EQ(Program(0x060000, data), good);
  EXPECT_EQ(Slice(phone_->Nor(), 0x060000, 65536), data);
}

TEST_F(ConnectedPhone, CorruptedProgramIsAcknowledgedButStoresOneByteChanged) {
  const Bytes data = RandomBytes(65536, 11);
  const Bytes good = Concat({0xCC}, LittleEndian(Sum(data.data(), data.size())));
  phone_->CorruptProgram();
  EXPECT_EQ(Program(0x060000, data), good);
  Bytes stored = data;
  stored[32768] = static_cast<uint8_t>(~stored[32768]);
  EXPECT_EQ(Slice(phone_->Nor(), 0x060000, 65536), stored);
  // Once: the next program command keeps its data.
  EXPECT_EQ(Program(0x060000, data), good);
  EXPECT_EQ(Slice(phone_->Nor(), 0x060000, 65536), data);
  // Every time: both of the next two are changed.
  phone_->CorruptProgram(true);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Program(0x070000, data), good);
    EXPECT_EQ(Slice(phone_->Nor(), 0x070000, 65536), stored);
  }
}

TEST_F(ConnectedPhone, WrongAcknowledgementHitsOnlyTheNextOne) {
  phone_->WrongAcknowledgement();
  pc_->Send({0xE6});
  const Bytes ack = pc_->Receive(1);
  ASSERT_EQ(ack.size(), 1u);
  EXPECT_NE(ack[0], 0xC0);
  EXPECT_EQ(ReadNor(0, 16).size(), 20u);

  phone_->WrongAcknowledgement();
  EXPECT_EQ(Erase(0x030000, 65536), (Bytes{0xC0, 0xC5, 0xF7}));
  EXPECT_EQ(Erase(0x030000, 65536), (Bytes{0xC0, 0xC5, 0xF6}));
}

TEST_F(ConnectedPhone, SilentPhoneAnswersNothing) {
  phone_->GoSilent();
  pc_->Send({0xE6});
  EXPECT_TRUE(pc_->ReceiveFor(200).empty());
}

TEST_F(ConnectedPhone, UnknownBytesAreIgnored) {
  pc_->Send({0x00, 0x55, 0xC0, 0xFF});
  EXPECT_EQ(Slice(ReadNor(0x100, 8), 0, 8), Slice(phone_->Nor(), 0x100, 8));
}

TEST_F(ConnectedPhone, TrickledReadArrivesWholeInPieces) {
  phone_->Trickle(1024, 40);
  const auto start = Clock::now();
  const Bytes reply = ReadNor(0x070000, 4096);
  const auto took = Clock::now() - start;
  const Bytes nor = Slice(phone_->Nor(), 0x070000, 4096);
  EXPECT_EQ(reply, Concat(nor, LittleEndian(Sum(nor.data(), nor.size()))));
  EXPECT_GE(took, std::chrono::milliseconds(3 * 40));  // three pauses between four pieces
}

TEST_F(ConnectedPhone, UnplugInTheMiddleOfARead) {
  phone_->UnplugDuringRead(100);
  pc_->Send({0xE6});
  ASSERT_EQ(pc_->Receive(1), Bytes{0xC0});
  pc_->Send(ReadHeader(0, 65536));
  ASSERT_EQ(pc_->Receive(1), Bytes{0xC7});
  const Bytes data = pc_->Receive(65536 + 4);  // ends when the line does
  EXPECT_EQ(data, Slice(phone_->Nor(), 0, 100));
}

TEST_F(ConnectedPhone, TerminateRestoresBootSpeedAndRestarts) {
  pc_->Send({0xE8});
  EXPECT_EQ(pc_->Receive(1), Bytes{0xC0});
  EXPECT_EQ(pc_->Receive(1), Bytes{kBoot});
  EXPECT_EQ(phone_->Stats().baud, 38400u);
  EXPECT_EQ(phone_->Stats().parity, 2);
  ASSERT_NO_FATAL_FAILURE(Connect(*pc_, kE700, kSpeed115200));
  EXPECT_EQ(phone_->Stats().connects, 2);
}

TEST_F(ConnectedPhone, TerminateWithoutRebootStaysQuiet) {
  pc_.reset();
  EPhoneConfig config = Config("E700");
  config.rebootAfterTerminate = false;
  StartPhone(config);
  pc_->Send({0xE8});
  EXPECT_EQ(pc_->Receive(1), Bytes{0xC0});
  EXPECT_TRUE(pc_->ReceiveFor(300).empty());
  EXPECT_EQ(phone_->Stats().parity, 2);
}

TEST_F(ConnectedPhone, StopsWhileThePcIsNotReading) {
  pc_->Send({0xE6});
  ASSERT_EQ(pc_->Receive(1), Bytes{0xC0});
  pc_->Send(ReadHeader(0, 0xFFFFFF));  // far more than the pty holds
  ASSERT_EQ(pc_->Receive(1), Bytes{0xC7});
  phone_->Stop();
  // The master is gone: what is left in the pty drains, then the line ends.
  EXPECT_LT(pc_->Receive(0xFFFFFF, 500).size(), 0xFFFFFFu);
}

TEST_F(ConnectedPhone, LineRatePacesTheReplies) {
  pc_->Send({0xE8});
  ASSERT_EQ(pc_->Receive(1), Bytes{0xC0});
  const Bytes speed806400 = {0xE0, 0x00, 0xFF, 0xFF, 0x01, 0xFE};
  ASSERT_NO_FATAL_FAILURE(Connect(*pc_, kE700, speed806400));
  phone_->SetLineRate(true);
  const auto start = Clock::now();
  const Bytes reply = ReadNor(0x090000, 16384);
  const auto took = Clock::now() - start;
  const Bytes nor = Slice(phone_->Nor(), 0x090000, 16384);
  EXPECT_EQ(reply, Concat(nor, LittleEndian(Sum(nor.data(), nor.size()))));
  // C0, C7, data and sum cannot get through faster than 10 bits a byte allow.
  const double lineSeconds = (16384 + 6) * 10.0 / 806400;
  EXPECT_GE(std::chrono::duration<double>(took).count(), lineSeconds);
}

}  // namespace
}  // namespace brantle::sim
