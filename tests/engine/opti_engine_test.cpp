// The OptiFlash engine against a scripted line: frames, checksums, the boot stage,
// the loader start, speeds, flash parameters and the block rules of programming.

#include <gtest/gtest.h>

#include "engine/ktze_flasher_opti.h"
#include "engine/opti_crc.h"
#include "engine/opti_frames.h"
#include "engine/opti_loader_script.h"
#include "engine/result_codes.h"
#include "support/fake_clock.h"
#include "support/scripted_line.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::Bytes;
using test::Hex;
using test::OptiLoaderScript;
using test::ScriptedLine;

TEST(FrameCRC, KnownValues) {
  EXPECT_EQ(FrameCRC("abc"), 0xCBA7F2E7u);
  EXPECT_EQ(FrameCRC(""), 1u);
}

class OptiEngineTest : public ::testing::Test {
 protected:
  OptiEngineTest() : line(&clock), link(line.Factory(), clock), engine(link) {
    link.OnEngineStatus = [this](const std::string& s) { statuses.push_back(s); };
    link.OnEngineProgress = [this](int32_t d) { deltas.push_back(d); };
    for (const LoaderFile& f : OptiLoaderFiles()) dir.Write(f.name, std::string(f.size, 'L'));
    engine.LoadersFolder = dir.path();
    EXPECT_EQ(engine.OptiOpenPort("/dev/ttyO", 16), kOk);
    line.ClearWritten();
  }
  // One KBB05A300 (8 x 8 KB, then 64 KB blocks) at 0 and a chip of 128 KB blocks at 8 MiB.
  void TwoChips() {
    IdentifyOptiChip(engine.Flash, 0, 0xEC, 0x22E20000, 0);
    IdentifyOptiChip(engine.Flash, 1, 0x89, 0x00160000, 0x800000);
    engine.Flash.MaxWriteChunk = 0x20000;
    engine.Flash.MaxReadChunk = 0x10000;
  }
  bool Saw(const std::string& s) const {
    return std::find(statuses.begin(), statuses.end(), s) != statuses.end();
  }

  test::FakeClock clock;
  test::TempDir dir;
  ScriptedLine line;
  Link link;
  OptiEngine engine;
  std::vector<std::string> statuses;
  std::vector<int32_t> deltas;
};

TEST_F(OptiEngineTest, OpenPortPicksTheModel) {
  EXPECT_EQ(line.Events()[1], "line 115200 0");
  EXPECT_STREQ(engine.Model().name, "X480");
  EXPECT_EQ(engine.LoaderSize(), 19036u);
  ASSERT_EQ(engine.OptiOpenPort("/dev/ttyO", 99), kOk);  // unknown: loader A, C200 words
  EXPECT_STREQ(engine.Model().loader.name, "opti_a.bin");
  EXPECT_EQ(
      Hex(LoaderParams(engine.Model())),
      "02 00 00 00 00 00 00 00 00 00 08 00 00 00 80 00 02 00 08 00 " + Hex(std::string(16, '\0')));
  int type = -1;
  EXPECT_STREQ(OptiModelByName("s30X", &type).loader.name, "opti_b.bin");
  EXPECT_EQ(type, 15);
}

TEST_F(OptiEngineTest, BootPromptAndInfoFrame) {
  EXPECT_EQ(engine.WaitBootPrompt(1, 250), kErrTimeout);
  line.Queue("x!");
  EXPECT_EQ(engine.WaitBootPrompt(1, 250), kOk);

  line.ClearWritten();
  line.Queue(
      "resp"
      "info"
      "+ok+" +
      test::Bytes({3, 0, 0, 0}) + "abc" + LE32(FrameCRC("abc")) + "(hw)");
  EXPECT_EQ(engine.QueryBootInfo(), kOk);
  // An empty payload has no checksum field.
  EXPECT_EQ(line.Written(), "#info" + std::string(4, '\0') + "(pc)");
}

TEST_F(OptiEngineTest, ReplyFieldsAreChecked) {
  std::string payload;
  const std::string big(0x100000, 'z');
  line.Queue(OptiLoaderScript::Reply("SUCK", big));
  EXPECT_EQ(ReceiveLoaderReply(link, "SUCK", payload, kDefaultText, true), kOk);
  EXPECT_EQ(payload.size(), 0x100000u);
  line.Queue("rplySUCK+ok!" + LE32(0x100001));
  EXPECT_EQ(ReceiveLoaderReply(link, "SUCK", payload, kDefaultText, false), kErrUnexpected);
  line.PurgeInput();
  line.Queue("\x01noise\xFFrplyOPEN+ok!" + LE32(0) + "eom.");  // noise before the "r"
  EXPECT_EQ(ReceiveLoaderReply(link, "OPEN", payload, kDefaultText, false), kOk);
  line.Queue("rplyOPEN+ok!" + LE32(0) + "eom.");
  EXPECT_EQ(ReceiveLoaderReply(link, "CLOS", payload, kDefaultText, false), kErrUnexpected);
  line.PurgeInput();
  line.Queue("rplyOPEN+no!");
  EXPECT_EQ(ReceiveLoaderReply(link, "OPEN", payload, kDefaultText, false), kErrUnexpected);
  line.PurgeInput();
  line.Queue(OptiLoaderScript::Reply("SUCK", "data", true));
  EXPECT_EQ(ReceiveLoaderReply(link, "SUCK", payload, kDefaultText, false), kErrCrc);
  line.Queue("rplyOPEN+ok!" + LE32(0) + "EOM.");
  EXPECT_EQ(ReceiveLoaderReply(link, "OPEN", payload, kDefaultText, false), kErrUnexpected);
}

TEST_F(OptiEngineTest, SyncSkipsNoiseAndTimesOutOnSilence) {
  line.onWrite = [](ScriptedLine& l, const std::string& w) {
    if (w == "SYNC") l.Queue("x\x02sabcsyn!");
  };
  EXPECT_EQ(engine.SyncLoader(), kOk);
  EXPECT_EQ(line.Written(), "SYNC");
  line.onWrite = nullptr;
  const uint64_t t0 = clock.NowMs();
  EXPECT_EQ(engine.SyncLoader(), kErrTimeout);
  EXPECT_GE(clock.NowMs() - t0, 3000u);
  // A line that babbles without end is given up on as well.
  for (uint64_t t = 0; t < 20000; t += 5) line.QueueAt(t0 + t, "x");
  EXPECT_EQ(engine.SyncLoader(), kErrTimeout);
}

// The information block of one KBB05A300 at 0 and the given speeds.
std::string InfoBlock(std::vector<uint32_t> bauds) {
  std::string info(96, '\0');
  info.replace(4, 4, LE32(1));
  info.replace(8, 4, LE32(0xEC << 16));
  info.replace(12, 4, LE32(0x22E20000));
  info.replace(88, 4, LE32(0x10000));
  info.replace(92, 4, LE32(0x8000));
  for (uint32_t b : bauds) info += LE32(b);
  return info + LE32(0);
}

TEST_F(OptiEngineTest, UploadStartsTheLoaderAndReadsTheFlash) {
  OptiLoaderScript phone(line, true);
  phone.replyPayload = [](const test::SeenFrame& f) {
    return f.command == "INFO" ? InfoBlock({115200, 921600}) : std::string();
  };
  ASSERT_EQ(engine.UploadLoader(), kOk);
  // 19036 bytes in pieces of 2048: nine full ones and 604 bytes, each with its offset.
  std::vector<std::string> data;
  for (const auto& f : phone.frames)
    if (f.command == "data") data.push_back(f.payload);
  ASSERT_EQ(data.size(), 10u);
  EXPECT_EQ(Hex(data[1].substr(0, 8)), "00 08 00 00 00 08 00 00");
  EXPECT_EQ(Hex(data[9].substr(0, 8)), "00 48 00 00 5C 02 00 00");
  const auto commands = phone.Commands();
  EXPECT_EQ(std::vector<std::string>(commands.end() - 3, commands.end()),
            (std::vector<std::string>{"done", "SYNC", "INFO"}));
  EXPECT_EQ(phone.frames.back().payload, LoaderParams(OptiModelByName("X480")));
  EXPECT_EQ(engine.Flash.chips[0].ModelName, "KBB05A300");
  EXPECT_EQ(engine.Flash.BaudList, (std::vector<uint32_t>{115200, 921600}));
  EXPECT_EQ(deltas.front(), 0);
  EXPECT_TRUE(Saw("Sending loader"));
  // The progress ends where its phase was sized to end, not beyond.
  int64_t counted = 0;
  for (int32_t d : deltas) counted += d;
  EXPECT_EQ(counted, engine.LoaderUploadBytes());
  EXPECT_EQ(engine.LoaderUploadBytes(), 19036u + 10 * 8);
}

TEST_F(OptiEngineTest, MissingLoaderSendsNothing) {
  std::remove(dir.File("opti_x480.bin").c_str());
  EXPECT_EQ(engine.UploadLoader(), kErrLoader);
  EXPECT_NE(engine.LoaderError().find("opti_x480.bin not found (expected 19036 bytes)"),
            std::string::npos);
  EXPECT_TRUE(line.Written().empty());
}

TEST_F(OptiEngineTest, SpeedSwitch) {
  OptiLoaderScript phone(line);
  ParseOptiInfo(engine.Flash, InfoBlock({115200, 921600}));
  ASSERT_EQ(engine.SetLoaderSpeed(921600), kOk);
  EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"SYNC", "BAUD", "SYNC"}));
  EXPECT_EQ(Hex(phone.frames[1].payload), "01 00 00 00 00 10 0E 00");
  EXPECT_NE(std::find(line.Events().begin(), line.Events().end(), "line 921600 0"),
            line.Events().end());

  // A speed the loader did not offer ends the connection instead.
  phone.frames.clear();
  EXPECT_EQ(engine.SetLoaderSpeed(460800), kErrSpeed);
  EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"SYNC", "DONE"}));
  EXPECT_EQ(line.Written().back(), 'o');
}

TEST_F(OptiEngineTest, FlashParametersName36Bytes) {
  OptiLoaderScript phone(line);
  TwoChips();
  ASSERT_EQ(engine.SetFlashParameters(), kOk);
  ASSERT_EQ(phone.frames.size(), 1u);
  EXPECT_EQ(Hex(phone.frames[0].payload),
            "01 00 00 00 "
            "00 00 E2 22 00 00 01 EC "  // KBB05A300: AMD commands, unlock bypass
            "00 00 16 00 00 01 00 89 "  // 28F320J3A: Intel commands, page buffer 32 = 0
            "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
}

TEST_F(OptiEngineTest, OpenAndProgramPayloads) {
  OptiLoaderScript phone(line);
  TwoChips();
  const std::string data = "\x10\x20\x30";
  ASSERT_EQ(engine.WriteNOR(0x10005, 3, reinterpret_cast<const uint8_t*>(data.data())), kOk);
  ASSERT_EQ(phone.Commands(), (std::vector<std::string>{"OPEN", "TXDT"}));
  // Block 8 of chip 0 (after eight 8 KB blocks) starts at 0x10000, 64 KB, opened in part.
  EXPECT_EQ(Hex(phone.frames[0].payload),
            "08 00 00 00 00 00 01 00 00 00 01 00 13 00 00 00 FF 00 00 00");
  std::string txdt(48, '\0');
  txdt.replace(0, 4, LE32(0x10005));
  txdt.replace(4, 4, LE32(3));
  txdt[8] = txdt[12] = txdt[16] = 1;
  txdt.replace(24, 4, LE32(3));
  txdt.replace(28, 4, LE32(FrameCRC(data)));
  EXPECT_EQ(phone.frames[1].payload, txdt);
  EXPECT_EQ(phone.frames[1].data, data);
  EXPECT_TRUE(Saw("Flashing at 010005"));
}

TEST_F(OptiEngineTest, WriteAcrossABlockBoundaryClosesAndReopens) {
  OptiLoaderScript phone(line);
  TwoChips();
  const std::string data(0x3000, '\x5A');  // 0x1000 bytes before 0x2000, 0x2000 after
  ASSERT_EQ(engine.WriteNOR(0x1000, 0x3000, reinterpret_cast<const uint8_t*>(data.data())), kOk);
  ASSERT_EQ(phone.Commands(), (std::vector<std::string>{"OPEN", "TXDT", "CLOS", "OPEN", "TXDT"}));
  EXPECT_EQ(ReadLE32(phone.frames[1].payload, 4), 0x1000u);  // ends at the boundary
  EXPECT_EQ(Hex(phone.frames[2].payload), "00 00 00 00");
  EXPECT_EQ(ReadLE32(phone.frames[3].payload, 4), 0x2000u);  // block 1 starts there
  EXPECT_EQ(phone.frames[3].payload[12], 0x11);              // written whole
  EXPECT_EQ(ReadLE32(phone.frames[4].payload, 0), 0x2000u);
}

TEST_F(OptiEngineTest, OpenModes) {
  OptiLoaderScript phone(line);
  TwoChips();
  const std::string block(0x10000, '\x01');
  const auto* p = reinterpret_cast<const uint8_t*>(block.data());
  ASSERT_EQ(engine.WriteNOR(0x20000, 0x10000, p), kOk);  // the whole block
  EXPECT_EQ(phone.frames[0].payload[12], 0x11);
  ASSERT_EQ(engine.WriteNOR(0x20010, 1, p), kOk);  // now a part: opened again, not closed
  ASSERT_EQ(engine.WriteNOR(0x20020, 1, p), kOk);  // already open for parts
  EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"OPEN", "TXDT", "OPEN", "TXDT", "TXDT"}));
  EXPECT_EQ(phone.frames[2].payload[12], 0x13);

  // 128 KB blocks: a write in the second 64 KB opens the block by its own start.
  phone.frames.clear();
  ASSERT_EQ(engine.WriteNOR(0x830000, 1, p), kOk);
  EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"CLOS", "OPEN", "TXDT"}));
  EXPECT_EQ(Hex(phone.frames[1].payload.substr(0, 12)), "01 00 01 00 00 00 82 00 00 00 02 00");

  // A read closes the open block first.
  phone.frames.clear();
  phone.replyPayload = [](const test::SeenFrame& f) {
    return f.command == "SUCK" ? std::string(ReadLE32(f.payload, 4), 'r') : std::string();
  };
  std::string buf(16, '\0');
  ASSERT_EQ(engine.ReadNOR(0x100, 16, reinterpret_cast<uint8_t*>(buf.data())), kOk);
  EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"CLOS", "SUCK"}));
  EXPECT_FALSE(engine.BlockOpen);
}

TEST_F(OptiEngineTest, ReadRetriesChecksumErrorsInPlace) {
  OptiLoaderScript phone(line);
  TwoChips();
  phone.replyPayload = [](const test::SeenFrame& f) {
    return std::string(ReadLE32(f.payload, 4), static_cast<char>(ReadLE32(f.payload, 0) >> 16));
  };
  phone.badSuckChecksums = 2;
  std::string buf(0x18000, '\0');
  ASSERT_EQ(engine.ReadNOR(0x10000, 0x18000, reinterpret_cast<uint8_t*>(buf.data())), kOk);
  EXPECT_EQ(buf[0], 1);
  EXPECT_EQ(buf[0x10000], 2);
  EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"SUCK", "SUCK", "SUCK", "SUCK"}));
  int64_t sum = 0;
  for (int32_t d : deltas) sum += d;
  EXPECT_EQ(sum, 0x18000);
  EXPECT_EQ(std::count(deltas.begin(), deltas.end(), -0x10000), 2);
  EXPECT_TRUE(Saw("CRC error, retry #2 at 010000"));

  phone.badSuckChecksums = 4;
  EXPECT_EQ(engine.ReadNOR(0x10000, 0x100, reinterpret_cast<uint8_t*>(buf.data())), kErrCrc);
}

TEST_F(OptiEngineTest, AnAddressWithoutFlashSendsNothing) {
  OptiLoaderScript phone(line);
  TwoChips();
  ResetOptiFlash(engine.Flash);
  IdentifyOptiChip(engine.Flash, 0, 0x89, 0x00160000, 0x800000);  // nothing below 8 MiB
  engine.Flash.MaxWriteChunk = 0x20000;
  const uint8_t byte = 0;
  EXPECT_EQ(engine.WriteNOR(0x10000, 1, &byte), kErrAddress);
  EXPECT_EQ(engine.WriteNOR(0xC00000, 1, &byte), kErrAddress);  // past the last chip
  EXPECT_TRUE(phone.frames.empty());
  EXPECT_TRUE(line.Written().empty());
}

}  // namespace
}  // namespace brantle
