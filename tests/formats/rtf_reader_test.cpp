// The comment reader against documents written the way word processors write them
// (made by hand from the format's rules), and against hostile documents.

#include "formats/rtf_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "rtf_helpers.h"

namespace brantle::test {
namespace {

std::string Read(const std::string& rtf) {
  return Describe(ReadRtf(rtf));
}

TEST(RtfReader, WordPadDocumentInCodePage1251) {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0\\nouicompat\\deflang1049"
      "{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}\r\n"
      "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
      "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang1049 "
      "\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2, \\b\\'ec\\'e8\\'f0\\b0 !\\par\r\n}\r\n";
  EXPECT_EQ(Read(rtf), "{11|Привет, }{b 11|мир}{11|!}");
}

TEST(RtfReader, CodePageBytesOf1250And1252AndOlderSystems) {
  EXPECT_EQ(Read("{\\rtf1\\ansi\\ansicpg1250 Za\\'bf\\'f3\\'b3\\'e6 g\\'ea\\'9cl\\'b9 "
                 "ja\\'9f\\'f1\\par}"),
            "{|Zażółć gęślą jaźń}");
  EXPECT_EQ(Read("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80 \\'93quoted\\'94}"),
            "{|café € “quoted”}");
  // \ansi alone is code page 1252; raw bytes above 0x7F are read in it too.
  EXPECT_EQ(Read("{\\rtf1\\ansi caf\\'e9 na\xEFve}"), "{|café naïve}");
  EXPECT_EQ(Read("{\\rtf1\\mac caf\\'8e}"), "{|café}");
  EXPECT_EQ(Read("{\\rtf1\\pc caf\\'82}"), "{|café}");
  EXPECT_EQ(Read("{\\rtf1\\pca \\'9b}"), "{|ø}");
  // A page we cannot decode (double-byte Japanese) shows replacement characters.
  EXPECT_EQ(Read("{\\rtf1\\ansi\\ansicpg932 a\\'82\\'a0}"), "{|a\xEF\xBF\xBD\xEF\xBF\xBD}");
}

TEST(RtfReader, FontCharacterSetDecidesTheCodePage) {
  // A Cyrillic font in a Western document, as an English system writes Russian text.
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
      "{\\f1\\fnil\\fcharset204{\\*\\panose 020b0604020202020204}Arial CYR;}"
      "{\\f2\\fnil\\cpg1250 Arial CE;}}"
      "\\f0 caf\\'e9 \\f1\\'e4\\'e0 {\\f2\\'b9}\\'e4\\plain\\'e4}";
  EXPECT_EQ(Read(rtf), "{|café да ąдä}");
}

TEST(RtfReader, UnicodeCharactersAndTheirFallbacks) {
  EXPECT_EQ(Read("{\\rtf1 \\u1090?, b}"), "{|т, b}");
  EXPECT_EQ(Read("{\\rtf1 \\u1090\\'3f, b}"), "{|т, b}");
  EXPECT_EQ(Read("{\\rtf1 \\uc2\\u20320\\'c4\\'e3\\u22909\\'ba\\'c3 ok}"), "{|你好 ok}");
  EXPECT_EQ(Read("{\\rtf1 \\uc0\\u1087\\u1088  ok}"), "{|пр ok}");
  // Negative numbers are the upper half of the 16-bit range; pairs of halves join.
  EXPECT_EQ(Read("{\\rtf1 \\u-255?\\u-10179?\\u-8704?}"), "{|！😀}");
  // A lone half of a pair is no character.
  EXPECT_EQ(Read("{\\rtf1 a\\u-10179?b\\u-8704?c\\u-10179?}"), "{|a\uFFFDb\uFFFDc\uFFFD}");
  // \uc is kept per group, and skipping ends at a group's edge.
  EXPECT_EQ(Read("{\\rtf1 {\\uc3\\u1090 ab}c\\u1091?d}"), "{|тcуd}");
  // A control word or escaped symbol counts as one fallback character.
  EXPECT_EQ(Read("{\\rtf1 \\uc2\\u1090\\'e2\\{x}"), "{|тx}");
}

TEST(RtfReader, StylesNestWithGroups) {
  const std::string rtf =
      "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "a{\\b b{\\i c\\ul d\\ul0 e}f}g\\i\\fs28 h\\cf2 i{\\cf1 j}\\cf0 k\\i0\\fs24 l}";
  EXPECT_EQ(Read(rtf),
            "{|a}{b|b}{b i|c}{b i u|d}{b i|e}{b|f}{|g}{i 14|h}{i 14 #0000ff|i}"
            "{i 14 #ff0000|j}{i 14|k}{|l}");
}

TEST(RtfReader, PlainResetsTheCharacterStyle) {
  EXPECT_EQ(Read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}"
                 "{\\b\\i\\ul\\fs40\\cf1 x\\plain y}\\pard z}"),
            "{b i u 20 #ff0000|x}{|yz}");
}

TEST(RtfReader, EveryKindOfUnderlineIsUnderline) {
  EXPECT_EQ(Read("{\\rtf1 {\\ulw a}{\\uldb b}{\\ulwave c}{\\ul d\\ulnone e}{\\ulc1 f}}"),
            "{u|abcd}{|ef}");
}

TEST(RtfReader, ParagraphsLinesAndSpecialCharacters) {
  EXPECT_EQ(Read("{\\rtf1 a\\par\\par b\\line c\\tab d\\par}"), "{|a}\n\n{|b\u2028c\td}");
  EXPECT_EQ(Read("{\\rtf1 a\\par b}"), "{|a}\n{|b}");
  EXPECT_EQ(Read("{\\rtf1 a\\\nb}"), "{|a}\n{|b}");
  EXPECT_EQ(Read("{\\rtf1 \\\\ \\{\\} x\\~y\\_z\\-w \\emdash\\endash\\bullet "
                 "\\lquote q\\rquote \\ldblquote dq\\rdblquote}"),
            "{|\\ {} x\u00A0y\u2011zw —–•‘q’“dq”}");
  // Line breaks in the file are not text.
  EXPECT_EQ(Read("{\\rtf1 a\r\nb\nc}"), "{|abc}");
}

TEST(RtfReader, TablesAndDestinationsAreNotText) {
  const std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}"
      "{\\stylesheet{\\s0 Normal;}{\\s1\\b heading 1;}}"
      "{\\info{\\title The title}{\\author Someone}}"
      "{\\*\\generator Some Writer 1.0;}{\\*\\unknowndestination {\\b nested} text}"
      "{\\header header text}{\\footer footer text}"
      "{\\pict\\pngblip\\picw10 89504e470d0a1a0a}"
      "{\\field{\\*\\fldinst HYPERLINK \"https://example.com\"}{\\fldrslt link}}"
      " and {\\v hidden}shown{\\unknownword\\another7 ok}}";
  EXPECT_EQ(Read(rtf), "{|link and shownok}");
}

TEST(RtfReader, ColourTableEntriesAndALaterTable) {
  // Entry 0 given explicitly is a colour, not the default.
  EXPECT_EQ(Read("{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green128\\blue0;}"
                 "\\cf0 a\\cf1 b\\cf7 c}"),
            "{#000000|a}{#008000|b}{|c}");
  // A table that comes again replaces the first for what follows.
  EXPECT_EQ(Read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}{\\cf1 a}"
                 "{\\colortbl;\\red0\\green128\\blue0;}{\\cf1 b}}"),
            "{#ff0000|a}{#008000|b}");
}

TEST(RtfReader, BinaryDataIsSkippedWhateverItHolds) {
  EXPECT_EQ(Read("{\\rtf1 a{\\pict\\bin3 {}}}b}"), "{|ab}");
  EXPECT_EQ(Read("{\\rtf1 a{\\pict\\bin999999999999 {}}}b}"), "{|a}");
}

TEST(RtfReader, TextAfterTheDocumentAndExtraBraces) {
  EXPECT_EQ(Read("{\\rtf1 a}}}}b"), "{|ab}");
  EXPECT_EQ(Read(""), "");
  EXPECT_TRUE(ReadRtf("{\\rtf1\\ansi}").paragraphs.empty());
}

// ---- hostile documents ------------------------------------------------------------

TEST(RtfReader, DeepNestingIsSkippedBeyondTheLimit) {
  const size_t deep = 100000;
  const std::string nested = std::string(deep, '{') + "deep" + std::string(deep, '}');
  EXPECT_EQ(Read("{\\rtf1 before" + nested + "after}"), "{|beforeafter}");
  // Just inside the limit the text is still read.
  const std::string limit =
      std::string(kRtfMaxGroupDepth - 1, '{') + "\\b in" + std::string(kRtfMaxGroupDepth - 1, '}');
  EXPECT_EQ(Read("{" + limit + "}"), "{b|in}");
  EXPECT_EQ(Read("{{" + limit + "}}"), "");
  // Never closed: what was read before stays.
  EXPECT_EQ(Read("{\\rtf1 start" + std::string(deep, '{') + "x"), "{|start}");
}

TEST(RtfReader, HugeNumbersAreClamped) {
  EXPECT_EQ(Read("{\\rtf1 \\fs99999999999 a\\fs-5 b\\fs0 c\\fs1 d}"), "{1638|a}{|bc}{1|d}");
  EXPECT_EQ(Read("{\\rtf1\\uc0 \\u-99999999 a\\u99999999999999999999 b\\u65536 c}"),
            "{|\uFFFDa\uFFFDb\uFFFDc}");
  EXPECT_EQ(Read("{\\rtf1 {\\uc99999999999\\u1090 abc}d\\uc-4\\u1091 e}"), "{|тdуe}");
  EXPECT_EQ(Read("{\\rtf1{\\colortbl;\\red99999999999\\green-7\\blue256;}"
                 "\\cf99999999999 a\\cf1 b\\cf-1 c}"),
            "{|a}{#ff00ff|b}{|c}");
  EXPECT_EQ(Read("{\\rtf1 \\" + std::string(100000, 'x') + "9999999999999999 z}"), "{|z}");
}

TEST(RtfReader, CutOffDocumentsGiveWhatWasRead) {
  EXPECT_EQ(Read("{\\rtf1{\\b bold"), "{b|bold}");
  EXPECT_EQ(Read("{\\rtf1 ab\\fs"), "{|ab}");
  EXPECT_EQ(Read("{\\rtf1 a\\'e"), "{|a}");
  EXPECT_EQ(Read("{\\rtf1 a\\'"), "{|a}");
  EXPECT_EQ(Read("{\\rtf1 a\\"), "{|a}");
  EXPECT_EQ(Read("{\\rtf1 a\\u-10179"), "{|a\uFFFD}");
  EXPECT_EQ(Read("{\\rtf1{\\colortbl;\\red255"), "");
}

TEST(RtfReader, LargeDocumentsReadWhole) {
  std::string rtf = "{\\rtf1 ";
  const size_t runs = 200000;
  for (size_t i = 0; i < runs; ++i) rtf += i % 2 ? "{\\b x}" : "{y}";
  rtf += "\\par}";
  const RtfDocument document = ReadRtf(rtf);
  ASSERT_EQ(document.paragraphs.size(), 1u);
  EXPECT_EQ(document.paragraphs[0].runs.size(), runs);
}

}  // namespace
}  // namespace brantle::test
