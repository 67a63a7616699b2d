// The serial link against a scripted line and a clock the tests drive: deadlines,
// countdown lines, pieces, progress and the receive worker.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/ktze_internals.h"
#include "support/fake_clock.h"
#include "support/scripted_line.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::Bytes;
using test::FakeClock;
using test::ScriptedLine;

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() : line(&clock), link(line.Factory(), clock) {
    link.PortName = "/dev/ttyTEST";
    link.OnEngineStatus = [this](const std::string& s) { statuses.push_back(s); };
    link.OnEngineProgress = [this](int32_t d) { deltas.push_back(d); };
    EXPECT_EQ(link.OpenPort(38400, 2), 0);
  }
  bool HasCountdown() const {
    for (const auto& s : statuses)
      if (s.find("timeout in:") != std::string::npos) return true;
    return false;
  }

  FakeClock clock;
  ScriptedLine line;
  Link link;
  std::vector<std::string> statuses;
  std::vector<int32_t> deltas;
};

TEST_F(LinkTest, OpenSetsTheLineAndDropsWhatWasQueued) {
  EXPECT_EQ(line.Events(), (std::vector<std::string>{"open /dev/ttyTEST", "line 38400 2",
                                                     "clear break", "purge in", "purge out"}));
  ScriptedLine broken;
  broken.failOpen = true;
  Link other(broken.Factory());
  other.PortName = "/dev/nothing";
  EXPECT_EQ(other.OpenPort(115200, 0), -1);
  EXPECT_FALSE(other.IsOpen());
}

TEST_F(LinkTest, ReadByteTriesOnceEvenWithTheShortestTimeout) {
  line.Queue(Bytes({0xBE}));
  uint8_t b = 0;
  EXPECT_TRUE(link.ReadByte(b, kDefaultText, 1));
  EXPECT_EQ(b, 0xBE);
  const int before = line.ReadCalls();
  EXPECT_FALSE(link.ReadByte(b, kDefaultText, 1));
  EXPECT_GE(line.ReadCalls(), before + 1);
}

TEST_F(LinkTest, CountdownOnlyAfterTheFirstSecond) {
  uint8_t b = 0;
  EXPECT_FALSE(link.ReadByte(b, "Turn on the phone", 1000));
  EXPECT_FALSE(HasCountdown());

  EXPECT_FALSE(link.ReadByte(b, kDefaultText, 3000));
  ASSERT_TRUE(HasCountdown());
  EXPECT_EQ(statuses.front(), "Waiting, timeout in: 2");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Waiting, timeout in: 1"), statuses.end());
  for (const auto& s : statuses) EXPECT_EQ(s.rfind("Waiting, timeout in: ", 0), 0u) << s;
}

TEST_F(LinkTest, ReadStringDeadlineRestartsWithEveryPiece) {
  // Six bytes, one every 2.5 s: 15 s in all, each gap inside the 3 s timeout.
  const uint64_t t0 = clock.NowMs();
  for (int i = 0; i < 6; ++i) line.QueueAt(t0 + 2500 * (i + 1), std::string(1, char('a' + i)));
  std::string s;
  EXPECT_TRUE(link.ReadString(s, 6, 3000, "Erasing at 010000"));
  EXPECT_EQ(s, "abcdef");
  EXPECT_GE(clock.NowMs() - t0, 15000u);
  EXPECT_TRUE(HasCountdown());
  EXPECT_EQ(statuses.front().rfind("Erasing at 010000, timeout in: ", 0), 0u);

  // A gap longer than the timeout ends the read.
  line.QueueAt(clock.NowMs() + 3500, "x");
  EXPECT_FALSE(link.ReadString(s, 1, 3000, kDefaultText));
}

TEST_F(LinkTest, WriteBlockGoesInPiecesOfTheQueueSize) {
  link.WriteBlock(nullptr, 0, kDefaultText);
  EXPECT_TRUE(statuses.empty());
  EXPECT_TRUE(deltas.empty());

  std::string data(2500, '\x5A');
  link.WriteBlock(reinterpret_cast<const uint8_t*>(data.data()), data.size(), kDefaultText);
  std::vector<size_t> sizes;
  for (const auto& c : line.WriteChunks()) sizes.push_back(c.size());
  EXPECT_EQ(sizes, (std::vector<size_t>{1024, 1024, 452}));
  EXPECT_EQ(deltas, (std::vector<int32_t>{1024, 1024, 452}));
  EXPECT_EQ(statuses, (std::vector<std::string>(3, "Writing data")));
  EXPECT_EQ(line.Written(), data);
}

TEST_F(LinkTest, ReadBlockReportsProgressUpToTheLength) {
  std::string data(70000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  line.Queue(data);
  std::string buf(data.size(), '\0');
  EXPECT_TRUE(
      link.ReadBlock(reinterpret_cast<uint8_t*>(buf.data()), buf.size(), 3000, kDefaultText));
  EXPECT_EQ(buf, data);
  int64_t sum = 0;
  for (int32_t d : deltas) {
    EXPECT_GT(d, 0);
    sum += d;
  }
  EXPECT_EQ(sum, 70000);
  for (const auto& s : statuses) EXPECT_EQ(s, "Reading data");
}

TEST_F(LinkTest, ReadBlockGivesUpAfterSilenceAndKeepsWhatCame) {
  line.Queue(std::string(1500, '\x11'));
  std::string buf(4096, '\0');
  EXPECT_FALSE(link.ReadBlock(reinterpret_cast<uint8_t*>(buf.data()), buf.size(), 3000, "R"));
  int64_t sum = 0;
  for (int32_t d : deltas) sum += d;
  EXPECT_EQ(sum, 1500);
  EXPECT_EQ(buf.substr(0, 1500), std::string(1500, '\x11'));
  link.ClosePort();  // the worker is gone; the port closes normally
  EXPECT_EQ(line.Events().back(), "close");
}

TEST_F(LinkTest, ReadBlockTrickleSlowerThanTheTimeoutInTotal) {
  const uint64_t t0 = clock.NowMs();
  for (int i = 0; i < 4; ++i) line.QueueAt(t0 + 2000 * (i + 1), std::string(1024, char(i)));
  std::string buf(4096, '\0');
  EXPECT_TRUE(link.ReadBlock(reinterpret_cast<uint8_t*>(buf.data()), buf.size(), 3000, "R"));
  EXPECT_EQ(buf[4095], 3);
}

TEST_F(LinkTest, ClosedLinkReadsNothingAndWritesNothing) {
  link.ClosePort();
  line.ClearWritten();
  link.WriteString("abc");
  uint8_t b;
  EXPECT_FALSE(link.ReadByte(b, kDefaultText, 50));
  EXPECT_TRUE(line.Written().empty());
}

TEST(LinkTrace, EveryByteIsDumpedWithDirection) {
  test::TempDir dir;
  std::string error;
  auto tracer = Tracer::OpenFile(dir.File("trace.txt"), error);
  ASSERT_TRUE(tracer) << error;
  ScriptedLine line;
  line.onWrite = [](ScriptedLine& l, const std::string& w) {
    if (w == "\xE6") l.Queue("\xC0");
  };
  Link link(line.Factory());
  link.SetTrace(tracer);
  link.PortName = "/dev/ttyX";
  ASSERT_EQ(link.OpenPort(806400, 0), 0);
  link.WriteString("\xE6");
  uint8_t b = 0;
  ASSERT_TRUE(link.ReadByte(b, kDefaultText, 100));
  link.ClosePort();
  tracer.reset();

  std::ifstream in(dir.File("trace.txt"));
  std::stringstream all;
  all << in.rdbuf();
  const std::string text = all.str();
  EXPECT_NE(text.find("open /dev/ttyX"), std::string::npos);
  EXPECT_NE(text.find("line 806400 8N1"), std::string::npos);
  EXPECT_NE(text.find("TX 000000  E6"), std::string::npos);
  EXPECT_NE(text.find("RX 000000  C0"), std::string::npos);
  EXPECT_LT(text.find("TX 000000  E6"), text.find("RX 000000  C0"));
}

}  // namespace
}  // namespace brantle
