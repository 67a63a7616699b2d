// The file-system and NAND commands of the E-family loader against a scripted line.

#include <gtest/gtest.h>

#include "engine/ktze_flasher.h"
#include "engine/result_codes.h"
#include "support/fake_clock.h"
#include "support/scripted_line.h"

namespace brantle {
namespace {

using test::Bytes;
using test::Hex;
using test::ScriptedLine;

class ETfsTest : public ::testing::Test {
 protected:
  ETfsTest() : line(&clock), link(line.Factory(), clock), engine(link) {
    link.OnEngineStatus = [this](const std::string& s) { statuses.push_back(s); };
    link.OnEngineProgress = [this](int32_t d) { deltas.push_back(d); };
  }
  void Family(const std::string& family) {
    ASSERT_EQ(engine.EInitPort("/dev/ttyT", family), kOk);
    line.ClearWritten();
  }
  // Answers each write, in order, with the next reply (an empty reply answers nothing).
  void Replies(std::vector<std::string> replies) {
    auto queue = std::make_shared<std::vector<std::string>>(std::move(replies));
    line.onWrite = [queue](ScriptedLine& l, const std::string&) {
      if (queue->empty()) return;
      l.Queue(queue->front());
      queue->erase(queue->begin());
    };
  }

  test::FakeClock clock;
  ScriptedLine line;
  Link link;
  EEngine engine;
  std::vector<std::string> statuses;
  std::vector<int32_t> deltas;
};

TEST_F(ETfsTest, BeginInBothDialects) {
  Family("E800");
  Replies({"\xCC", "w", "\x18"});
  EXPECT_EQ(engine.ETFSBegin(), kOk);
  EXPECT_EQ(line.Written(), "D\x80\x81TFS3.0_E700_0001");
  Family("S500");
  Replies({"w", "rrr"});
  EXPECT_EQ(engine.ETFSBegin(), kOk);
  EXPECT_EQ(line.Written(), "DTFS3.0_E700_0001");
  Replies({"w", "rrx"});
  EXPECT_EQ(engine.ETFSBegin(), kErrUnexpected);
}

TEST_F(ETfsTest, DirectoriesLoseATrailingSlashButTheRootStays) {
  Family("E330");
  Replies({"\x13", std::string(1, char('a' + 'b')) + "s", "\x13", "/s"});
  ASSERT_EQ(engine.ETFSMakeDirs({"ab/", "/"}), kOk);
  EXPECT_EQ(Hex(line.Written()), "31 00 00 00 02 61 62 31 00 00 00 01 2F");
  EXPECT_EQ(deltas, (std::vector<int32_t>{0, 1, 1}));
  EXPECT_EQ(statuses, (std::vector<std::string>{"Initializing ab", "Initializing /"}));
  Replies({"\x13", std::string("\x00s", 2)});
  EXPECT_EQ(engine.ETFSMakeDirs({"ab"}), kErrCrc);

  Family("E700");
  Replies({"ooo", "sss"});
  ASSERT_EQ(engine.ETFSMakeDirs({"/a/"}), kOk);
  const std::string sent = line.Written();
  ASSERT_EQ(sent.size(), 4u + 512u);
  EXPECT_EQ(Hex(sent.substr(0, 4)), "00 00 00 01");
  EXPECT_EQ(sent.substr(4, 3), std::string("/a\0", 3));
  EXPECT_EQ(sent.substr(7), std::string(509, '\xFF'));
}

TEST_F(ETfsTest, E800FileHeaderAndPieces) {
  Family("E800");
  Replies({"|", "\x7B}", "~\x06\x7F"});
  ASSERT_EQ(engine.ETFSSendFiles({"x"}, {"\x01\x02\x03"}), kOk);
  const auto chunks = line.WriteChunks();
  ASSERT_GE(chunks.size(), 3u);
  EXPECT_EQ(chunks[0], "H");
  EXPECT_EQ(Hex(chunks[1]), "00 00 00 01 78 00 00 00 03");

  // 20000 bytes go in twenty pieces of at most 1024.
  std::vector<std::string> replies = {"|", std::string(1, char('y' + 0x4E + 0x20)) + "}"};
  const std::string big(20000, '\x01');
  for (size_t at = 0; at < big.size(); at += 1024)
    replies.push_back("~" + std::string(1, static_cast<char>(std::min<size_t>(1024, 20000 - at))));
  replies.back() += "\x7F";
  Replies(replies);
  line.ClearWritten();
  ASSERT_EQ(engine.ETFSSendFiles({"y"}, {big}), kOk);
  EXPECT_EQ(line.WriteChunks().size(), 2u + 20u);
  EXPECT_EQ(line.WriteChunks().back().size(), 20000u % 1024u);
}

TEST_F(ETfsTest, E700EmptyFileAndPieces) {
  Family("E700");
  Replies({"", "}}}\x7F\x7F\x7F"});
  ASSERT_EQ(engine.ETFSSendFiles({"e"}, {""}), kOk);
  const std::string sent = line.Written();
  EXPECT_EQ(Hex(sent.substr(0, 5)), "76 00 00 00 01");
  EXPECT_EQ(sent.size(), 5u + 512u + 4u);
  EXPECT_EQ(Hex(sent.substr(5 + 512)), "00 00 00 00");

  line.onWrite = nullptr;
  line.Queue("}}}~~~~~~~~~\x7F\x7F\x7F");  // the replies in the order they are read
  line.ClearWritten();
  ASSERT_EQ(engine.ETFSSendFiles({"big"}, {std::string(20000, 'q')}), kOk);
  // WriteBlock pieces of 1024 within each of the three parts: 8192, 8192, 3616.
  size_t total = 0;
  for (const auto& c : line.WriteChunks()) total += c.size();
  EXPECT_EQ(total, 5u + 516u + 20000u);
  EXPECT_EQ(std::count(deltas.begin(), deltas.end(), 0), 2);
}

TEST_F(ETfsTest, MismatchedListsSendNothing) {
  Family("E800");
  EXPECT_EQ(engine.ETFSSendFiles({"a", "b"}, {"x"}), kErrArguments);
  Family("E700");
  EXPECT_EQ(engine.ETFSSendFiles({std::string(512, 'n')}, {"x"}), kErrArguments);
  EXPECT_TRUE(line.Written().empty());
}

TEST_F(ETfsTest, EndAndFormat) {
  Family("E800");
  Replies({"z1234"});
  EXPECT_EQ(engine.ETFSEnd(), kOk);
  Replies({"z12"});
  EXPECT_EQ(engine.ETFSEnd(), kErrTimeout);  // the four bytes must all arrive
  Replies({"WD\x01\x02\x03\x04\x05\x06"});
  EXPECT_EQ(engine.ENANDFormat(), kOk);
  Replies({"WX\x01\x02\x03\x04\x05\x06"});
  EXPECT_EQ(engine.ENANDFormat(), kErrUnexpected);
  // A format may take its time: up to ten seconds.
  const uint64_t t0 = clock.NowMs();
  line.QueueAt(t0 + 9000, "WD123456");
  line.onWrite = nullptr;
  EXPECT_EQ(engine.ENANDFormat(), kOk);
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Formatting NAND, timeout in: 2"),
            statuses.end());
}

// Two sectors with their word sum, optionally wrong the first times.
std::string SectorReply(uint8_t fill, int extra) {
  std::string data;
  uint32_t sum = 0;
  for (int s = 0; s < 2; ++s) {
    data += "D" + std::string(512, static_cast<char>(fill + s));
    sum += 256u * ((uint32_t(fill + s) << 8) | uint8_t(fill + s));
  }
  sum += static_cast<uint32_t>(extra);
  return data + std::string(reinterpret_cast<const char*>(&sum), 4) + "E";
}

TEST_F(ETfsTest, RawReadWithRetries) {
  Family("E700");
  int bad = 3;
  line.onWrite = [&bad](ScriptedLine& l, const std::string& w) {
    if (w == "X") l.Queue("C");
    if (w == "R") l.Queue("R");
    if (w.size() == 4) l.Queue(SectorReply(0x41, bad-- > 0 ? 1 : 0));
  };
  std::string buf(1024, '\0');
  ASSERT_EQ(engine.ENANDRead(300, 2, reinterpret_cast<uint8_t*>(buf.data())), kOk);
  EXPECT_EQ(Hex(line.WriteChunks()[2]), "2C 01 02 00");
  EXPECT_EQ(buf, std::string(512, 'A') + std::string(512, 'B'));
  EXPECT_EQ(std::count(deltas.begin(), deltas.end(), -1024), 3);
  int64_t sum = 0;
  for (int32_t d : deltas) sum += d;
  EXPECT_EQ(sum, 1024);
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Reading NAND block 012D"), statuses.end());
  bad = 4;
  EXPECT_EQ(engine.ENANDRead(300, 2, reinterpret_cast<uint8_t*>(buf.data())), kErrCrc);
}

TEST_F(ETfsTest, NandOpen) {
  Family("E800");
  Replies({"C", "IE"});
  EXPECT_EQ(engine.ENANDOpen(), kOk);
  EXPECT_EQ(line.Written(), "XI");
  Replies({"C", "IX"});
  EXPECT_EQ(engine.ENANDOpen(), kErrUnexpected);
}

}  // namespace
}  // namespace brantle
