// The virtual OptiFlash phone's boot code: "?"/"!", the boot frames carrying the loader,
// the "*"/"b"/"#"/"B" start, broken and stalled frames, and the phone's configuration,
// driven from the PC's end of its pseudo-terminal.

#include "sim/virtual_opti_phone.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "opti_pc_side.h"
#include "sim/virtual_e_phone.h"

namespace brantle::sim {
namespace {

using namespace brantle::sim::optipc;

constexpr size_t kLoaderA = 18836;  // 9 whole pieces and one of 404 bytes

Bytes DataPayload(uint32_t offset, const Bytes& bytes) {
  return Concat(Concat(LittleEndian(offset), LittleEndian(static_cast<uint32_t>(bytes.size()))),
                bytes);
}

TEST(OptiChecksum, MatchesTheKnownValues) {
  EXPECT_EQ(Crc(Text("abc")), 0xCBA7F2E7u);
  EXPECT_EQ(Crc(Bytes{}), 1u);
}

TEST(VirtualOptiPhoneBoot, AnswersEveryPromptAndNothingElse) {
  VirtualOptiPhone phone(Config());
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  EXPECT_TRUE(pc.ReceiveFor(100).empty()) << "the boot code speaks only when asked";
  pc.Send({'?'});
  EXPECT_EQ(pc.Receive(1), Bytes{'!'});
  pc.Send({'x', 0x00, 0xFF, '!', 'r'});
  EXPECT_TRUE(pc.ReceiveFor(100).empty());
  pc.Send({'?', '?'});
  EXPECT_EQ(pc.Receive(2), (Bytes{'!', '!'}));
  EXPECT_EQ(phone.Stats().bootPrompts, 3);
  EXPECT_EQ(phone.Stats().baud, 115200u);
}

TEST(VirtualOptiPhoneBoot, InfoDataDoneAndTheStartByteForByte) {
  OptiPhoneConfig config = Config();
  config.expectedLoaderSize = kLoaderA;
  VirtualOptiPhone phone(config);
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  const Bytes loader = Loader(kLoaderA);

  // "#info" goes out as its five characters, four zero bytes and "(pc)".
  const Bytes info = BootFrame("#info");
  ASSERT_EQ(info, Concat(Text("#info"), Concat(Bytes(4, 0), Text("(pc)"))));
  pc.Send(info);
  const Reply r = ReceiveReply(pc);
  ASSERT_TRUE(r.complete);
  EXPECT_EQ(r.head, "respinfo+ok+");
  EXPECT_EQ(r.payload.size(), 16u);
  EXPECT_EQ(r.crc, Crc(r.payload));
  EXPECT_EQ(r.trailer, "(hw)");

  // Each piece is answered with the number of loader bytes taken so far.
  uint32_t offset = 0;
  while (offset < loader.size()) {
    const uint32_t n = std::min<uint32_t>(2048, static_cast<uint32_t>(loader.size()) - offset);
    pc.Send(BootFrame("data", DataPayload(offset, Slice(loader, offset, n))));
    offset += n;
    ASSERT_EQ(pc.Receive(28), Answer("resp", "data", "+ok+", LittleEndian(offset), "(hw)"));
  }
  EXPECT_EQ(phone.Stats().loaderBytes, static_cast<int>(kLoaderA));
  EXPECT_EQ(phone.Stats().loaderCrc, Crc(loader));

  pc.Send(BootFrame("done"));
  ASSERT_EQ(pc.Receive(20), Answer("resp", "done", "+ok+", {}, "(hw)"));
  EXPECT_TRUE(pc.ReceiveFor(50).empty()) << "the loader waits for its 99 stars";
  for (int i = 0; i < 98; ++i) pc.Send({'*'});
  EXPECT_TRUE(pc.ReceiveFor(50).empty()) << "98 stars are not enough";
  pc.Send({'*'});
  int bees = 0;
  for (;;) {
    const Bytes b = pc.Receive(1);
    ASSERT_EQ(b.size(), 1u);
    if (b[0] == '#') break;
    ASSERT_EQ(b[0], 'b');
    ++bees;
    // Each "b" waits for its "*".
    EXPECT_TRUE(pc.ReceiveFor(30).empty());
    pc.Send({'*'});
  }
  EXPECT_GE(bees, 1);
  EXPECT_EQ(pc.Receive(1), Bytes{'B'});
  EXPECT_EQ(phone.Stats().starts, 1);
  ASSERT_NO_FATAL_FAILURE(Sync(pc));
}

TEST(VirtualOptiPhoneBoot, LoadersOfTheSameSizeAreToldApart) {
  const Bytes a = Loader(17420);
  Bytes b = a;
  b[9000] ^= 0x40;
  for (const Bytes& loader : {a, b}) {
    VirtualOptiPhone phone(Config());
    ASSERT_TRUE(phone.Start()) << phone.error();
    PcPort pc(phone.PortPath());
    ASSERT_NO_FATAL_FAILURE(Boot(pc, loader));
    EXPECT_EQ(phone.Stats().loaderCrc, Crc(loader));
  }
}

// A frame the boot code cannot take is not answered; the boot code then waits again
// and a fresh start goes through.
TEST(VirtualOptiPhoneBoot, BrokenFramesGetNoAnswer) {
  const Bytes piece = Loader(2048);
  Bytes badChecksum = BootFrame("data", DataPayload(0, piece));
  badChecksum[8 + 8 + 100] ^= 1;
  Bytes badTrailer = BootFrame("data", DataPayload(0, piece));
  badTrailer.back() = ']';
  Bytes countNotLength = DataPayload(0, piece);
  PutWord(countNotLength, 4, 2047);
  struct Case {
    const char* what;
    Bytes before;  // answered as usual
    Bytes frame;   // not answered
    uint32_t expectedLoaderSize;
  };
  const std::vector<Case> cases = {
      {"payload changed after its checksum", {}, badChecksum, 0},
      {"wrong trailer", {}, badTrailer, 0},
      {"first piece not at 0", {}, BootFrame("data", DataPayload(2048, piece)), 0},
      {"gap between pieces", BootFrame("data", DataPayload(0, piece)),
       BootFrame("data", DataPayload(4096, piece)), 0},
      {"count differs from length", {}, BootFrame("data", countNotLength), 0},
      {"piece above 2048 bytes", {}, BootFrame("data", DataPayload(0, Loader(2049))), 0},
      {"empty piece", {}, BootFrame("data", DataPayload(0, {})), 0},
      {"done before the whole loader", BootFrame("data", DataPayload(0, piece)), BootFrame("done"),
       4096},
      {"piece beyond the loader size", {}, BootFrame("data", DataPayload(0, piece)), 1000},
      {"#info with a payload", {}, BootFrame("#info", {1, 2, 3}), 0},
      {"unknown command", {}, BootFrame("#inf0"), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OptiPhoneConfig config = Config();
    config.expectedLoaderSize = c.expectedLoaderSize;
    VirtualOptiPhone phone(config);
    ASSERT_TRUE(phone.Start()) << phone.error();
    PcPort pc(phone.PortPath());
    if (!c.before.empty()) {
      pc.Send(c.before);
      ASSERT_TRUE(ReceiveReply(pc).complete);
    }
    pc.Send(c.frame);
    EXPECT_TRUE(pc.ReceiveFor(100).empty());
    ASSERT_NO_FATAL_FAILURE(Boot(pc, Loader(c.expectedLoaderSize ? c.expectedLoaderSize : 3000)));
    EXPECT_EQ(phone.Stats().starts, 1);
  }
}

TEST(VirtualOptiPhoneBoot, LengthBeyondAnyFrameIsWaitedOut) {
  VirtualOptiPhone phone(Config());
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  // The "rest" holds prompts and a whole frame; none of it may be answered.
  Bytes frame = Concat(Text("data"), LittleEndian(0x7FFFFFFF));
  frame = Concat(frame, Concat(Text("????"), BootFrame("#info")));
  pc.Send(frame);
  ASSERT_TRUE(WaitForSilences(phone, 1)) << "the rest of the frame is waited out";
  EXPECT_TRUE(pc.ReceiveFor(50).empty());
  ASSERT_NO_FATAL_FAILURE(Boot(pc, Loader(5000)));
}

TEST(VirtualOptiPhoneBoot, SilenceInsideAFrameReturnsToWaiting) {
  VirtualOptiPhone phone(Config());  // gives up after 300 ms
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  pc.Send(Concat(Text("data"), LittleEndian(2056)));
  pc.Send(Bytes(100, 0x55));
  ASSERT_TRUE(WaitForSilences(phone, 1));
  EXPECT_TRUE(pc.ReceiveFor(50).empty());
  // Still inside that frame, these bytes would be taken for its payload.
  ASSERT_NO_FATAL_FAILURE(Boot(pc, Loader(2500)));
}

TEST(VirtualOptiPhoneBoot, BrokenWakeUpLeavesTheLoaderAsleep) {
  struct Case {
    const char* what;
    Bytes stars;
    int silences;  // 1 where the phone has to give up waiting for more
  };
  const std::vector<Case> cases = {
      {"a stray byte among 99", Concat(Concat(Bytes(50, '*'), {'x'}), Bytes(48, '*')), 0},
      {"too few stars, then silence", Bytes(60, '*'), 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VirtualOptiPhone phone(Config());
    ASSERT_TRUE(phone.Start()) << phone.error();
    PcPort pc(phone.PortPath());
    pc.Send(BootFrame("data", DataPayload(0, Loader(100))));
    ASSERT_TRUE(ReceiveReply(pc).complete);
    pc.Send(BootFrame("done"));
    ASSERT_TRUE(ReceiveReply(pc).complete);
    pc.Send(c.stars);
    ASSERT_TRUE(WaitForSilences(phone, c.silences));
    EXPECT_TRUE(pc.ReceiveFor(50).empty());
    EXPECT_EQ(phone.Stats().starts, 0);
    ASSERT_NO_FATAL_FAILURE(Boot(pc, Loader(100)));
    EXPECT_EQ(phone.Stats().starts, 1);
  }
}

TEST(VirtualOptiPhoneBoot, WrongStatusRefusesTheNextPiece) {
  VirtualOptiPhone phone(Config());
  ASSERT_TRUE(phone.Start()) << phone.error();
  PcPort pc(phone.PortPath());
  phone.WrongStatus();
  const Bytes piece = Loader(2048);
  pc.Send(BootFrame("data", DataPayload(0, piece)));
  EXPECT_EQ(pc.Receive(20), Answer("resp", "data", "+no+", {}, "(hw)"));
  EXPECT_EQ(phone.Stats().loaderBytes, 0);
  pc.Send(BootFrame("data", DataPayload(0, piece)));
  EXPECT_EQ(pc.Receive(28), Answer("resp", "data", "+ok+", LittleEndian(2048), "(hw)"));
}

TEST(VirtualOptiPhoneConfig, NorFromFileOrPattern) {
  const std::string path =
      ::testing::TempDir() + "/virtual_opti_phone_nor_" + std::to_string(getpid()) + ".bin";
  Bytes image = VirtualEPhone::PatternNor(16u << 20);
  image[12345] ^= 0xFF;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  OptiPhoneConfig config = Config();
  config.norFile = path;
  VirtualOptiPhone phone(config);
  ASSERT_TRUE(phone.Start()) << phone.error();
  EXPECT_EQ(phone.Nor(), image);

  config.norSize = 32u << 20;
  VirtualOptiPhone wrongSize(config);
  EXPECT_FALSE(wrongSize.Start());
  EXPECT_NE(wrongSize.error().find("16777216"), std::string::npos) << wrongSize.error();
  std::remove(path.c_str());

  const Bytes a = VirtualOptiPhone::PatternNor(32u << 20);
  EXPECT_EQ(a, VirtualOptiPhone::PatternNor(32u << 20));
  EXPECT_NE(Slice(a, 0, 65536), Slice(a, 65536, 65536));
  EXPECT_NE(Slice(a, 0, 65536), Slice(a, 16u << 20, 65536));
  EXPECT_NE(Slice(a, 0, 4096), Slice(VirtualEPhone::PatternNor(4096), 0, 4096));
}

TEST(VirtualOptiPhoneConfig, RefusesImpossiblePhones) {
  OptiPhoneConfig five = Config();
  five.chips.assign(5, OptiChipConfig{});
  EXPECT_FALSE(VirtualOptiPhone(five).Start());

  OptiPhoneConfig huge = Config();
  huge.norSize = (32u << 20) + 1;
  EXPECT_FALSE(VirtualOptiPhone(huge).Start());

  // An 8 MiB chip at 12 MiB does not fit a 16 MiB NOR, but does fit 32 MiB.
  OptiPhoneConfig beyond = Config();
  beyond.chips[0].base = 12u << 20;
  VirtualOptiPhone small(beyond);
  EXPECT_FALSE(small.Start());
  EXPECT_NE(small.error().find("chip 0"), std::string::npos) << small.error();
  beyond.norSize = 32u << 20;
  VirtualOptiPhone big(beyond);
  EXPECT_TRUE(big.Start()) << big.error();

  // A chip the loader cannot drive takes no room, wherever it claims to lie.
  OptiPhoneConfig unknown = Config();
  unknown.chips[0].device = 0x12345678;
  unknown.chips[0].base = 0xFF000000;
  VirtualOptiPhone phone(unknown);
  EXPECT_TRUE(phone.Start()) << phone.error();
}

}  // namespace
}  // namespace brantle::sim
