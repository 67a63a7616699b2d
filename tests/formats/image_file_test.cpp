#include "formats/image_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "files/file_access.h"
#include "formats/formats_helpers.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::RecordingUi;
using test::TempDir;

size_t EntriesIn(const std::string& folder) {
  size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++n;
  }
  return n;
}

TEST(ImageFileTest, ReadsEveryByteAndAnEmptyFile) {
  TempDir dir;
  const std::string bytes = test::Filler(300000, 1) + std::string("\0\xFF\0", 3);
  dir.Write("fw.bin", bytes);
  dir.Write("empty.cla", "");
  RecordingUi ui;
  std::string image = "stale";
  ASSERT_TRUE(ReadImageFile(ui, dir.File("fw.bin"), "Operation aborted:", image));
  EXPECT_EQ(image, bytes);
  ASSERT_TRUE(ReadImageFile(ui, dir.File("empty.cla"), "Operation aborted:", image));
  EXPECT_TRUE(image.empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ImageFileTest, OpenFailuresAreReportedWithTheContext) {
  TempDir dir;
  ::mkdir(dir.File("folder").c_str(), 0755);
  ::mkfifo(dir.File("pipe").c_str(), 0644);
  // A folder or a FIFO picked by mistake must neither hang nor read as an image.
  // Each is named with what is wrong with it.
  for (const auto& [name, why] :
       {std::pair{"missing.bin", "No such file or directory"}, std::pair{"folder", "is a folder"},
        std::pair{"pipe", "is not a regular file"}}) {
    RecordingUi ui;
    std::string image = "stale";
    EXPECT_FALSE(ReadImageFile(ui, dir.File(name), "Flashing aborted:", image)) << name;
    EXPECT_TRUE(image.empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(ui.messages[0].text, "Flashing aborted: " + dir.File(name) + ": " + std::string(why));
    EXPECT_EQ(ui.idleStates, 1);
  }
}

TEST(ImageFileTest, LimitedReadRefusesALargerFileWithoutShowingAnything) {
  TempDir dir;
  dir.Write("big.bin", std::string(101, 'x'));
  RecordingUi ui;
  std::string image;
  bool tooLarge = false;
  EXPECT_FALSE(ReadImageFileUpTo(ui, dir.File("big.bin"), "ctx", 100, image, tooLarge));
  EXPECT_TRUE(tooLarge);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ReadImageFileUpTo(ui, dir.File("big.bin"), "ctx", 101, image, tooLarge));
  EXPECT_FALSE(tooLarge);
  EXPECT_EQ(image.size(), 101u);
}

TEST(ImageFileTest, WriteReplacesTheTargetAndLeavesNoTemporaryFile) {
  TempDir dir;
  dir.Write("out.bin", std::string(5000, 'o'));
  RecordingUi ui;
  const std::string image = test::Filler(70000, 2);
  ASSERT_TRUE(WriteImageFile(ui, dir.File("out.bin"), image, "Dump aborted:"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("out.bin")), image);
  ASSERT_TRUE(WriteImageFile(ui, dir.File("new.bin"), "", "Dump aborted:"));
  EXPECT_EQ(test::ReadFileBytes(dir.File("new.bin")), "");
  EXPECT_EQ(EntriesIn(dir.path()), 2u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ImageFileTest, ReadOnlyTargetIsNotReplaced) {
  TempDir dir;
  dir.Write("locked.bin", "old contents");
  ASSERT_EQ(::chmod(dir.File("locked.bin").c_str(), 0444), 0);
  RecordingUi ui;
  EXPECT_FALSE(WriteImageFile(ui, dir.File("locked.bin"), "new", "Operation aborted:"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Operation aborted: could not create file");
  EXPECT_EQ(ui.idleStates, 1);
  EXPECT_EQ(test::ReadFileBytes(dir.File("locked.bin")), "old contents");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(ImageFileTest, UncreatableTargetsFail) {
  TempDir dir;
  ::mkdir(dir.File("folder").c_str(), 0755);
  for (const std::string& target :
       {dir.File("no/such/folder.bin"), dir.File("folder"), std::string()}) {
    RecordingUi ui;
    EXPECT_FALSE(WriteImageFile(ui, target, "abc", "Operation aborted:")) << target;
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Operation aborted: could not create file");
  }
}

TEST(ReplacementFileTest, AbandonedOrFailedWriteKeepsTheOldFile) {
  TempDir dir;
  dir.Write("keep.bin", "original");
  {
    ReplacementFile file;
    ASSERT_TRUE(file.Open(dir.File("keep.bin")));
    ASSERT_TRUE(file.Write("partial"));
    // Dropped without Commit, as when an operation stops half way.
  }
  EXPECT_EQ(test::ReadFileBytes(dir.File("keep.bin")), "original");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);

  ReplacementFile file;
  EXPECT_FALSE(file.Write("never opened"));
  EXPECT_FALSE(file.Commit());
}

}  // namespace
}  // namespace brantle
