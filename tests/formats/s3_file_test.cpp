#include "formats/s3_file.h"

#include <gtest/gtest.h>

#include <random>

#include "dif/DIFCore.h"
#include "formats/formats_helpers.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::Nord;
using test::RecordingUi;
using test::TempDir;

// An S1/S2/S3 line built by hand: type digit, address of the type's width, data.
std::string Record(char type, uint32_t address, const std::string& data) {
  const int width = type - '0' + 1;
  std::string bytes;
  for (int i = width - 1; i >= 0; --i) bytes += static_cast<char>(address >> (8 * i));
  bytes += data;
  const unsigned count = static_cast<unsigned>(bytes.size()) + 1;
  unsigned sum = count;
  char text[8];
  std::string line = std::string("S") + type;
  std::snprintf(text, sizeof text, "%02X", count);
  line += text;
  for (unsigned char c : bytes) {
    sum += c;
    std::snprintf(text, sizeof text, "%02X", c);
    line += text;
  }
  std::snprintf(text, sizeof text, "%02X", 0xFF - (sum & 0xFF));
  return line + text;
}

// Kind, address and data of every block.
std::vector<std::tuple<std::string, uint32_t, std::string>> Describe(
    const std::vector<TDIFBlock>& blocks) {
  std::vector<std::tuple<std::string, uint32_t, std::string>> out;
  for (const TDIFBlock& b : blocks)
    out.emplace_back(b.Kind, NORAddress(b), std::string(NORDataBytes(b), NORDataLength(b)));
  return out;
}

TDIFFile DifOf(std::vector<TDIFBlock> blocks) {
  TDIFFile dif;
  dif.Blocks = std::move(blocks);
  return dif;
}

TEST(S3RecordTest, CheckAcceptsHeaderAndEndAndReturnsAddressAndData) {
  std::string bytes;
  EXPECT_TRUE(CheckS3Record(kS3HeaderLine, bytes));
  EXPECT_EQ(bytes, std::string("\0\0HDR", 5));
  EXPECT_TRUE(CheckS3Record(kS3EndLine, bytes));
  EXPECT_EQ(bytes, std::string(4, '\0'));
  EXPECT_TRUE(CheckS3Record("S1040010FFEC", bytes));
  EXPECT_EQ(bytes, std::string("\x00\x10\xFF", 3));
  EXPECT_TRUE(CheckS3Record("s1040010ffec", bytes)) << "digits of either case";
}

TEST(S3RecordTest, CheckRejectsMalformedLines) {
  std::string bytes = "stale";
  for (const char* line : {
           "",                // empty
           "S104001",         // odd length
           "S1000",           // too short
           "S1040010FFED",    // checksum off by one
           "S1050010FFEC",    // count does not match the length
           "S1040010FFEC00",  // longer than the count says
           "S1040010ZZEC",    // non-hex pair that would read as 0xFF
           "S1040010FFE ",    // blank inside the checksum
           "S1G40010FFEC",    // non-hex count
       }) {
    EXPECT_FALSE(CheckS3Record(line, bytes)) << line;
    EXPECT_TRUE(bytes.empty());
  }
}

TEST(S3RecordTest, BuildMatchesHandComputedLines) {
  EXPECT_EQ(BuildS3Record(0x18, "\x01\x02\x03\x04\x05\x06\x07\x08", 8),
            "S30D000000180102030405060708B6");
  EXPECT_EQ(BuildS3Record(0xFFFFFFF0, "\xFF", 1), "S306FFFFFFF0FF0D");
  EXPECT_EQ(BuildS3Record(0, "", 0), "S30500000000FA");
}

TEST(S3WriterTest, SplitsBlocksAtSixteenByteWindows) {
  std::string data;
  for (int i = 1; i <= 40; ++i) data += static_cast<char>(i);
  const TDIFFile dif = DifOf({Nord(0x18, data)});
  EXPECT_EQ(S3Text(dif),
            "S00600004844521B\r\n"
            "S30D000000180102030405060708B6\r\n"
            "S31500000020090A0B0C0D0E0F101112131415161718C2\r\n"
            "S31500000030191A1B1C1D1E1F202122232425262728B2\r\n"
            "S70500000000FA\r\n");
}

TEST(S3WriterTest, IgnoresEveryKindButNorData) {
  TDIFFile dif = DifOf({test::TfsBlock("/a", "xyz"), test::Block("nOrR", test::Le32(0) + "q"),
                        test::Block("dIFC", "{\\rtf1}"), test::Block("xyZw", "?")});
  EXPECT_EQ(S3Text(dif), "S00600004844521B\r\nS70500000000FA\r\n");
  RecordingUi ui;
  TempDir dir;
  ASSERT_TRUE(WriteS3File(ui, dif, dir.File("out.s3"), "Operation aborted:"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("out.s3")), "S00600004844521B\r\nS70500000000FA\r\n");
  EXPECT_EQ(ui.progressMax, 3);
  EXPECT_EQ(ui.position, 3);
  EXPECT_EQ(ui.statuses, std::vector<std::string>{"Processing S3 file"});
}

TEST(S3WriterTest, DataNeverRunsPastTheAddressSpace) {
  // A block built in memory may claim bytes beyond 0xFFFFFFFF; records cannot say so.
  const TDIFFile dif = DifOf({Nord(0xFFFFFFFE, "abcd")});
  EXPECT_EQ(S3Text(dif), std::string("S00600004844521B\r\n") + BuildS3Record(0xFFFFFFFE, "ab", 2) +
                             "\r\nS70500000000FA\r\n");
}

TEST(S3ParseTest, DataRecordsOfAllThreeWidths) {
  std::vector<TDIFBlock> blocks;
  const std::string text = std::string("S1040010FFEC\n") + Record('2', 0x123456, "abc") + "\n" +
                           Record('3', 0x89ABCDEF, "Z") + "\n";
  ASSERT_EQ(ParseS3Text(text, blocks), kS3AllLinesValid);
  const auto expected = decltype(Describe(blocks)){
      {"NORD", 0x10, "\xFF"}, {"NORD", 0x123456, "abc"}, {"NORD", 0x89ABCDEF, "Z"}};
  EXPECT_EQ(Describe(blocks), expected);
  EXPECT_FALSE(blocks[0].Optional);
  EXPECT_TRUE(blocks[0].KeepUnknown);
}

TEST(S3ParseTest, ContiguousRecordsJoinIntoOneBlock) {
  std::vector<TDIFBlock> blocks;
  const std::string text = Record('3', 0x100, "0123") + "\n" + Record('1', 0x104, "4567") + "\n" +
                           "S5030001FB\n" + Record('2', 0x108, "89") + "\n" +
                           Record('3', 0x10B, "gap") + "\n" + Record('3', 0x100, "over") + "\n";
  ASSERT_EQ(ParseS3Text(text, blocks), kS3AllLinesValid);
  const auto expected = decltype(Describe(blocks)){
      {"NORD", 0x100, "0123456789"}, {"NORD", 0x10B, "gap"}, {"NORD", 0x100, "over"}};
  EXPECT_EQ(Describe(blocks), expected);
}

TEST(S3ParseTest, SkippedTypesAndEmptyFiles) {
  std::vector<TDIFBlock> blocks;
  EXPECT_EQ(ParseS3Text("S00600004844521B\r\nS70500000000FA\r\n", blocks), kS3AllLinesValid);
  EXPECT_TRUE(blocks.empty());
  EXPECT_EQ(ParseS3Text("", blocks), kS3AllLinesValid);
  // Skipped records are not checked, whatever they hold.
  EXPECT_EQ(ParseS3Text("S0 anything\nS5\nS6\nS7??\nS8\nS9 trailing text", blocks),
            kS3AllLinesValid);
  // Record counts of 16 and 24 bits, as tools write them after the data.
  EXPECT_EQ(ParseS3Text(Record('3', 0, "k") + "\nS5030001FB\nS604000001FA\n", blocks),
            kS3AllLinesValid);
  ASSERT_EQ(blocks.size(), 1u);
  const std::string longHeader = "S0" + std::string(3000000, 'x') + "\n" + Record('1', 2, "k");
  EXPECT_EQ(ParseS3Text(longHeader, blocks), kS3AllLinesValid);
  ASSERT_EQ(blocks.size(), 1u);
}

TEST(S3ParseTest, FirstInvalidLineIsReportedAndNoDataKept) {
  const std::string good = Record('3', 0, "data");
  struct Case {
    std::string text;
    size_t line;
  };
  const Case cases[] = {
      {"S00600004844521B\n" + good + "\nS1040010FFED\n" + good, 2},  // checksum off by one
      {good + "\n\n" + good, 1},                                     // empty line
      {good + "\r\r\n" + good, 1},   // CR then CR LF: an empty line between
      {good + "\nX1040010FFEC", 1},  // not an S record
      {good + "\nS4040010FFEB", 1},  // S4 is refused
      {good + "\nSX040010FFEB", 1},  // non-digit type
      {"S", 0},                      // no type at all
      {"S1030010EC", 0},             // address but no data
      {"S2040010FFEC", 0},           // S2 needs 3 address bytes and one data byte
      {"S1040010ZZEC", 0},           // non-hex pair
      {good + "\n" + good + "\n" + Record('3', 0xFFFFFFFF, "ab"), 2},  // passes 4 GiB
      {good + "\nS3" + std::string(5000000, '0'), 1},                  // far too long for a record
  };
  for (const Case& c : cases) {
    std::vector<TDIFBlock> blocks;
    EXPECT_EQ(ParseS3Text(c.text, blocks), c.line) << c.text.substr(0, 80);
    EXPECT_TRUE(blocks.empty());
  }
  std::vector<TDIFBlock> blocks;
  EXPECT_EQ(ParseS3Text(Record('3', 0xFFFFFFFF, "a"), blocks), kS3AllLinesValid)
      << "the last byte of the address space is addressable";
}

TEST(S3ParseTest, PiecesOfAnySizeGiveTheSameResult) {
  std::string text = "S00600004844521B\r\n";
  for (uint32_t i = 0; i < 40; ++i) {
    const char* breaks[] = {"\r\n", "\n", "\r"};
    text +=
        Record(static_cast<char>('1' + i % 3), i * 7, test::Filler(1 + i % 16, i)) + breaks[i % 3];
  }
  const std::string invalid = text + "S1040010FFED\r\n" + Record('1', 3, "x");
  for (const std::string& whole : {text, text + "S70500000000FA", invalid}) {
    std::vector<TDIFBlock> expected;
    const size_t expectedLine = ParseS3Text(whole, expected);
    for (size_t piece : {1, 2, 3, 5, 17, 64}) {
      S3Reader reader;
      for (size_t at = 0; at < whole.size(); at += piece) {
        if (!reader.Feed(whole.data() + at, std::min(piece, whole.size() - at))) break;
      }
      reader.Finish();
      EXPECT_EQ(reader.InvalidLine(), expectedLine) << piece;
      EXPECT_EQ(Describe(reader.TakeBlocks()), Describe(expected)) << piece;
      if (expectedLine == kS3AllLinesValid) {
        EXPECT_EQ(reader.LineCount(), CountS3Lines(whole));
      }
    }
  }
  EXPECT_EQ(CountS3Lines(""), 0u);
  EXPECT_EQ(CountS3Lines("a\r\nb\rc\n"), 3u);
  EXPECT_EQ(CountS3Lines("a\n\rb"), 3u);
}

TEST(S3RoundTripTest, WrittenTextReadsBackToTheSameOptimisedBlocks) {
  std::mt19937 random(7);
  for (int round = 0; round < 30; ++round) {
    TDIFFile original;
    const int count = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < count; ++i) {
      const uint32_t address = random() % 600;
      original.Blocks.push_back(Nord(address, test::Filler(1 + random() % 90, random())));
    }
    original.Blocks.push_back(Nord(0xFFFFFF00u + random() % 0xF0, "tail"));
    std::vector<TDIFBlock> blocks;
    ASSERT_EQ(ParseS3Text(S3Text(original), blocks), kS3AllLinesValid);
    TDIFFile read = DifOf(std::move(blocks));
    OptimizeDIF(original);
    OptimizeDIF(read);
    EXPECT_EQ(Describe(read.Blocks), Describe(original.Blocks)) << round;
  }
}

// Keeps every progress call in order, which the recording Ui folds into its state.
class ProgressLog : public Ui {
 public:
  Answer Message(MessageKind, const std::string& text, Buttons) override {
    calls.push_back("message " + text);
    return Answer::Ok;
  }
  void SetProgressRange(int64_t min, int64_t max) override {
    calls.push_back("range " + std::to_string(min) + ".." + std::to_string(max));
  }
  void SetProgressPosition(int64_t position) override {
    calls.push_back("position " + std::to_string(position));
  }
  void StepProgress(int64_t delta) override { calls.push_back("step " + std::to_string(delta)); }
  void SetStatus(const std::string& text) override { calls.push_back("status " + text); }
  void PumpMessages() override {}
  void ShowIdleState() override { calls.push_back("idle"); }
  bool ChooseDIFs(std::vector<DIFChoice>&) override { return false; }
  std::vector<std::string> calls;
};

TEST(S3FileTest, ReadOptimisesAndShowsProgressPerThousandLines) {
  TempDir dir;
  std::string text;
  for (uint32_t i = 0; i < 3000; ++i) text += Record('3', i * 16, std::string(16, 'a')) + "\n";
  text += Record('3', 8, "later") + "\n";  // overrides earlier bytes
  dir.Write("in.s3", text);
  ProgressLog ui;
  TDIFFile dif;
  ASSERT_TRUE(ReadS3File(ui, dir.File("in.s3"), "Operation aborted:", dif));
  std::string expected(3000 * 16, 'a');
  expected.replace(8, 5, "later");
  const auto want = decltype(Describe(dif.Blocks)){{"NORD", 0, expected}};
  EXPECT_EQ(Describe(dif.Blocks), want);
  // Reading first; the optimiser and the return to idle follow.
  const std::vector<std::string> reading = {
      "range 0..3001", "position 0",   "status Processing S3 file", "step 1024", "step 1024",
      "step 1024",     "position 3001"};
  ASSERT_GT(ui.calls.size(), reading.size());
  EXPECT_EQ(std::vector<std::string>(ui.calls.begin(), ui.calls.begin() + reading.size()), reading);
  EXPECT_EQ(ui.calls.back(), "idle");
}

TEST(S3FileTest, InvalidLineNamesItsIndexAndLeavesTheContainerAlone) {
  TempDir dir;
  dir.Write("bad.s3", "S00600004844521B\r\n" + Record('3', 0, "abc") + "\r\nS1040010FFED\r\n");
  RecordingUi ui;
  TDIFFile dif;
  dif.Blocks.push_back(test::Block("dIFC", "kept"));
  EXPECT_FALSE(ReadS3File(ui, dir.File("bad.s3"), "Operation aborted:", dif));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(ui.messages[0].text, "Error: invalid S3 file, line 2");
  EXPECT_EQ(ui.idleStates, 1);
  ASSERT_EQ(dif.Blocks.size(), 1u);
  EXPECT_EQ(dif.Blocks[0].Kind, "dIFC");

  RecordingUi missing;
  EXPECT_FALSE(ReadS3File(missing, dir.File("none.s3"), "Operation aborted:", dif));
  ASSERT_EQ(missing.messages.size(), 1u);
  EXPECT_EQ(missing.messages[0].text,
            "Operation aborted: " + dir.File("none.s3") + ": No such file or directory");
}

// ---- against independent S-record tools -------------------------------------------

class S3InteropTest : public ::testing::Test {
 protected:
  std::string Tool(const char* name) {
    std::string path = test::FindTool(name);
    return path;
  }
  // The container read from the file, as one block per optimised region.
  std::vector<std::tuple<std::string, uint32_t, std::string>> ReadBack(const std::string& file) {
    RecordingUi ui;
    TDIFFile dif;
    EXPECT_TRUE(ReadS3File(ui, file, "ctx", dif));
    EXPECT_TRUE(ui.messages.empty()) << (ui.messages.empty() ? "" : ui.messages[0].text);
    return Describe(dif.Blocks);
  }
  TempDir dir;
};

TEST_F(S3InteropTest, FilesWrittenBySrecCatReadToTheImage) {
  const std::string srecCat = Tool("srec_cat");
  if (srecCat.empty()) GTEST_SKIP() << "srec_cat is not installed (package srecord)";
  const std::string image = test::Filler(70001, 11);
  dir.Write("fw.bin", image);
  const std::string small = image.substr(0, 5000);
  dir.Write("small.bin", small);
  struct Case {
    std::string args;
    uint32_t address;
    const std::string* bytes;
  };
  const Case cases[] = {
      {"small.bin -binary -offset 0x123 -o out.s19 -motorola -address-length=2", 0x123, &small},
      {"fw.bin -binary -offset 0x12345 -o out.s28 -motorola -address-length=3 -obs=37", 0x12345,
       &image},
      {"fw.bin -binary -offset 0x1000000 -o out.s37 -motorola -address-length=4", 0x1000000,
       &image},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(test::RunQuietly("cd " + dir.path() + " && " + srecCat + " " + c.args)) << c.args;
    const std::string out = dir.File(c.args.substr(c.args.find("-o ") + 3, 7));
    const auto want = decltype(ReadBack(out)){{"NORD", c.address, *c.bytes}};
    EXPECT_EQ(ReadBack(out), want) << c.args;
  }
}

TEST_F(S3InteropTest, FilesWrittenByObjcopyReadToTheImage) {
  const std::string objcopy = Tool("objcopy");
  if (objcopy.empty()) GTEST_SKIP() << "objcopy is not installed (package binutils)";
  const std::string image = test::Filler(100003, 12);
  dir.Write("fw.bin", image);
  ASSERT_TRUE(test::RunQuietly(objcopy + " -I binary -O srec --srec-forceS3 --srec-len=16 " +
                               "--change-addresses 0x1000 " + dir.File("fw.bin") + " " +
                               dir.File("fw.s3")));
  const auto want = decltype(ReadBack(""))({{"NORD", 0x1000, image}});
  EXPECT_EQ(ReadBack(dir.File("fw.s3")), want);
}

// With their defaults, srec_cat ends a file of more than 65,535 records with an "S6"
// record count and objcopy writes none; both must read to the image they were made of.
TEST_F(S3InteropTest, DefaultOutputOfBothToolsReadsToTheSameImage) {
  const std::string srecCat = Tool("srec_cat");
  const std::string objcopy = Tool("objcopy");
  if (srecCat.empty()) GTEST_SKIP() << "srec_cat is not installed (package srecord)";
  if (objcopy.empty()) GTEST_SKIP() << "objcopy is not installed (package binutils)";
  const std::string image = test::Filler(70000 * 32, 14);  // 70,000 records of srec_cat's 32 bytes
  dir.Write("fw.bin", image);
  ASSERT_TRUE(test::RunQuietly("cd " + dir.path() + " && " + srecCat +
                               " fw.bin -binary -offset 0x1000000 -o cat.s3"));
  ASSERT_TRUE(test::RunQuietly(objcopy + " -I binary -O srec --change-addresses 0x1000000 " +
                               dir.File("fw.bin") + " " + dir.File("objcopy.s3")));
  const std::string catText = test::ReadFileBytes(dir.File("cat.s3"));
  ASSERT_NE(catText.find("\nS6"), std::string::npos) << "srec_cat wrote no S6 record count";
  const auto want = decltype(ReadBack(""))({{"NORD", 0x1000000, image}});
  // Compared whole, but without printing two megabytes when they differ.
  EXPECT_TRUE(ReadBack(dir.File("cat.s3")) == want) << "srec_cat";
  EXPECT_TRUE(ReadBack(dir.File("objcopy.s3")) == want) << "objcopy";
}

TEST_F(S3InteropTest, ObjcopyReadsOurOutputToTheSameBytes) {
  const std::string objcopy = Tool("objcopy");
  if (objcopy.empty()) GTEST_SKIP() << "objcopy is not installed (package binutils)";
  // Starts unaligned, so first and last records are short; objcopy checks every sum.
  const std::string image = test::Filler(65557, 13);
  RecordingUi ui;
  ASSERT_TRUE(WriteS3File(ui, DifOf({Nord(0x17, image)}), dir.File("ours.s3"), "ctx"));
  ASSERT_TRUE(test::RunQuietly(objcopy + " -I srec -O binary " + dir.File("ours.s3") + " " +
                               dir.File("back.bin")));
  EXPECT_EQ(test::ReadFileBytes(dir.File("back.bin")), image);

  // Sparse blocks: objcopy fills the gap, which we fill with 0xFF for comparison.
  const TDIFFile sparse = DifOf({Nord(0x100, "first"), Nord(0x2003, image.substr(0, 999))});
  ASSERT_TRUE(WriteS3File(ui, sparse, dir.File("sparse.s3"), "ctx"));
  ASSERT_TRUE(test::RunQuietly(objcopy + " -I srec -O binary --gap-fill 0xFF " +
                               dir.File("sparse.s3") + " " + dir.File("sparse.bin")));
  std::string expected(0x2003 + 999 - 0x100, '\xFF');
  expected.replace(0, 5, "first");
  expected.replace(0x2003 - 0x100, 999, image.substr(0, 999));
  EXPECT_EQ(test::ReadFileBytes(dir.File("sparse.bin")), expected);
}

}  // namespace
}  // namespace brantle
