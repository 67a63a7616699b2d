// The virtual OptiFlash phone's loader: SYNC, INFO, BAUD, SETP, DONE and the NOR
// commands OPEN, CLOS, SUCK and TXDT, refused requests and injected faults, byte by
// byte from the PC's end of the pseudo-terminal.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "opti_pc_side.h"
#include "sim/virtual_opti_phone.h"

namespace brantle::sim {
namespace {

using namespace brantle::sim::optipc;

// KBB05A300: eight 8 KB blocks, then 127 of 64 KB; 8 MiB.
constexpr uint32_t kSmall = 0x2000;
constexpr uint32_t kBig = 0x10000;
OptiChipConfig Kbb05(uint32_t base) {
  return {0xEC, 0x22E20000, base, 0, 0};
}
// KBB06A300: 127 blocks of 64 KB, then eight of 8 KB; 8 MiB.
OptiChipConfig Kbb06(uint32_t base) {
  return {0xEC, 0x22E00000, base, 0, 0};
}
// 28F128L18: four 32 KB blocks, then 127 of 128 KB; 16 MiB.
OptiChipConfig Intel128(uint32_t base) {
  return {0x89, 0x880F0000, base, 0, 0};
}

class OptiLoader : public ::testing::Test {
 protected:
  void StartPhone(OptiPhoneConfig config) {
    pc_.reset();
    phone_ = std::make_unique<VirtualOptiPhone>(config);
    ASSERT_TRUE(phone_->Start()) << phone_->error();
    pc_ = std::make_unique<PcPort>(phone_->PortPath());
    ASSERT_NO_FATAL_FAILURE(Boot(*pc_, Loader(1000)));
    ASSERT_NO_FATAL_FAILURE(Sync(*pc_));
  }
  void SetUp() override { StartPhone(Config()); }

  Bytes Request(const std::string& command, const Bytes& payload, size_t replySize = 20) {
    pc_->Send(LoaderFrame(command, payload));
    return pc_->Receive(replySize);
  }
  Bytes Open(uint16_t index, uint16_t chip, uint32_t start, uint32_t size, uint8_t mode) {
    return Request("OPEN", OpenRequest(index, chip, start, size, mode));
  }
  Bytes Write(uint32_t address, const Bytes& data) {
    pc_->Send(Concat(LoaderFrame("TXDT", TxdtRequest(address, data)), data));
    return pc_->Receive(20);
  }
  // SUCK, checked against the NOR and the checksum.
  Bytes Read(uint32_t address, uint32_t n) {
    const Reply r = Suck(*pc_, address, n);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.head, "rplySUCK+ok!");
    EXPECT_EQ(r.crc, Crc(r.payload));
    EXPECT_EQ(r.trailer, "eom.");
    return r.payload;
  }
  Bytes NorAt(uint32_t address, uint32_t n) const { return Slice(phone_->Nor(), address, n); }

  std::unique_ptr<VirtualOptiPhone> phone_;
  std::unique_ptr<PcPort> pc_;
};

TEST_F(OptiLoader, SyncIsFoundBehindNoise) {
  pc_->Send(Text("\x01zSY"));
  pc_->Send(Text("SYNC"));
  EXPECT_EQ(pc_->Receive(4), Text("syn!"));
  pc_->Send(Text("SYN"));
  EXPECT_TRUE(pc_->ReceiveFor(100).empty());
  pc_->Send(Text("c"));  // "sync" is not SYNC
  EXPECT_TRUE(pc_->ReceiveFor(100).empty());
  EXPECT_EQ(phone_->Stats().syncs, 2);
}

// The hardware information block: chip count at 4, five words per chip from 8, the
// limits at 88 and 92, the speeds from 96 ended by 0, at least 104 bytes.
TEST_F(OptiLoader, InfoDescribesOneChip) {
  const Reply r = [&] {
    pc_->Send(LoaderFrame("INFO", Bytes(36, 0)));
    return ReceiveReply(*pc_);
  }();
  ASSERT_TRUE(r.complete);
  EXPECT_EQ(r.head, "rplyINFO+ok!");
  EXPECT_EQ(r.crc, Crc(r.payload));
  const Bytes& b = r.payload;
  ASSERT_GE(b.size(), 104u);
  EXPECT_EQ(Word(b, 4), 1u);
  EXPECT_EQ((Word(b, 8) >> 16) & 0xFF, 0xECu);
  EXPECT_EQ(Word(b, 12), 0x22E20000u);
  EXPECT_EQ(Word(b, 16), 0u);
  EXPECT_EQ(Word(b, 20), 0u);
  EXPECT_EQ(Word(b, 24), 0u);
  EXPECT_EQ(Slice(b, 28, 60), Bytes(60, 0)) << "chips 1 to 3 are empty";
  EXPECT_EQ(Word(b, 88), 0x20000u);
  EXPECT_EQ(Word(b, 92), 0x10000u);
  EXPECT_EQ(Word(b, 96), 115200u);
  EXPECT_EQ(Word(b, 100), 230400u);
  EXPECT_EQ(Word(b, 104), 460800u);
  EXPECT_EQ(Word(b, 108), 921600u);
  EXPECT_EQ(Word(b, 112), 0u);
  EXPECT_EQ(Text(phone_->InfoBlock()), b);
  EXPECT_EQ(phone_->Stats().infos, 1);
}

TEST_F(OptiLoader, InfoDescribesTwoChipsAndSecondIds) {
  OptiPhoneConfig config = Config();
  config.chips = {Kbb05(0), {0x01, 0x11111111, 0x800000, 0x89, 0x88C50000}};
  config.maxWriteChunk = 0x10000;
  config.maxReadChunk = 0x800;
  config.baudList = {921600};
  ASSERT_NO_FATAL_FAILURE(StartPhone(config));
  pc_->Send(LoaderFrame("INFO", Bytes(36, 0x5A)));
  const Reply r = ReceiveReply(*pc_);
  ASSERT_TRUE(r.complete);
  const Bytes& b = r.payload;
  ASSERT_EQ(b.size(), 104u) << "one speed and its end fill the block exactly";
  EXPECT_EQ(Word(b, 4), 2u);
  EXPECT_EQ((Word(b, 8) >> 16) & 0xFF, 0xECu);
  EXPECT_EQ((Word(b, 28) >> 16) & 0xFF, 0x01u);
  EXPECT_EQ(Word(b, 32), 0x11111111u);
  EXPECT_EQ((Word(b, 36) >> 16) & 0xFF, 0x89u);
  EXPECT_EQ(Word(b, 40), 0x88C50000u);
  EXPECT_EQ(Word(b, 44), 0x800000u);
  EXPECT_EQ(Word(b, 88), 0x10000u);
  EXPECT_EQ(Word(b, 92), 0x800u);
  EXPECT_EQ(Word(b, 96), 921600u);
  EXPECT_EQ(Word(b, 100), 0u);
  // The second chip is driven by its second ID pair: a 28F320C3 of 4 MiB.
  EXPECT_EQ(Read(0xBFF000, 0x800).size(), 0x800u);
  EXPECT_EQ(Suck(*pc_, 0xC00000, 0x10).head, "rplySUCK+no!");
}

TEST_F(OptiLoader, InfoCanBeAnyBlockAtAll) {
  OptiPhoneConfig config = Config();
  config.rawInfo = "far too short";
  ASSERT_NO_FATAL_FAILURE(StartPhone(config));
  EXPECT_EQ(Request("INFO", Bytes(36, 0), 37), Ok("INFO", Text("far too short")));
}

TEST_F(OptiLoader, BaudSwitchesAfterItsReply) {
  const Bytes baud460800 = Concat(LittleEndian(1), LittleEndian(460800));
  EXPECT_EQ(Request("BAUD", baud460800), Ok("BAUD"));
  EXPECT_EQ(phone_->Stats().baud, 460800u);
  // The PC reopens its port at the new speed.
  pc_->Close();
  pc_->Open();
  ASSERT_NO_FATAL_FAILURE(Sync(*pc_));

  const std::vector<std::pair<const char*, Bytes>> refused = {
      {"speed not offered", Concat(LittleEndian(1), LittleEndian(57600))},
      {"first word not 1", Concat(LittleEndian(0), LittleEndian(921600))},
      {"no speed", Concat(LittleEndian(1), LittleEndian(0))}};
  for (const auto& [what, payload] : refused) {
    SCOPED_TRACE(what);
    EXPECT_EQ(Request("BAUD", payload), Refused("BAUD"));
  }
  EXPECT_EQ(phone_->Stats().baud, 460800u);
  EXPECT_EQ(phone_->Stats().rejected, 3);
}

TEST_F(OptiLoader, SetpKeepsTheParameters) {
  Bytes setp = Concat(LittleEndian(1), Bytes(32, 0));
  PutWord(setp, 4, 0x22E20000);
  setp[9] = 0;
  setp[10] = 1;
  setp[11] = 0xEC;
  EXPECT_EQ(Request("SETP", setp), Ok("SETP"));
  EXPECT_EQ(Text(phone_->Stats().setp), setp);
  EXPECT_EQ(phone_->Stats().setps, 1);

  PutWord(setp, 0, 2);
  EXPECT_EQ(Request("SETP", setp), Refused("SETP"));
  EXPECT_EQ(phone_->Stats().setps, 1);
}

TEST_F(OptiLoader, OpenWholeBlockErasesItAndPartKeepsIt) {
  const Bytes before = phone_->Nor();
  // Block 8 is the first 64 KB block; block 9 the next.
  EXPECT_EQ(Open(8, 0, kBig, kBig, 0x11), Ok("OPEN"));
  EXPECT_EQ(Read(kBig, kBig), Bytes(kBig, 0xFF));
  EXPECT_EQ(NorAt(kBig - 16, 16), Slice(before, kBig - 16, 16)) << "block 7 untouched";
  EXPECT_EQ(NorAt(2 * kBig, 16), Slice(before, 2 * kBig, 16)) << "block 9 untouched";

  EXPECT_EQ(Open(9, 0, 2 * kBig, kBig, 0x13), Ok("OPEN"));
  EXPECT_EQ(Read(2 * kBig, kBig), Slice(before, 2 * kBig, kBig));
  // Block 3 of the 8 KB ones.
  EXPECT_EQ(Open(3, 0, 3 * kSmall, kSmall, 0x11), Ok("OPEN"));
  EXPECT_EQ(NorAt(3 * kSmall, kSmall), Bytes(kSmall, 0xFF));
  EXPECT_EQ(NorAt(4 * kSmall, 16), Slice(before, 4 * kSmall, 16));

  EXPECT_EQ(Request("CLOS", CloseRequest(2, 0)), Refused("CLOS")) << "not the open block";
  EXPECT_EQ(Request("CLOS", CloseRequest(3, 1)), Refused("CLOS")) << "not the open block's chip";
  EXPECT_EQ(Request("CLOS", CloseRequest(3, 0)), Ok("CLOS"));
  EXPECT_EQ(Request("CLOS", CloseRequest(3, 0)), Refused("CLOS")) << "nothing open";
  EXPECT_EQ(phone_->Stats().openModes, (std::vector<uint8_t>{0x11, 0x13, 0x11}));
  EXPECT_EQ(phone_->Stats().closes, 1);
  EXPECT_EQ(phone_->Stats().rejected, 3);
}

TEST_F(OptiLoader, OpenTakesOnlyTheChipsOwnBlocks) {
  Bytes notFF = OpenRequest(8, 0, kBig, kBig, 0x11);
  notFF[16] = 0xFE;
  Bytes padding = OpenRequest(8, 0, kBig, kBig, 0x11);
  padding[14] = 1;
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"start not the block's", OpenRequest(8, 0, kBig + kSmall, kBig, 0x11)},
      {"size not the block's", OpenRequest(8, 0, kBig, kSmall, 0x11)},
      {"8 KB block index with a 64 KB block", OpenRequest(7, 0, kBig, kBig, 0x11)},
      {"block index beyond the chip", OpenRequest(135, 0, 128 * kBig, kBig, 0x11)},
      {"no such chip", OpenRequest(0, 1, 0x800000, kSmall, 0x11)},
      {"chip index beyond four", OpenRequest(8, 4, kBig, kBig, 0x11)},
      {"unknown mode", OpenRequest(8, 0, kBig, kBig, 0x12)},
      {"no FF", notFF},
      {"padding not zero", padding}};
  const Bytes before = phone_->Nor();
  for (const auto& [what, payload] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(Request("OPEN", payload), Refused("OPEN"));
  }
  EXPECT_EQ(phone_->Stats().rejected, static_cast<int>(cases.size()));
  EXPECT_TRUE(phone_->Stats().openModes.empty());
  EXPECT_TRUE(phone_->Nor() == before);
  // The last block of the chip exists.
  EXPECT_EQ(Open(134, 0, 127 * kBig, kBig, 0x13), Ok("OPEN"));
}

TEST_F(OptiLoader, OpenFinds128KBlocksByTheirOwnStart) {
  OptiPhoneConfig config = Config();
  config.chips = {Intel128(0)};
  ASSERT_NO_FATAL_FAILURE(StartPhone(config));
  // Four 32 KB blocks fill the first 128 KB; block 4 starts at 0x20000, block 5 at 0x40000.
  EXPECT_EQ(Open(3, 0, 0x18000, 0x8000, 0x11), Ok("OPEN"));
  EXPECT_EQ(Open(5, 0, 0x40000, 0x20000, 0x11), Ok("OPEN"));
  EXPECT_EQ(NorAt(0x40000, 0x20000), Bytes(0x20000, 0xFF));
  EXPECT_EQ(Open(5, 0, 0x50000, 0x10000, 0x11), Refused("OPEN")) << "its second 64 KB";
}

TEST_F(OptiLoader, TxdtWritesIntoTheOpenBlock) {
  const Bytes before = phone_->Nor();
  ASSERT_EQ(Open(1, 0, kSmall, kSmall, 0x13), Ok("OPEN"));
  const Bytes data = RandomBytes(100, 1);
  EXPECT_EQ(Write(kSmall + 0x10, data), Ok("TXDT"));
  EXPECT_EQ(NorAt(kSmall + 0x10, 100), data);
  EXPECT_EQ(NorAt(kSmall, 0x10), Slice(before, kSmall, 0x10));
  EXPECT_EQ(NorAt(kSmall + 0x10 + 100, 0x10), Slice(before, kSmall + 0x10 + 100, 0x10));
  EXPECT_EQ(Read(kSmall, kSmall), NorAt(kSmall, kSmall));

  // A whole 64 KB block in one piece, then its last byte again.
  ASSERT_EQ(Open(10, 0, 3 * kBig, kBig, 0x11), Ok("OPEN"));
  const Bytes block = RandomBytes(kBig, 2);
  EXPECT_EQ(Write(3 * kBig, block), Ok("TXDT"));
  EXPECT_EQ(Write(4 * kBig - 1, {0x42}), Ok("TXDT"));
  Bytes expected = block;
  expected.back() = 0x42;
  EXPECT_EQ(Read(3 * kBig, kBig), expected);
  EXPECT_EQ(phone_->Stats().txdts, 3);
  EXPECT_EQ(phone_->Stats().rejected, 0);
}

TEST_F(OptiLoader, CorruptedTxdtIsAnsweredGoodButStoresOneByteChanged) {
  ASSERT_EQ(Open(1, 0, kSmall, kSmall, 0x13), Ok("OPEN"));
  const Bytes data = RandomBytes(100, 5);
  Bytes stored = data;
  stored[50] = static_cast<uint8_t>(~stored[50]);
  phone_->CorruptProgram();
  EXPECT_EQ(Write(kSmall, data), Ok("TXDT"));
  EXPECT_EQ(NorAt(kSmall, 100), stored);
  EXPECT_EQ(Write(kSmall, data), Ok("TXDT"));
  EXPECT_EQ(NorAt(kSmall, 100), data);
  phone_->CorruptProgram(true);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(Write(kSmall, data), Ok("TXDT"));
    EXPECT_EQ(NorAt(kSmall, 100), stored);
  }
}

// A refused TXDT still takes its data off the line: here the data is made of command
// words, and not one of them may be answered.
TEST_F(OptiLoader, TxdtRefusalsSwallowTheData) {
  const Bytes commands = [] {
    Bytes b;
    for (int i = 0; i < 64; ++i) b = Concat(b, Text("SYNC"));
    return b;
  }();
  ASSERT_EQ(Open(8, 0, kBig, kBig, 0x13), Ok("OPEN"));
  Bytes badSum = TxdtRequest(kBig, commands);
  badSum[28] ^= 1;
  Bytes badField = TxdtRequest(kBig, commands);
  badField[12] = 0;
  Bytes secondCount = TxdtRequest(kBig, commands);
  PutWord(secondCount, 24, 255);
  Bytes tail = TxdtRequest(kBig, commands);
  tail[40] = 1;
  Bytes badFrame = LoaderFrame("TXDT", TxdtRequest(kBig, commands));
  badFrame[8 + 40] ^= 1;  // a zero byte of the request, after its checksum was taken
  struct Case {
    const char* what;
    Bytes frame;
  };
  const std::vector<Case> cases = {
      {"data does not match its checksum", LoaderFrame("TXDT", badSum)},
      {"second count differs", LoaderFrame("TXDT", secondCount)},
      {"flag field not 1", LoaderFrame("TXDT", badField)},
      {"reserved bytes not zero", LoaderFrame("TXDT", tail)},
      {"frame checksum wrong", badFrame},
      {"runs past the open block", LoaderFrame("TXDT", TxdtRequest(2 * kBig - 100, commands))},
      {"before the open block", LoaderFrame("TXDT", TxdtRequest(kBig - 256, commands))}};
  const Bytes before = phone_->Nor();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    pc_->Send(Concat(c.frame, commands));
    EXPECT_EQ(pc_->Receive(20), Refused("TXDT"));
    EXPECT_TRUE(pc_->ReceiveFor(50).empty());
  }
  EXPECT_TRUE(phone_->Nor() == before);
  EXPECT_EQ(phone_->Stats().rejected, static_cast<int>(cases.size()));
  EXPECT_EQ(phone_->Stats().syncs, 1);

  // Once closed, nothing is written anywhere.
  ASSERT_EQ(Request("CLOS", CloseRequest(8, 0)), Ok("CLOS"));
  pc_->Send(Concat(LoaderFrame("TXDT", TxdtRequest(kBig, commands)), commands));
  EXPECT_EQ(pc_->Receive(20), Refused("TXDT"));
  EXPECT_TRUE(pc_->ReceiveFor(50).empty());
  EXPECT_TRUE(phone_->Nor() == before);
}

TEST_F(OptiLoader, TxdtAboveTheWriteLimitIsRefusedBeforeItsData) {
  ASSERT_EQ(Open(8, 0, kBig, kBig, 0x13), Ok("OPEN"));
  Bytes request = TxdtRequest(kBig, {});
  PutWord(request, 4, 0x20001);
  PutWord(request, 24, 0x20001);
  EXPECT_EQ(Request("TXDT", request), Refused("TXDT"));
  PutWord(request, 4, 0xFFFFFFFF);
  PutWord(request, 24, 0xFFFFFFFF);
  EXPECT_EQ(Request("TXDT", request), Refused("TXDT"));
  ASSERT_NO_FATAL_FAILURE(Sync(*pc_));
}

TEST_F(OptiLoader, SuckReadsWithinTheChips) {
  EXPECT_EQ(Read(0x123457, 0x1001), NorAt(0x123457, 0x1001));
  EXPECT_EQ(Read(0x7F0000, 0x10000), NorAt(0x7F0000, 0x10000)) << "up to the chip's end";

  // The NOR is 16 MiB, the one chip 8 MiB.
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"above the read limit", Concat(LittleEndian(0), LittleEndian(0x10001))},
      {"nothing", Concat(LittleEndian(0), LittleEndian(0))},
      {"NOR without a chip", Concat(LittleEndian(0x900000), LittleEndian(16))},
      {"runs past the chip", Concat(LittleEndian(0x7FFFF0), LittleEndian(0x20))},
      {"beyond the NOR", Concat(LittleEndian(0xFFFFFFF0), LittleEndian(0x20))}};
  for (const auto& [what, payload] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(Request("SUCK", payload), Refused("SUCK"));
  }
  EXPECT_EQ(phone_->Stats().rejected, static_cast<int>(cases.size()));
  EXPECT_EQ(phone_->Stats().sucks, 2);
}

TEST_F(OptiLoader, SuckRunsOnIntoTheNextChip) {
  OptiPhoneConfig config = Config();
  config.norSize = 32u << 20;
  config.chips = {Kbb06(0x800000), Kbb05(0), Intel128(0x1000000)};
  ASSERT_NO_FATAL_FAILURE(StartPhone(config));
  const Bytes nor = phone_->Nor();
  EXPECT_EQ(Read(0x7FFFF0, 0x20), Slice(nor, 0x7FFFF0, 0x20));
  EXPECT_EQ(Read(0xFFFF00, 0x200), Slice(nor, 0xFFFF00, 0x200));
  EXPECT_EQ(Read(0x1FFFF00, 0x100), Slice(nor, 0x1FFFF00, 0x100));
  EXPECT_EQ(Suck(*pc_, 0x1FFFF00, 0x101).head, "rplySUCK+no!");
}

TEST_F(OptiLoader, FailedChecksumsThenAGoodOne) {
  phone_->FailSuckChecksums(2);
  const Bytes expected = NorAt(0x4000, 0x800);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const Reply r = Suck(*pc_, 0x4000, 0x800);
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(r.head, "rplySUCK+ok!");
    EXPECT_EQ(r.payload, expected) << "only the checksum is wrong";
    EXPECT_EQ(r.crc == Crc(expected), i == 2);
    EXPECT_EQ(r.trailer, "eom.");
  }
}

TEST_F(OptiLoader, WrongStatusRefusesTheNextRequestOnly) {
  ASSERT_EQ(Open(2, 0, 2 * kSmall, kSmall, 0x13), Ok("OPEN"));
  const Bytes before = phone_->Nor();
  phone_->WrongStatus();
  EXPECT_EQ(Write(2 * kSmall, RandomBytes(64, 3)), Refused("TXDT"));
  EXPECT_TRUE(phone_->Nor() == before);
  EXPECT_TRUE(pc_->ReceiveFor(50).empty()) << "the data was taken off the line";
  EXPECT_EQ(Write(2 * kSmall, RandomBytes(64, 3)), Ok("TXDT"));

  phone_->WrongStatus();
  EXPECT_EQ(Request("BAUD", Concat(LittleEndian(1), LittleEndian(921600))), Refused("BAUD"));
  EXPECT_EQ(phone_->Stats().baud, 115200u);
  EXPECT_EQ(phone_->Stats().rejected, 0) << "asked for, not deserved";
}

TEST_F(OptiLoader, BrokenFramesAreRefused) {
  Bytes badSum = LoaderFrame("SUCK", Concat(LittleEndian(0), LittleEndian(16)));
  badSum[8] ^= 1;
  Bytes badTrailer = LoaderFrame("SUCK", Concat(LittleEndian(0), LittleEndian(16)));
  badTrailer.back() = ',';
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"payload changed after its checksum", badSum},
      {"wrong trailer", badTrailer},
      {"payload longer than SUCK's", LoaderFrame("SUCK", Bytes(9, 0))},
      {"payload shorter than SUCK's", LoaderFrame("SUCK", Bytes(4, 0))},
      {"SUCK without payload", LoaderFrame("SUCK")}};
  for (const auto& [what, frame] : cases) {
    SCOPED_TRACE(what);
    pc_->Send(frame);
    EXPECT_EQ(pc_->Receive(20), Refused("SUCK"));
    EXPECT_TRUE(pc_->ReceiveFor(50).empty());
  }
  // Longer than any frame: refused before a byte of it is read.
  pc_->Send(Concat(Text("INFO"), LittleEndian(0x100001)));
  EXPECT_EQ(pc_->Receive(20), Refused("INFO"));
  EXPECT_EQ(phone_->Stats().rejected, static_cast<int>(cases.size()) + 1);
  ASSERT_NO_FATAL_FAILURE(Sync(*pc_));
}

TEST_F(OptiLoader, SilenceInsideAFrameLosesOnlyThatFrame) {
  pc_->Send(Concat(Text("SUCK"), LittleEndian(8)));
  pc_->Send(Bytes(3, 0));
  ASSERT_TRUE(WaitForSilences(*phone_, 1));
  EXPECT_TRUE(pc_->ReceiveFor(50).empty()) << "a lost frame is not answered";
  EXPECT_EQ(Read(0, 16), NorAt(0, 16));
}

TEST_F(OptiLoader, DoneAndOReturnToTheBootCode) {
  ASSERT_EQ(Request("BAUD", Concat(LittleEndian(1), LittleEndian(921600))), Ok("BAUD"));
  ASSERT_EQ(Open(8, 0, kBig, kBig, 0x13), Ok("OPEN"));
  EXPECT_EQ(Request("DONE", {}), Ok("DONE"));
  pc_->Send({'?', 'x', '?'});
  EXPECT_TRUE(pc_->ReceiveFor(50).empty()) << "still waiting for the o";
  pc_->Send({'o'});
  pc_->Send({'?'});
  EXPECT_EQ(pc_->Receive(1), Bytes{'!'});
  const OptiPhoneStats stats = phone_->Stats();
  EXPECT_EQ(stats.dones, 1);
  EXPECT_EQ(stats.baud, 115200u);
  // A new connection; the block opened before is gone with the old loader.
  ASSERT_NO_FATAL_FAILURE(Boot(*pc_, Loader(1200)));
  EXPECT_EQ(phone_->Stats().starts, 2);
  EXPECT_EQ(Request("CLOS", CloseRequest(8, 0)), Refused("CLOS"));
}

TEST_F(OptiLoader, TrickledReadArrivesWhole) {
  phone_->Trickle(100, 1);
  EXPECT_EQ(Read(0x20000, 0x1000), NorAt(0x20000, 0x1000));
  EXPECT_EQ(Read(0x30000, 0x1000), NorAt(0x30000, 0x1000));
}

TEST_F(OptiLoader, UnplugInTheMiddleOfARead) {
  phone_->UnplugDuringRead(100);
  pc_->Send(LoaderFrame("SUCK", Concat(LittleEndian(0x40000), LittleEndian(0x10000))));
  const Bytes got = pc_->Receive(16 + 0x10000 + 8);  // ends when the line does
  EXPECT_EQ(got, Concat(Concat(Text("rplySUCK+ok!"), LittleEndian(0x10000)), NorAt(0x40000, 100)));
}

TEST_F(OptiLoader, SilentPhoneAnswersNothing) {
  phone_->GoSilent();
  pc_->Send(Text("SYNC"));
  EXPECT_TRUE(pc_->ReceiveFor(100).empty());
  pc_->Send(LoaderFrame("SUCK", Concat(LittleEndian(0), LittleEndian(16))));
  EXPECT_TRUE(pc_->ReceiveFor(100).empty());
}

TEST_F(OptiLoader, LineRatePacingKeepsEveryByte) {
  ASSERT_EQ(Request("BAUD", Concat(LittleEndian(1), LittleEndian(921600))), Ok("BAUD"));
  phone_->SetLineRate(true);
  ASSERT_EQ(Open(9, 0, 2 * kBig, kBig, 0x13), Ok("OPEN"));
  const Bytes data = RandomBytes(0x2000, 4);
  EXPECT_EQ(Write(2 * kBig + 0x100, data), Ok("TXDT"));
  EXPECT_EQ(Read(2 * kBig + 0x100, 0x2000), data);
}

}  // namespace
}  // namespace brantle::sim
