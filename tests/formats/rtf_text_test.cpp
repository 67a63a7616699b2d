// Comments between plain text and the RTF the DIF stores.

#include "formats/rtf_text.h"

#include <gtest/gtest.h>

#include "rtf_helpers.h"

namespace brantle {
namespace {

TEST(RtfText, PlainTextRoundTrips) {
  const std::string text = "Fixes {menu} \\ path\nSecond line: caf\xC3\xA9 \xE2\x82\xAC";
  const std::string rtf = PlainTextToRtf(text);
  EXPECT_TRUE(LooksLikeRtf(rtf));
  EXPECT_NE(rtf.find("\\{menu\\}"), std::string::npos);
  EXPECT_NE(rtf.find("\\u8364\\'80"), std::string::npos);  // the euro sign, and its cp1252 byte
  EXPECT_EQ(RtfToPlainText(rtf), text);
}

TEST(RtfText, TablesAndControlWordsAreNotText) {
  const std::string rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
      "{\\*\\generator Riched20;}\\pard\\b Bold\\b0  and \\'e9t\\'e9\\par\n"
      "{\\i next}\\tab x\\uc2\\u20320??y\\par}";
  EXPECT_EQ(RtfToPlainText(rtf), "Bold and \xC3\xA9t\xC3\xA9\nnext\tx\xE4\xBD\xA0y");
}

TEST(RtfText, BytesAreReadInTheDocumentsCodePage) {
  EXPECT_EQ(RtfToPlainText("{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0, \\'ed\\'e5\\'f2\\par}"),
            "Да, нет");
}

TEST(RtfText, LineEndsOfPlainTextSurvive) {
  EXPECT_EQ(RtfToPlainText(PlainTextToRtf("one\r\ntwo\n\nlast\n")), "one\ntwo\n\nlast\n");
  EXPECT_EQ(RtfToPlainText(PlainTextToRtf("")), "");
}

TEST(RtfText, CommentFilesOfRichOrPlainText) {
  EXPECT_EQ(test::Describe(CommentDocument("{\\rtf1 {\\b bold}\\par plain}")),
            "{b|bold}\n{|plain}");
  // Plain text: UTF-8 with or without a byte order mark, or Latin-1, any line ends.
  EXPECT_EQ(test::Describe(CommentDocument("\xEF\xBB\xBF{\\rtf1 \xD1\x82\r\ncaf\xE9\n")),
            "{|{\\rtf1 т}\n{|café}\n");
}

TEST(RtfText, NotRtfStaysAsItIsAndBrokenRtfEnds) {
  EXPECT_EQ(RtfToPlainText("just text {x}"), "just text {x}");
  EXPECT_FALSE(LooksLikeRtf("{\\rt"));
  // Unbalanced and cut-off documents end without reading past the text.
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a}}}}b"), "ab");
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\'4"), "a");
  EXPECT_EQ(RtfToPlainText("{\\rtf1 a\\"), "a");
}

}  // namespace
}  // namespace brantle
