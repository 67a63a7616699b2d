#include "formats/tfs_pair.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <cstdlib>

#include "dif/DIFCore.h"
#include "formats/formats_helpers.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::RecordingUi;
using test::TempDir;
using test::TfsBlock;

TDIFFile DifOf(std::vector<TDIFBlock> blocks) {
  TDIFFile dif;
  dif.Blocks = std::move(blocks);
  return dif;
}

std::vector<std::pair<std::string, std::string>> FilesOf(const TDIFFile& dif) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const TDIFBlock& block : dif.Blocks) {
    std::string name, contents;
    TDIFFile::GetTFSFile(block, name, contents);
    files.emplace_back(name, contents);
  }
  return files;
}

// Sets the collation for one test and restores the one before.
class ScopedCollation {
 public:
  explicit ScopedCollation(const char* name) {
    previous_ = std::setlocale(LC_COLLATE, nullptr);
    ok_ = std::setlocale(LC_COLLATE, name) != nullptr;
  }
  ~ScopedCollation() { std::setlocale(LC_COLLATE, previous_.c_str()); }
  bool ok() const { return ok_; }

 private:
  std::string previous_;
  bool ok_ = false;
};

TEST(CfgNameTest, ReplacesOrAddsTheExtension) {
  EXPECT_EQ(CfgNameFor("/d/user.tfs"), "/d/user.cfg");
  EXPECT_EQ(CfgNameFor("/d/user.TFS.bak"), "/d/user.TFS.cfg");
  EXPECT_EQ(CfgNameFor("/d.x/user"), "/d.x/user.cfg");
  EXPECT_EQ(CfgNameFor("user"), "user.cfg");
}

TEST(CfgLineTest, KeysAreUpperCasedAndBlanksStripped) {
  CfgLine line = ParseCfgLine("  file_size:12  ");
  EXPECT_EQ(line.Key, "FILE_SIZE");
  EXPECT_EQ(line.Value, "12");
  line = ParseCfgLine("FILE_SIZE   :   12");
  EXPECT_EQ(line.Key, "FILE_SIZE");
  EXPECT_EQ(line.Value, "12");
  line = ParseCfgLine("File_Name : /My Music/a b.mp3 ");
  EXPECT_EQ(line.Key, "FILE_NAME");
  EXPECT_EQ(line.Value, "/My Music/a b.mp3");
  line = ParseCfgLine("FILE_NAME : /odd:name");
  EXPECT_EQ(line.Value, "/odd:name");
  line = ParseCfgLine("\tDIR_NAME\t:\t/user\t");
  EXPECT_EQ(line.Key, "DIR_NAME");
  EXPECT_EQ(line.Value, "/user");
  line = ParseCfgLine("SET_FILE");
  EXPECT_EQ(line.Key, "");
}

TEST(CfgParseTest, ReadsDirectoriesAndFilesInOrder) {
  const std::string text =
      "tfsversion : tfs3.0_e700_0001\n"
      "NUM_DIR : 99\rMAXFILES : 7\r\n"
      "SET_DIR\n"
      "DIR_NAME : /user\n"
      "dir_name:/user/sounds\n"
      "END_DIR\nSET_FILE\n"
      "FILE_NAME : /user/sounds/ring.mid\n"
      "FILE_SIZE:3\n"
      "WHATEVER : ignored\n"
      "FILE_SIZE : 5\n"  // a size line of its own is ignored
      "FILE_NAME : /boot.ini\n"
      "  file_size   :   0010  \n"
      "END_FILE\nEND_TFS";
  CfgContents contents;
  ASSERT_EQ(ParseCfg(text, contents), CfgError::None);
  EXPECT_EQ(contents.Directories, (std::vector<std::string>{"/user", "/user/sounds"}));
  ASSERT_EQ(contents.Files.size(), 2u);
  EXPECT_EQ(contents.Files[0].Path, "/user/sounds/ring.mid");
  EXPECT_EQ(contents.Files[0].Size, 3u);
  EXPECT_EQ(contents.Files[1].Path, "/boot.ini");
  EXPECT_EQ(contents.Files[1].Size, 10u);
  EXPECT_EQ(contents.TotalSize, 13u);

  // No version line at all is fine.
  ASSERT_EQ(ParseCfg("FILE_NAME : /a\nFILE_SIZE : 1", contents), CfgError::None);
  EXPECT_EQ(contents.Files.size(), 1u);
}

TEST(CfgParseTest, RejectsWhatCannotBeLoaded) {
  struct Case {
    const char* text;
    CfgError error;
  };
  const Case cases[] = {
      {"TFSVERSION : TFS3.0_E700_0002\n", CfgError::Version},
      {"TFSVERSION :\n", CfgError::Version},
      {"FILE_NAME : /a\nFILE_SIZE : 1\nFILE_NAME : /b", CfgError::FileNameWithoutSize},
      {"FILE_NAME : /a\r\n\r\nFILE_SIZE : 1", CfgError::FileNameWithoutSize},
      {"FILE_NAME : /a\nFILE_NAME : /b\nFILE_SIZE : 1\n", CfgError::FileNameWithoutSize},
      {"FILE_NAME : /a\nFILE_SIZE : 0x10\n", CfgError::BadSize},
      {"FILE_NAME : /a\nFILE_SIZE : -1\n", CfgError::BadSize},
      {"FILE_NAME : /a\nFILE_SIZE : 1 2\n", CfgError::BadSize},
      {"FILE_NAME : /a\nFILE_SIZE :\n", CfgError::BadSize},
      {"FILE_NAME : /a\nFILE_SIZE : 99999999999999999999\n", CfgError::BadSize},
  };
  for (const Case& c : cases) {
    CfgContents contents;
    contents.Directories.push_back("stale");
    EXPECT_EQ(ParseCfg(std::string("DIR_NAME : /d\n") + c.text, contents), c.error) << c.text;
    EXPECT_TRUE(contents.Directories.empty());
    EXPECT_TRUE(contents.Files.empty());
  }
}

TEST(CfgWriteTest, ExactTextWithSortedDirectoriesAndNoEmptyFiles) {
  ScopedCollation collation("C");
  const std::vector<std::string> dirs = {"/mms/camera/", "/user/"};
  const TDIFFile dif = DifOf({TfsBlock("/user/sounds/ring.mid", "abc"), TfsBlock("/root.txt", "r"),
                              TfsBlock("/user/empty.dat", ""), TfsBlock("/a/b/c/d.x", "12")});
  EXPECT_EQ(CfgText(dif, &dirs),
            "TFSVERSION : TFS3.0_E700_0001\r\n"
            "NUM_DIR : 7\r\n"
            "MAXFILES : 200\r\n"
            "SET_DIR\r\n"
            "DIR_NAME : /a\r\n"
            "DIR_NAME : /a/b\r\n"
            "DIR_NAME : /mms\r\n"
            "DIR_NAME : /user\r\n"
            "DIR_NAME : /a/b/c\r\n"
            "DIR_NAME : /mms/camera\r\n"
            "DIR_NAME : /user/sounds\r\n"
            "END_DIR\r\n"
            "SET_FILE\r\n"
            "FILE_NAME : /user/sounds/ring.mid\r\n"
            "FILE_SIZE : 3\r\n"
            "FILE_NAME : /root.txt\r\n"
            "FILE_SIZE : 1\r\n"
            "FILE_NAME : /a/b/c/d.x\r\n"
            "FILE_SIZE : 2\r\n"
            "END_FILE\r\n"
            "END_TFS\r\n");
}

TEST(CfgWriteTest, SameFilesGiveTheSameText) {
  ScopedCollation collation("C");
  TDIFFile first =
      DifOf({TfsBlock("/z/one", "1"), TfsBlock("/b/two", "2"), TfsBlock("/b/x/3", "3")});
  TDIFFile second =
      DifOf({TfsBlock("/b/x/3", "3"), TfsBlock("/z/one", "1"), TfsBlock("/b/two", "2")});
  OptimizeDIF(first);
  OptimizeDIF(second);
  const std::vector<std::string> dirsA = {"/q", "/b"};
  const std::vector<std::string> dirsB = {"/b/", "/q"};
  EXPECT_EQ(CfgText(first, &dirsA), CfgText(second, &dirsB));
  EXPECT_EQ(CfgText(DifOf({TfsBlock("/top", "x")}), nullptr).find("DIR_NAME"), std::string::npos);
}

TEST(CfgWriteTest, DirectoryOrderFollowsTheCollationOfTheLocale) {
  const std::vector<std::string> paths = {"/b/f", "/a/f", "/B/f"};
  {
    ScopedCollation collation("C");
    EXPECT_EQ(TfsDirectories(paths, nullptr), (std::vector<std::string>{"/B", "/a", "/b"}));
  }
  // A machine without generated locales can still build one from the locale sources.
  TempDir localeDir;
  const char* oldPath = std::getenv("LOCPATH");
  const std::string savedPath = oldPath ? oldPath : "";
  const bool installed = ScopedCollation("en_US.UTF-8").ok();
  if (!installed && !test::FindTool("localedef").empty() &&
      test::RunQuietly("localedef -i en_US -f UTF-8 " + localeDir.File("en_US.UTF-8")))
    ::setenv("LOCPATH", localeDir.path().c_str(), 1);
  bool ran = false;
  {
    ScopedCollation collation("en_US.UTF-8");
    if (collation.ok()) {
      EXPECT_EQ(TfsDirectories(paths, nullptr), (std::vector<std::string>{"/a", "/b", "/B"}));
      ran = true;
    }
  }
  if (oldPath) {
    ::setenv("LOCPATH", savedPath.c_str(), 1);
  } else {
    ::unsetenv("LOCPATH");
  }
  if (!ran) GTEST_SKIP() << "no en_US.UTF-8 locale and none could be built";
}

TEST(TfsDirectoriesTest, AncestorsOfFilesAndListEntries) {
  ScopedCollation collation("C");
  const std::vector<std::string> list = {"/mms/camera/", "/", "", "/x//y"};
  EXPECT_EQ(
      TfsDirectories({"/user/sounds/ring.mid", "/top", "//double"}, &list),
      (std::vector<std::string>{"/x", "/mms", "/user", "/x//y", "/mms/camera", "/user/sounds"}));
}

TEST(TfsPairTest, RoundTripThroughFiles) {
  ScopedCollation collation("C");
  TempDir dir;
  const std::string big = test::Filler(200000, 4);
  const TDIFFile dif = DifOf({TfsBlock("/user/b.bin", big), TfsBlock("/user/a b.txt", "hello"),
                              TfsBlock("/empty", ""), test::Block("NORD", test::Le32(0) + "n")});
  const std::vector<std::string> dirs = {"/mms/camera"};
  RecordingUi ui;
  ASSERT_TRUE(WriteTfsPair(ui, dif, dir.File("pair.tfs"), &dirs));
  EXPECT_EQ(test::ReadFileBytes(dir.File("pair.tfs")), big + "hello");
  EXPECT_EQ(test::ReadFileBytes(dir.File("pair.cfg")), CfgText(dif, &dirs));

  TDIFFile read;
  std::vector<std::string> readDirs = {"/already"};
  ASSERT_TRUE(ReadTfsPair(ui, read, dir.File("pair.tfs"), &readDirs));
  EXPECT_TRUE(ui.messages.empty());
  const std::vector<std::pair<std::string, std::string>> expected = {{"/user/a b.txt", "hello"},
                                                                     {"/user/b.bin", big}};
  EXPECT_EQ(FilesOf(read), expected);
  EXPECT_EQ(readDirs, (std::vector<std::string>{"/already", "/mms", "/user", "/mms/camera"}));
}

TEST(TfsPairTest, RejectedPairsLoadNothing) {
  TempDir dir;
  dir.Write("d.tfs", "0123456789");
  struct Case {
    const char* cfg;
    const char* message;
  };
  const Case cases[] = {
      {"TFSVERSION : TFS2\r\n", "Error: TFS is incompatible and will not be processed..."},
      {"FILE_NAME : /a\r\nFILE_SIZE : 4\r\nFILE_NAME : /b",
       "Error: TFS is incompatible and will not be processed..."},
      {"FILE_NAME : /a\r\nFILE_SIZE : four\r\n",
       "Error: TFS is incompatible and will not be processed..."},
      // Claims more than the data file holds.
      {"FILE_NAME : /a\r\nFILE_SIZE : 6\r\nFILE_NAME : /b\r\nFILE_SIZE : 5\r\n",
       "Error: TFS is incompatible and will not be processed..."},
      {"FILE_NAME : /a\r\nFILE_SIZE : 18446744073709551615\r\nFILE_NAME : /b\r\nFILE_SIZE : 2\r\n",
       "Error: TFS is incompatible and will not be processed..."},
  };
  for (const Case& c : cases) {
    dir.Write("d.cfg", c.cfg);
    RecordingUi ui;
    TDIFFile dif;
    dif.Blocks.push_back(TfsBlock("/old", "x"));
    std::vector<std::string> dirs;
    EXPECT_FALSE(ReadTfsPair(ui, dif, dir.File("d.tfs"), &dirs)) << c.cfg;
    EXPECT_TRUE(dif.Blocks.empty());
    EXPECT_TRUE(dirs.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(ui.messages[0].text, c.message);
  }
  // Exactly as long as the sizes claim is fine.
  dir.Write("d.cfg", "FILE_NAME : /a\r\nFILE_SIZE : 6\r\nFILE_NAME : /b\r\nFILE_SIZE : 4\r\n");
  RecordingUi ui;
  TDIFFile dif;
  ASSERT_TRUE(ReadTfsPair(ui, dif, dir.File("d.tfs"), nullptr));
  const std::vector<std::pair<std::string, std::string>> expected = {{"/a", "012345"},
                                                                     {"/b", "6789"}};
  EXPECT_EQ(FilesOf(dif), expected);

  RecordingUi missing;
  EXPECT_FALSE(ReadTfsPair(missing, dif, dir.File("none.tfs"), nullptr));
  ASSERT_EQ(missing.messages.size(), 1u);
  EXPECT_EQ(missing.messages[0].text,
            "Operation aborted: " + dir.File("none.tfs") + ": No such file or directory");
}

TEST(TfsPairTest, WriterRefusesWhatWouldNotReadBack) {
  TempDir dir;
  const std::vector<std::string> badDir = {"/ok", "/split\nline"};
  const TDIFFile cases[] = {
      DifOf({TfsBlock("/a\r\nFILE_SIZE : 1", "xyz")}),
      DifOf({TfsBlock(" /lead", "xyz")}),
      DifOf({TfsBlock("/trail ", "xyz")}),
  };
  for (const TDIFFile& dif : cases) {
    RecordingUi ui;
    EXPECT_FALSE(WriteTfsPair(ui, dif, dir.File("w.tfs"), nullptr));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: TFS is incompatible and will not be processed...");
  }
  RecordingUi ui;
  EXPECT_FALSE(WriteTfsPair(ui, DifOf({TfsBlock("/fine", "x")}), dir.File("w.tfs"), &badDir));
  EXPECT_FALSE(test::FileExists(dir.File("w.tfs")));
  EXPECT_FALSE(test::FileExists(dir.File("w.cfg")));
}

TEST(TfsPairTest, WriteFailuresKeepTheOldPair) {
  TempDir dir;
  dir.Write("p.tfs", "old data");
  dir.Write("p.cfg", "old cfg");
  ASSERT_EQ(::chmod(dir.File("p.cfg").c_str(), 0444), 0);
  RecordingUi ui;
  const TDIFFile dif = DifOf({TfsBlock("/f", "new")});
  EXPECT_FALSE(WriteTfsPair(ui, dif, dir.File("p.tfs"), nullptr));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Operation aborted: could not create file");
  EXPECT_EQ(test::ReadFileBytes(dir.File("p.tfs")), "old data");
  EXPECT_EQ(test::ReadFileBytes(dir.File("p.cfg")), "old cfg");

  // A data file named *.cfg would be overwritten by its own CFG.
  RecordingUi same;
  EXPECT_FALSE(WriteTfsPair(same, dif, dir.File("self.cfg"), nullptr));
  EXPECT_EQ(same.messages.at(0).text, "Operation aborted: could not create file");
  EXPECT_FALSE(test::FileExists(dir.File("self.cfg")));
}

}  // namespace
}  // namespace brantle
