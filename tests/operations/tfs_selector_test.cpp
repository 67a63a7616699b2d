// The rules of the dialog that lists files to flash into the phone's file system.

#include "operations/tfs_selector.h"

#include <gtest/gtest.h>

#include <set>

#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

// Files "exist" while they are in the set, so a test can delete one.
class TfsSelectorTest : public ::testing::Test {
 protected:
  TfsSelectorTest() : selector([this](const std::string& p) { return present.count(p) > 0; }) {}
  std::set<std::string> present = {"/pc/a.mid", "/pc/b.mid", "/pc/c.mid", "/pc/d.mid", "/pc/e.mid"};
  TfsSelector selector;
};

TEST_F(TfsSelectorTest, OffersTheStandardFoldersWithTheirSlashSorted) {
  const std::vector<std::string>& folders = selector.Folders();
  ASSERT_EQ(folders.size(), 26u);
  EXPECT_TRUE(std::is_sorted(folders.begin(), folders.end()));
  for (const std::string& f : folders) EXPECT_EQ(f.back(), '/') << f;
  EXPECT_EQ(folders.front(), "/images/");
  EXPECT_NE(std::find(folders.begin(), folders.end(), "/mms/camera/thumb/"), folders.end());
}

// Nothing chosen yet: the folder is the root, and a file chosen with its own name
// proposed can be added as it is.
TEST_F(TfsSelectorTest, TheFolderStartsAtTheRoot) {
  EXPECT_EQ(selector.Folder, "/");
  selector.FilesChosen({"/pc/a.mid"});
  EXPECT_TRUE(selector.AddEnabled());
  selector.Add();
  ASSERT_EQ(selector.Rows().size(), 1u);
  EXPECT_EQ(selector.Rows()[0].TfsName, "/a.mid");
}

TEST_F(TfsSelectorTest, SeveralFilesAreAddedAtOnceIntoTheFolderShown) {
  selector.Folder = " /user/sounds/ ";
  selector.FilesChosen({"/pc/a.mid", "/pc/b.mid", "/pc/c.mid", "/pc/d.mid", "/pc/e.mid"});
  ASSERT_EQ(selector.Rows().size(), 5u);
  EXPECT_EQ(selector.Rows()[2].Source, "/pc/c.mid");
  EXPECT_EQ(selector.Rows()[2].TfsName, "/user/sounds/c.mid");
  EXPECT_TRUE(selector.Source.empty());
  EXPECT_TRUE(selector.FlashEnabled());
}

TEST_F(TfsSelectorTest, OneFileIsProposedAndAddedWithTheNameTyped) {
  selector.FilesChosen({"/pc/a.mid"});
  EXPECT_TRUE(selector.Rows().empty());
  EXPECT_EQ(selector.Source, "/pc/a.mid");
  EXPECT_EQ(selector.Name, "a.mid");
  selector.Name = "  ";
  EXPECT_FALSE(selector.AddEnabled());
  selector.Folder = "/java/";
  selector.Name = " game.jar ";
  EXPECT_TRUE(selector.AddEnabled());
  selector.Add();
  ASSERT_EQ(selector.Rows().size(), 1u);
  EXPECT_EQ(selector.Rows()[0].TfsName, "/java/game.jar");
}

// A name that names no file would give the phone a file without a name.
TEST_F(TfsSelectorTest, OnlyANameThatNamesAFileIsAddedOrPutInARow) {
  for (const char* good : {"/user/a.mid", "a.mid", "/a", "/user/sounds/b c.mid", "/x/.hidden"})
    EXPECT_TRUE(IsTfsFileName(good)) << good;
  for (const char* bad : {"", "/", "/user/", "/user//a.mid", "/user/./a", "/user/../a", "/a/."})
    EXPECT_FALSE(IsTfsFileName(bad)) << bad;

  selector.FilesChosen({"/pc/a.mid"});
  selector.Folder = "/user/";
  selector.Name = "sub/";
  EXPECT_FALSE(selector.AddEnabled());
  selector.Add();
  EXPECT_TRUE(selector.Rows().empty());
  selector.Name = "a.mid";
  selector.Add();
  selector.Select(0);
  selector.Name = "..";
  EXPECT_FALSE(selector.ModifyEnabled());
  selector.Modify();
  EXPECT_EQ(selector.Rows()[0].TfsName, "/user/a.mid");
  EXPECT_TRUE(selector.RemoveEnabled());
}

TEST_F(TfsSelectorTest, SelectModifyAndRemoveWorkOnTheSelectedRow) {
  selector.Folder = "/user/";
  selector.FilesChosen({"/pc/a.mid", "/pc/b.mid"});
  EXPECT_FALSE(selector.ModifyEnabled());
  selector.Select(1);
  EXPECT_EQ(selector.Source, "/pc/b.mid");
  EXPECT_EQ(selector.Folder, "/user/");
  EXPECT_EQ(selector.Name, "b.mid");
  EXPECT_TRUE(selector.RemoveEnabled() && selector.ModifyEnabled());

  selector.Folder = "/wap/sounds/";
  selector.Modify();
  EXPECT_EQ(selector.Rows()[1].TfsName, "/wap/sounds/b.mid");
  selector.Select(0);
  selector.Remove();
  ASSERT_EQ(selector.Rows().size(), 1u);
  EXPECT_EQ(selector.Rows()[0].Source, "/pc/b.mid");
  EXPECT_EQ(selector.Selected(), -1);
  EXPECT_FALSE(selector.RemoveEnabled());
}

TEST_F(TfsSelectorTest, ARowWhoseSourceVanishedGoesAtTheNextChange) {
  selector.Folder = "/sms/";
  selector.FilesChosen({"/pc/a.mid", "/pc/b.mid", "/pc/c.mid"});
  selector.Select(2);
  present.erase("/pc/b.mid");
  EXPECT_EQ(selector.Rows().size(), 3u);  // nothing looks until something changes
  selector.Refresh();
  ASSERT_EQ(selector.Rows().size(), 2u);
  EXPECT_EQ(selector.Rows()[1].Source, "/pc/c.mid");
  EXPECT_EQ(selector.Selected(), 1);  // the selection follows its row
  present.erase("/pc/c.mid");
  selector.Add();
  EXPECT_EQ(selector.Selected(), -1);
  present.erase("/pc/a.mid");
  selector.Select(0);
  EXPECT_FALSE(selector.FlashEnabled());
}

TEST_F(TfsSelectorTest, ClearAsksFirst) {
  test::RecordingUi ui;
  selector.FilesChosen({"/pc/a.mid", "/pc/b.mid"});
  ui.answers = {Answer::No, Answer::Yes};
  selector.Clear(ui);
  EXPECT_EQ(selector.Rows().size(), 2u);
  selector.Clear(ui);
  EXPECT_TRUE(selector.Rows().empty());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Question);
  EXPECT_EQ(ui.messages[0].text, "Are you sure?");
}

TEST(TfsSelectorBrowseTest, TheDialogAllowsManyFilesAndRealFilesAreKept) {
  test::TempDir dir;
  dir.Write("x.bin", "x");
  test::RecordingUi ui;
  Settings settings(dir.File("brntl.ini"));
  OperationFrame frame(ui, settings);
  TfsSelector selector;
  selector.Folder = "/test/";
  ui.fileAnswers.push_back(
      test::RecordingUi::FileAnswer{{dir.File("x.bin"), dir.File("missing.bin")}});
  ASSERT_TRUE(selector.Browse(frame));
  EXPECT_EQ(ui.fileDialogs[0].DialogMode, FileDialog::Mode::OpenMany);
  EXPECT_EQ(ui.fileDialogs[0].Title, "Choose file...");
  ASSERT_EQ(selector.Rows().size(), 1u);
  EXPECT_EQ(selector.Rows()[0].TfsName, "/test/x.bin");
}

}  // namespace
}  // namespace brantle
