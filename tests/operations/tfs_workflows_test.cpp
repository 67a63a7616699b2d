// The file-system operations against the virtual E phone: choosing and flashing a
// TFS/CFG pair, flashing single files, formatting, the live dump into a pair, the raw
// sector dump and the pair decoded from it.

#include "operations/tfs_workflows.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/tfs_pair.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;
using test::ReadFile;
using Files = std::map<std::string, std::string>;

const Files kFiles = {{"/user/sounds/ring.mid", "MThd ring"},
                      {"/images/idle/logo.gif", std::string(3000, 'g')},
                      {"/top.txt", "top"}};

// Writes kFiles into the phone through the file rows, then brings the phone back,
// since writing files ends the connection.
void FlashAndReconnect(PhoneRig& rig) {
  std::vector<TfsUploadRow> rows;
  for (const auto& [path, bytes] : kFiles) {
    const std::string source = rig.dir.File("src" + std::to_string(rows.size()));
    rig.dir.Write("src" + std::to_string(rows.size()), bytes);
    rows.push_back({source, path});
  }
  ASSERT_TRUE(FlashTfsFiles(rig.frame, rig.driver, rows));
  ASSERT_TRUE(rig.driver.TickUntilConnected(10000));
  rig.ui.messages.clear();
}

// The same through a TFS/CFG pair that also holds the empty directory /mms/inbox.
void FlashPairAndReconnect(PhoneRig& rig) {
  TDIFFile dif;
  for (const auto& [path, bytes] : kFiles) dif.SetTFSFile(dif.AddBlock(), path, bytes);
  const std::vector<std::string> dirs = {"/mms/inbox/"};
  ASSERT_TRUE(WriteTfsPair(rig.ui, dif, rig.dir.File("fw.tfs"), &dirs));
  ASSERT_TRUE(FlashTfsPair(rig.frame, rig.driver, rig.dir.File("fw.tfs")));
  ASSERT_TRUE(rig.driver.TickUntilConnected(10000));
  rig.ui.messages.clear();
}

Files PairFiles(PhoneRig& rig, const std::string& tfsName, std::vector<std::string>* dirs) {
  TDIFFile dif;
  EXPECT_TRUE(ReadTfsPair(rig.ui, dif, tfsName, dirs));
  Files files;
  for (const TDIFBlock& block : dif.Blocks) {
    std::string name, bytes;
    TDIFFile::GetTFSFile(block, name, bytes);
    files[name] = bytes;
  }
  return files;
}

TEST(TfsPairChoiceTest, BothFilesMustExist) {
  PhoneRig rig("E700");
  rig.dir.Write("fw.tfs", "data");
  rig.dir.Write("lone.tfs", "data");
  rig.dir.Write("fw.cfg", "TFSVERSION: TFS3.0_E700_0001\r\n");
  TfsPairChoice choice{"stale", "stale"};

  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{rig.dir.File("lone.tfs")}});
  EXPECT_FALSE(ChooseTfsPair(rig.frame, choice));
  EXPECT_EQ(rig.ui.fileDialogs[0].Title, "Choose TFS file...");
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>{"no CFG file found for the TFS file"});
  EXPECT_TRUE(choice.Tfs.empty() && choice.Cfg.empty());
  EXPECT_FALSE(choice.FlashEnabled());

  EXPECT_FALSE(SetTfsPair(rig.ui, rig.dir.File("missing.tfs"), choice));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error).back(),
            rig.dir.File("missing.tfs") + ": No such file or directory");
  // A pair of folders only: its TFS file is empty and whole.
  rig.dir.Write("folders.tfs", "");
  rig.dir.Write("folders.cfg", "TFSVERSION: TFS3.0_E700_0001\r\n");
  ASSERT_TRUE(SetTfsPair(rig.ui, rig.dir.File("folders.tfs"), choice));

  ASSERT_TRUE(SetTfsPair(rig.ui, rig.dir.File("fw.tfs"), choice));
  EXPECT_EQ(choice.Cfg, rig.dir.File("fw.cfg"));
  EXPECT_TRUE(choice.FlashEnabled());
}

TEST(TfsFlashTest, FilesGoIntoThePhoneAndFormatEmptiesIt) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  FlashAndReconnect(rig);
  EXPECT_EQ(rig.ePhone->NandTree().files, kFiles);

  rig.ui.answers = {Answer::No};
  EXPECT_FALSE(FormatNand(rig.frame, rig.driver));
  EXPECT_EQ(rig.ui.messages.size(), 1u);
  EXPECT_EQ(rig.ui.messages[0].text, "Formatting NAND: are you sure?");
  EXPECT_EQ(rig.ePhone->NandTree().files, kFiles);
  EXPECT_TRUE(rig.frame.Connected);

  rig.ui.answers = {Answer::Yes};
  EXPECT_TRUE(FormatNand(rig.frame, rig.driver));
  EXPECT_TRUE(rig.ePhone->NandTree().files.empty());
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Formatting NAND completed. Phone disconnected."});
  EXPECT_FALSE(rig.frame.Connected);
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(TfsFlashTest, AnUnreadableSourceStopsBeforeAnythingIsSent) {
  PhoneRig rig("E800");
  ASSERT_TRUE(rig.Connect());
  rig.dir.Write("a.txt", "a");
  const std::string missing = rig.dir.File("gone.txt");
  EXPECT_FALSE(FlashTfsFiles(rig.frame, rig.driver,
                             {{rig.dir.File("a.txt"), "/a.txt"}, {missing, "/gone.txt"}}));
  EXPECT_EQ(
      rig.ui.Texts(MessageKind::Error),
      std::vector<std::string>{"Error reading file: " + missing + ": No such file or directory"});
  EXPECT_TRUE(rig.ePhone->NandTree().files.empty());
  EXPECT_TRUE(rig.frame.Connected);  // writing files would have ended the connection
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(TfsFlashTest, APairBringsItsFilesAndEmptyDirectories) {
  PhoneRig rig("E330");
  ASSERT_TRUE(rig.Connect());
  FlashPairAndReconnect(rig);
  const sim::TfsTree tree = rig.ePhone->NandTree();
  EXPECT_EQ(tree.files, kFiles);
  EXPECT_TRUE(tree.directories.count("/mms/inbox"));
}

TEST(TfsFlashTest, ARejectedPairFlashesNothing) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.dir.Write("bad.tfs", "data");
  rig.dir.Write("bad.cfg", "TFSVERSION: TFS9\r\n");
  EXPECT_FALSE(FlashTfsPair(rig.frame, rig.driver, rig.dir.File("bad.tfs")));
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Information).empty());
  EXPECT_TRUE(rig.frame.Connected);
}

class TfsDumpTest : public ::testing::TestWithParam<const char*> {};

TEST_P(TfsDumpTest, TheLiveDumpGivesBackWhatWasWritten) {
  PhoneRig rig(GetParam());
  ASSERT_TRUE(rig.Connect());
  FlashPairAndReconnect(rig);
  const std::string pair = rig.dir.File("dump.tfs");
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{pair}});
  ASSERT_TRUE(DumpTfsAsk(rig.frame, rig.driver));
  EXPECT_EQ(rig.ui.fileDialogs.back().Title, "Choose TFS file to write...");
  std::vector<std::string> dirs;
  EXPECT_EQ(PairFiles(rig, pair, &dirs), kFiles);
  EXPECT_NE(std::find(dirs.begin(), dirs.end(), "/mms/inbox"), dirs.end()) << "kept empty";
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"TFS dumping completed."});
  EXPECT_FALSE(rig.frame.Busy);
}

INSTANTIATE_TEST_SUITE_P(Families, TfsDumpTest, ::testing::Values("E700", "E800"));

TEST(TfsDumpFailureTest, AFailedNandReadShowsWhatThePhoneAnsweredFirst) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  FlashAndReconnect(rig);
  rig.ePhone->FailRawReadChecksums(100);
  EXPECT_FALSE(DumpTfs(rig.frame, rig.driver, rig.dir.File("dump.tfs")));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            (std::vector<std::string>{"Operation aborted: unrecoverable CRC error",
                                      "Operation aborted: I/O failure"}));
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("dump.tfs")));
  EXPECT_FALSE(std::filesystem::exists(rig.dir.File("dump.cfg")));
  EXPECT_FALSE(rig.frame.Busy);
}

// Byte counts of the raw read requests, from the engine's progress: each request
// starts with a report of 0.
std::vector<int64_t> RequestBytes(const std::vector<int64_t>& steps) {
  std::vector<int64_t> requests;
  for (int64_t step : steps) {
    if (step == 0)
      requests.push_back(0);
    else if (!requests.empty())
      requests.back() += step;
  }
  return requests;
}

TEST(RawSectorDumpTest, RequestsOfAtMost32SectorsIntoOneFile) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.ui.inputAnswers = {"0", "99"};
  const std::string tfr = rig.dir.File("nand.tfr");
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{tfr}});
  rig.ui.steps.clear();
  ASSERT_TRUE(DumpRawSectorsAsk(rig.frame, rig.driver));
  EXPECT_EQ(rig.ui.inputPrompts,
            (std::vector<std::string>{"Parameters: Enter first sector number [0]",
                                      "Parameters: Enter last sector number [32767]"}));
  EXPECT_EQ(rig.ui.fileDialogs[0].Title, "File");
  EXPECT_EQ(rig.ui.fileDialogs[0].Filter, "TFR files (*.tfr)|*.tfr");
  EXPECT_EQ(RequestBytes(rig.ui.steps), (std::vector<int64_t>{16384, 16384, 16384, 2048}));
  const std::vector<uint8_t> nand = rig.ePhone->NandSectors();
  EXPECT_EQ(ReadFile(tfr), std::string(nand.begin(), nand.begin() + 51200));
  EXPECT_EQ(rig.settings.Folder("Developer"), rig.dir.path() + "/");
}

TEST(RawSectorDumpTest, BadNumbersAreRefusedBeforeAnythingIsSent) {
  struct Case {
    const char* first;
    const char* last;
    const char* error;
  };
  for (const Case& c : {Case{"1e3", "99", "Aborted: '1e3' is not a sector number"},
                        Case{"0", " 99", "Aborted: ' 99' is not a sector number"},
                        Case{"50", "49", "Aborted: the first sector lies after the last"},
                        Case{"0", "32768", "Aborted: the NAND has sectors 0 to 32767"}}) {
    SCOPED_TRACE(c.error);
    PhoneRig rig("E700");
    ASSERT_TRUE(rig.Connect());
    rig.ui.inputAnswers = {std::string(c.first), std::string(c.last)};
    rig.ui.steps.clear();
    EXPECT_FALSE(DumpRawSectorsAsk(rig.frame, rig.driver));
    EXPECT_EQ(rig.ui.Texts(MessageKind::Error), std::vector<std::string>{c.error});
    EXPECT_TRUE(rig.ui.fileDialogs.empty());
    EXPECT_TRUE(rig.ui.steps.empty());
  }
}

TEST(RawSectorDumpTest, AFailedReadIsReportedAndNothingWritten) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.dir.Write("nand.tfr", "old");
  rig.ePhone->FailRawReadChecksums(100);
  EXPECT_FALSE(DumpRawSectors(rig.frame, rig.driver, "0", "99", rig.dir.File("nand.tfr")));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>{"Aborted: unrecoverable CRC error"});
  EXPECT_EQ(ReadFile(rig.dir.File("nand.tfr")), "old");
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(RawSectorDumpTest, ARawDumpDecodesAsTheLiveDump) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  FlashAndReconnect(rig);
  const std::string tfr = rig.dir.File("nand.tfr");
  ASSERT_TRUE(DumpRawSectors(rig.frame, rig.driver, "0", "32767", tfr));
  ASSERT_TRUE(DumpTfs(rig.frame, rig.driver, rig.dir.File("live.tfs")));

  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{tfr}});
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{rig.dir.File("raw.tfs")}});
  ASSERT_TRUE(DumpTfsFromRawAsk(rig.frame));
  EXPECT_EQ(rig.ui.fileDialogs[0].Title, "TFS Raw Dump");
  EXPECT_EQ(ReadFile(rig.dir.File("raw.tfs")), ReadFile(rig.dir.File("live.tfs")));
  EXPECT_EQ(ReadFile(rig.dir.File("raw.cfg")), ReadFile(rig.dir.File("live.cfg")));
  EXPECT_EQ(PairFiles(rig, rig.dir.File("raw.tfs"), nullptr), kFiles);

  EXPECT_FALSE(DumpTfsFromRaw(rig.frame, rig.dir.File("none.tfr"), rig.dir.File("x.tfs")));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error).back(),
            "Aborted: " + rig.dir.File("none.tfr") + ": No such file or directory");
}

}  // namespace
}  // namespace brantle
