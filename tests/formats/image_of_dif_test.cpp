// Streaming a DIF's data into a flat file gives exactly the image that applying the
// DIF to an empty image gives.

#include <gtest/gtest.h>

#include <random>

#include "dif/DIFCore.h"
#include "files/file_access.h"
#include "formats/image_file.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

TEST(ImageOfDif, SameBytesAsApplyingToAnEmptyImage) {
  test::TempDir dir;
  test::RecordingUi ui;
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    TDIFFile dif;
    const int blocks = 1 + static_cast<int>(random() % 12);
    for (int b = 0; b < blocks; ++b) {
      std::string bytes(1 + random() % 300, '\0');
      for (char& c : bytes) c = static_cast<char>(random());
      const size_t at = dif.AddBlock();
      if (random() % 5 == 0)
        dif.SetReverseData(at, random() % 4000, bytes);  // ignored by both
      else
        dif.SetNORData(at, random() % 4000, bytes);
    }
    TDIFFile copy = dif;
    std::string expected;
    ApplyToImage(copy, expected);
    ASSERT_TRUE(WriteImageOfDif(ui, dir.File("out.bin"), dif, "Operation aborted:"));
    std::string written;
    ASSERT_EQ(ReadWholeFile(dir.File("out.bin"), written), FileStatus::Ok);
    ASSERT_EQ(written, expected) << "round " << round;
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ImageOfDif, AnEmptyDifWritesAnEmptyFileAndAFolderIsRefused) {
  test::TempDir dir;
  test::RecordingUi ui;
  TDIFFile empty;
  ASSERT_TRUE(WriteImageOfDif(ui, dir.File("e.bin"), empty, "Operation aborted:"));
  std::string written = "x";
  ASSERT_EQ(ReadWholeFile(dir.File("e.bin"), written), FileStatus::Ok);
  EXPECT_TRUE(written.empty());
  EXPECT_FALSE(WriteImageOfDif(ui, dir.path(), empty, "Operation aborted:"));
  ASSERT_EQ(ui.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(ui.Texts(MessageKind::Error)[0], "Operation aborted: could not create file");
}

}  // namespace
}  // namespace brantle
