#include "operations/comment_file.h"

#include <gtest/gtest.h>

#include "formats/rtf_reader.h"
#include "formats/rtf_text.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

TEST(CommentFile, RtfAsItIsPlainTextMadeIntoRtfAndUnreadableFilesReported) {
  test::TempDir dir;
  test::RecordingUi ui;
  dir.Write("c.rtf", "{\\rtf1\\ansi Hello}");
  dir.Write("c.txt", "line one\nline two");
  std::string rtf;
  ASSERT_TRUE(ReadCommentFile(ui, dir.File("c.rtf"), rtf));
  EXPECT_EQ(rtf, "{\\rtf1\\ansi Hello}");
  ASSERT_TRUE(ReadCommentFile(ui, dir.File("c.txt"), rtf));
  EXPECT_TRUE(LooksLikeRtf(rtf));
  EXPECT_EQ(RtfToPlainText(rtf), "line one\nline two");
  // Plain text comes in at the editor's size for unstyled text, not RTF's own 12 points.
  for (const RtfParagraph& paragraph : ReadRtf(rtf).paragraphs)
    for (const RtfRun& run : paragraph.runs) EXPECT_EQ(run.style.pointSize, kCommentPointSize);
  rtf = "kept";
  EXPECT_FALSE(ReadCommentFile(ui, dir.File("absent.rtf"), rtf));
  EXPECT_EQ(rtf, "kept");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Error: some error reading file " + dir.File("absent.rtf") +
                                     ": No such file or directory");
}

TEST(CommentFile, AFailedWriteKeepsTheOldFile) {
  test::TempDir dir;
  test::RecordingUi ui;
  ASSERT_TRUE(WriteCommentFile(ui, dir.File("out.rtf"), "{\\rtf1 a}"));
  EXPECT_EQ(test::ReadFile(dir.File("out.rtf")), "{\\rtf1 a}");
  EXPECT_FALSE(WriteCommentFile(ui, dir.File("no/such/folder/out.rtf"), "{\\rtf1 b}"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(ui.messages[0].text.rfind("Error writing file: ", 0), 0u);
}

}  // namespace
}  // namespace brantle
