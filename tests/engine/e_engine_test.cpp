// The E-family engine against a scripted line: exact packets, replies, retries,
// progress and status texts of every step.

#include <gtest/gtest.h>

#include "engine/e_packets.h"
#include "engine/ktze_flasher.h"
#include "engine/ktze_loaders.h"
#include "engine/result_codes.h"
#include "support/fake_clock.h"
#include "support/scripted_line.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::Bytes;
using test::Hex;
using test::ScriptedLine;

std::string Filler(size_t size, uint8_t seed) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>(seed + i * 13 + (i >> 8));
  return s;
}

// Writes a full loader set of deterministic filler.
void WriteLoaders(const test::TempDir& dir) {
  uint8_t seed = 1;
  for (const LoaderFile& f : AllLoaderFiles()) dir.Write(f.name, Filler(f.size, seed++));
}

class EEngineTest : public ::testing::Test {
 protected:
  EEngineTest() : line(&clock), link(line.Factory(), clock), engine(link) {
    WriteLoaders(dir);
    engine.LoadersFolder = dir.path();
    link.OnEngineStatus = [this](const std::string& s) { statuses.push_back(s); };
    link.OnEngineProgress = [this](int32_t d) { deltas.push_back(d); };
  }
  void Connected(const std::string& family = "E700") {
    ASSERT_EQ(engine.EInitPort("/dev/ttyT", family), kOk);
    line.ClearWritten();
  }
  bool SawStatus(const std::string& s) const {
    return std::find(statuses.begin(), statuses.end(), s) != statuses.end();
  }
  int64_t DeltaSum() const {
    int64_t sum = 0;
    for (int32_t d : deltas) sum += d;
    return sum;
  }

  test::FakeClock clock;
  test::TempDir dir;
  ScriptedLine line;
  Link link;
  EEngine engine;
  std::vector<std::string> statuses;
  std::vector<int32_t> deltas;
};

TEST_F(EEngineTest, InitPortOpensAtEvenParityAndPicksTheFamily) {
  ASSERT_EQ(engine.EInitPort("/dev/ttyT", "S500"), kOk);
  EXPECT_EQ(line.Events(),
            (std::vector<std::string>{"open /dev/ttyT", "line 38400 2", "clear break", "purge in",
                                      "purge out", "rts", "dtr"}));
  EXPECT_EQ(engine.EngineFamily, "E700");
  EXPECT_EQ(engine.Loader1Size, 7169u);
  EXPECT_EQ(engine.EInitPort("/dev/ttyT", "E800"), kOk);
  EXPECT_EQ(engine.Loader2Size, 32248u);
  EXPECT_EQ(engine.EInitPort("/dev/ttyT", "E330"), kOk);
  EXPECT_EQ(engine.Loader1Size, 4568u);
  line.failOpen = true;
  EXPECT_EQ(engine.EInitPort("/dev/ttyT", "E700"), kErrOpen);
}

TEST_F(EEngineTest, WaitBootSkipsNoiseUntilBE) {
  Connected();
  EXPECT_EQ(engine.EWaitBoot(1, 250), kErrTimeout);  // nothing on the line
  line.Queue(Bytes({0x00, 0x41, 0x7F, 0xBE}));
  EXPECT_EQ(engine.EWaitBoot(1, 250), kOk);
  line.Queue(Bytes({0x00, 0x41}));  // noise that stops: no phone
  EXPECT_EQ(engine.EWaitBoot(1, 250), kErrTimeout);
  EXPECT_TRUE(line.Written().empty());
}

TEST_F(EEngineTest, BootCommandSkipsLateBootBytes) {
  Connected();
  line.Queue(Bytes({0xBE, 0xBE, 0xBE, 'D'}));
  EXPECT_EQ(engine.EBootCommand(0, 0, 0, 0), kOk);
  const auto chunks = line.WriteChunks();
  ASSERT_EQ(chunks.size(), 2u);  // "D" and the packet go as two writes
  EXPECT_EQ(chunks[0], "D");
  EXPECT_EQ(chunks[1], EBootPacket("E700", 0, 0, 0, 0));

  line.Queue(Bytes({0xBE, 'X'}));
  EXPECT_EQ(engine.EBootCommand(0, 0, 0, 0), kErrUnexpected);
  EXPECT_EQ(engine.EBootCommand(0, 0, 0, 0), kErrTimeout);
}

TEST_F(EEngineTest, BootCommandIgnoredByAPhoneThatKeepsAnnouncingItself) {
  Connected("E800");
  const uint64_t t0 = clock.NowMs();
  for (uint64_t t = 0; t < 20000; t += 10) line.QueueAt(t0 + t, Bytes({0xBE}));
  EXPECT_EQ(engine.EBootCommand(0, 0, 0, 0), kErrTimeout);
  EXPECT_LT(clock.NowMs() - t0, 4000u);
}

// The first loader carries the second loader's size at the family's offset.
TEST_F(EEngineTest, FirstLoaderIsPatchedAndReportsTheFlash) {
  const struct {
    const char* family;
    size_t size, offset;
    const char* patch;
  } cases[] = {{"E700", 7169, 728, "00 00 74 98"},
               {"S500", 7169, 728, "00 00 74 98"},
               {"E800", 4548, 688, "00 00 7D F8"},
               {"E330", 4568, 708, "00 00 7F 58"}};
  for (const auto& c : cases) {
    Connected(c.family);
    deltas.clear();
    line.Queue(Bytes({1, 2, 3, 4, 0xEC, 0xE2}));
    ASSERT_EQ(engine.ESendLoader1(), kOk) << c.family;
    const std::string sent = line.Written();
    ASSERT_EQ(sent.size(), c.size) << c.family;
    EXPECT_EQ(Hex(sent.substr(c.offset, 4)), c.patch) << c.family;
    EXPECT_EQ(engine.FlashInfo.Known, 1);
    EXPECT_EQ(engine.FlashInfo.ModelName, "KBB05A300");
    EXPECT_EQ(deltas.front(), 0);
    EXPECT_EQ(DeltaSum(), static_cast<int64_t>(c.size));
    EXPECT_TRUE(SawStatus("Sending loader #1"));
  }
  // No reply: a timeout, the flash stays unknown.
  Connected("E700");
  EXPECT_EQ(engine.ESendLoader1(), kErrTimeout);
  EXPECT_EQ(engine.FlashInfo.Known, 0);
}

TEST_F(EEngineTest, MissingOrWrongSizedLoaderSendsNothing) {
  Connected("E800");
  dir.Write("e800_loader2.bin", std::string(100, 'x'));
  EXPECT_EQ(engine.ESendLoader1(), kErrLoader);
  EXPECT_NE(engine.LoaderError().find("e800_loader2.bin"), std::string::npos);
  EXPECT_NE(engine.LoaderError().find("32248 bytes"), std::string::npos);
  std::remove(dir.File("e800_loader1.bin").c_str());
  EXPECT_EQ(engine.ESendLoader1(), kErrLoader);
  EXPECT_NE(engine.LoaderError().find("e800_loader1.bin not found (expected 4548 bytes)"),
            std::string::npos);
  EXPECT_TRUE(line.Written().empty());
}

TEST_F(EEngineTest, DemoLoaderOnlyReachesAPseudoTerminal) {
  std::string demo = std::string(kDemoLoaderMarker) + Filler(7169, 3);
  demo.resize(7169);
  dir.Write("e700_loader1.bin", demo);
  line.pseudoTerminal = false;
  Connected("E700");
  EXPECT_EQ(engine.ESendLoader1(), kErrLoader);
  EXPECT_NE(engine.LoaderError().find("demo loader"), std::string::npos);
  EXPECT_TRUE(line.Written().empty());

  line.pseudoTerminal = true;
  line.Queue(Bytes({0, 0, 0, 0, 0xEC, 0xE2}));
  EXPECT_EQ(engine.ESendLoader1(), kOk);
}

TEST_F(EEngineTest, SpeedSwitchReopensWithoutParity) {
  Connected();
  line.onWrite = [](ScriptedLine& l, const std::string& w) {
    if (w[0] == '\xE0') l.Queue(Bytes({0xC0, 0xC3, 0x00}));
    if (w == "\xEE") l.Queue("\x01\x02\x03\x04\x05");
  };
  ASSERT_EQ(engine.ESwitchSpeed(38400), kOk);
  EXPECT_EQ(Hex(line.Written()), "E0 00 FF EB 01 EA EE");
  const auto ev = line.Events();
  const std::vector<std::string> tail(ev.end() - 9, ev.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"close", "open /dev/ttyT", "line 38400 0", "clear break",
                                      "purge in", "purge out", "rts", "dtr", "purge in"}));
}

TEST_F(EEngineTest, SpeedSwitchFailures) {
  Connected();
  EXPECT_EQ(engine.ESwitchSpeed(10), kErrSpeed);
  EXPECT_TRUE(line.Written().empty());
  EXPECT_EQ(engine.ESwitchSpeed(115200), kErrTimeout);
  line.Queue(Bytes({0xC0, 0xC3, 0x01}));
  EXPECT_EQ(engine.ESwitchSpeed(115200), kErrUnexpected);
  line.Queue(Bytes({0xC0, 0xC3, 0x00}));
  line.failOpen = true;
  EXPECT_EQ(engine.ESwitchSpeed(115200), kErrOpen);
}

TEST_F(EEngineTest, SecondLoaderEndsWithFFOnlyForE700) {
  for (const char* family : {"E700", "E800"}) {
    Connected(family);
    line.Queue("c");
    ASSERT_EQ(engine.ESendLoader2(), kOk);
    const std::string sent = line.Written();
    const bool e700 = std::string(family) == "E700";
    EXPECT_EQ(sent.size(), e700 ? 29849u : 32248u);
    if (e700) {
      EXPECT_EQ(static_cast<uint8_t>(sent.back()), 0xFF);
    }
    EXPECT_TRUE(SawStatus("Sending loader #2"));
  }
  Connected("E330");
  line.Queue("C");
  EXPECT_EQ(engine.ESendLoader2(), kErrUnexpected);
}

TEST_F(EEngineTest, TerminateAndClose) {
  Connected();
  line.Queue(Bytes({0xC0}));
  EXPECT_EQ(engine.ETerminate(), kOk);
  EXPECT_EQ(Hex(line.Written()), "E8");
  line.Queue(Bytes({0xC1}));
  EXPECT_EQ(engine.ETerminate(), kErrUnexpected);
  EXPECT_EQ(engine.ETerminate(), kErrTimeout);
  engine.FlashInfo.Known = 1;
  EXPECT_EQ(engine.EClose(), kOk);
  EXPECT_EQ(engine.FlashInfo.Known, 0);
  EXPECT_FALSE(link.IsOpen());
}

// A loader that serves E6 reads from a sector image, with bad checksums on demand.
void ServeReads(ScriptedLine& line, const std::string& sector, int* badSums) {
  line.onWrite = [&sector, badSums](ScriptedLine& l, const std::string& w) {
    if (w == "\xE6") l.Queue(Bytes({0xC0}));
    if (w.size() != 8) return;
    uint32_t sum = ByteSum(reinterpret_cast<const uint8_t*>(sector.data()), sector.size());
    if (*badSums > 0) {
      --*badSums;
      sum ^= 1;
    }
    l.Queue("\xC7" + sector + std::string(reinterpret_cast<const char*>(&sum), 4));
  };
}

TEST_F(EEngineTest, ReadSectorExactExchange) {
  Connected();
  const std::string sector = Filler(65536, 7);
  int bad = 0;
  ServeReads(line, sector, &bad);
  std::string buf(65536, '\0');
  ASSERT_EQ(engine.ERead(0x1F, 65536, reinterpret_cast<uint8_t*>(buf.data())), kOk);
  EXPECT_EQ(buf, sector);
  EXPECT_EQ(Hex(line.Written()), "E6 00 01 00 00 02 1F 00 00");
  EXPECT_TRUE(SawStatus("Reading at 1F0000"));
  EXPECT_EQ(deltas.front(), 0);
  EXPECT_EQ(DeltaSum(), 65536);
}

TEST_F(EEngineTest, ReadRetriesThreeChecksumErrorsThenFails) {
  Connected();
  const std::string sector = Filler(65536, 9);
  int bad = 3;
  ServeReads(line, sector, &bad);
  std::string buf(65536, '\0');
  ASSERT_EQ(engine.ERead(2, 65536, reinterpret_cast<uint8_t*>(buf.data())), kOk);
  EXPECT_EQ(std::count(deltas.begin(), deltas.end(), -65536), 3);
  EXPECT_EQ(DeltaSum(), 65536);  // the bar ends where one good read ends
  for (int i = 1; i <= 3; ++i)
    EXPECT_TRUE(SawStatus("CRC error, retry #" + std::to_string(i) + " at 020000")) << i;
  // The whole exchange is repeated, E6 included.
  const auto chunks = line.WriteChunks();
  EXPECT_EQ(std::count(chunks.begin(), chunks.end(), "\xE6"), 4);

  bad = 4;
  EXPECT_EQ(engine.ERead(2, 65536, reinterpret_cast<uint8_t*>(buf.data())), kErrCrc);
}

TEST_F(EEngineTest, ReadAcknowledgementsAndSilence) {
  Connected();
  line.onWrite = [](ScriptedLine& l, const std::string& w) {
    if (w == "\xE6") l.Queue(Bytes({0xC1}));
  };
  std::string buf(65536, '\0');
  auto* p = reinterpret_cast<uint8_t*>(buf.data());
  EXPECT_EQ(engine.ERead(0, 65536, p), kErrUnexpected);
  line.onWrite = [](ScriptedLine& l, const std::string& w) {
    if (w == "\xE6") l.Queue(Bytes({0xC0}));
    if (w.size() == 8) l.Queue(Bytes({0xC6}));
  };
  EXPECT_EQ(engine.ERead(0, 65536, p), kErrUnexpected);
  line.onWrite = [](ScriptedLine& l, const std::string& w) {
    if (w == "\xE6") l.Queue(Bytes({0xC0}));
    if (w.size() == 8) l.Queue("\xC7" + std::string(1000, 'x'));  // then silence
  };
  EXPECT_EQ(engine.ERead(0, 65536, p), kErrTimeout);
}

// A loader that takes program blocks: 13-byte packet, then the data.
struct ProgramServer {
  std::vector<std::string> packets;
  std::string pending;
  uint32_t expect = 0;
  int badSums = 0;
  void Attach(ScriptedLine& line) {
    line.onWrite = [this](ScriptedLine& l, const std::string& w) {
      if (expect == 0 && w.size() == 13 && w[0] == '\xEA') {
        packets.push_back(w);
        expect = (uint8_t(w[2]) << 16) | (uint8_t(w[3]) << 8) | uint8_t(w[4]);
        pending.clear();
        return;
      }
      pending += w;
      if (expect == 0 || pending.size() < expect) return;
      uint32_t sum = ByteSum(reinterpret_cast<const uint8_t*>(pending.data()), pending.size());
      if (badSums > 0) {
        --badSums;
        sum += 1;
      }
      expect = 0;
      l.Queue("\xCC" + std::string(reinterpret_cast<const char*>(&sum), 4));
    };
  }
};

TEST_F(EEngineTest, ProgramUsesTheChipsSmallBlocks) {
  Connected();
  IdentifyEFlash(engine.FlashInfo, 0xEC, 0xE2);  // KBB05A300: 8 KB blocks in 0 and 128
  ProgramServer server;
  server.Attach(line);
  const std::string data = Filler(65536, 5);
  const auto* p = reinterpret_cast<const uint8_t*>(data.data());
  ASSERT_EQ(engine.EProgram(0, 65536, p), kOk);
  ASSERT_EQ(server.packets.size(), 8u);
  EXPECT_EQ(Hex(server.packets[0]), "EA 00 00 20 00 02 00 00 00 00 00 20 00");
  EXPECT_EQ(Hex(server.packets[7]), "EA 00 00 20 00 02 00 E0 00 00 00 20 00");
  EXPECT_TRUE(SawStatus("Flashing at 00E000"));

  server.packets.clear();
  ASSERT_EQ(engine.EProgram(1, 65536, p), kOk);
  ASSERT_EQ(server.packets.size(), 1u);
  EXPECT_EQ(Hex(server.packets[0]), "EA 00 01 00 00 02 01 00 00 00 01 00 00");
}

TEST_F(EEngineTest, UnknownChipProgramsWholeSectors) {
  Connected();
  IdentifyEFlash(engine.FlashInfo, 0xEC, 0xE1);
  ProgramServer server;
  server.Attach(line);
  const std::string data = Filler(65536, 5);
  ASSERT_EQ(engine.EProgram(0, 65536, reinterpret_cast<const uint8_t*>(data.data())), kOk);
  EXPECT_EQ(server.packets.size(), 1u);
}

TEST_F(EEngineTest, ProgramRetriesABlockAndRollsBackItsProgress) {
  Connected();
  IdentifyEFlash(engine.FlashInfo, 0xEC, 0xE2);
  ProgramServer server;
  server.badSums = 3;
  server.Attach(line);
  const std::string data = Filler(65536, 5);
  const auto* p = reinterpret_cast<const uint8_t*>(data.data());
  ASSERT_EQ(engine.EProgram(128, 65536, p), kOk);
  EXPECT_EQ(server.packets.size(), 11u);  // block 0 four times, then seven more
  EXPECT_EQ(std::count(deltas.begin(), deltas.end(), -8192), 3);
  EXPECT_EQ(DeltaSum(), 65536);
  EXPECT_TRUE(SawStatus("CRC error, retry #3 at 800000"));
  EXPECT_TRUE(SawStatus("Flashing at 802000"));  // the prefix is back after a good block

  server.badSums = 4;
  EXPECT_EQ(engine.EProgram(128, 65536, p), kErrCrc);
}

TEST_F(EEngineTest, ProgramNeverReadsPastTheCallersLength) {
  Connected();
  IdentifyEFlash(engine.FlashInfo, 0xEC, 0xE2);
  ProgramServer server;
  server.Attach(line);
  const std::string data = Filler(10000, 5);  // one block and a piece of the next
  ASSERT_EQ(engine.EProgram(0, 10000, reinterpret_cast<const uint8_t*>(data.data())), kOk);
  ASSERT_EQ(server.packets.size(), 2u);
  EXPECT_EQ(Hex(server.packets[1]), "EA 00 00 07 10 02 00 20 00 00 00 07 10");
}

TEST_F(EEngineTest, EraseBlocksAndReplies) {
  Connected();
  IdentifyEFlash(engine.FlashInfo, 0xEC, 0xE2);
  std::vector<std::string> packets;
  line.onWrite = [&packets](ScriptedLine& l, const std::string& w) {
    packets.push_back(w);
    l.Queue(Bytes({0xC0, 0xC5, 0xF6}));
  };
  ASSERT_EQ(engine.EErase(0x80, 65536), kOk);
  ASSERT_EQ(packets.size(), 8u);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(Hex(packets[i]),
              "E4 01 00 00 20 00 02 80 " + Hex(std::string(1, char(i * 0x20))) + " 00");
  EXPECT_EQ(deltas, (std::vector<int32_t>{0, 8192, 8192, 8192, 8192, 8192, 8192, 8192, 8192}));
  EXPECT_EQ(statuses.front(), "Erasing at 800000, timeout in: 3");

  line.onWrite = [](ScriptedLine& l, const std::string&) { l.Queue(Bytes({0xC0, 0xC5, 0xF7})); };
  EXPECT_EQ(engine.EErase(1, 65536), kErrUnexpected);
  line.onWrite = nullptr;
  EXPECT_EQ(engine.EErase(1, 65536), kErrTimeout);
}

}  // namespace
}  // namespace brantle
