// The comment writer: its exact output, round trips through the reader, and comments
// joined by the DIF optimiser.

#include "formats/rtf_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dif/DIFCore.h"
#include "dif/DIFFiles.h"
#include "formats/rtf_reader.h"
#include "rtf_helpers.h"

namespace brantle::test {
namespace {

RtfDocument Document(std::initializer_list<std::vector<RtfRun>> paragraphs) {
  RtfDocument document;
  for (const auto& runs : paragraphs) document.paragraphs.push_back({runs});
  return document;
}

const StyleOf kPlain;

TEST(RtfWriter, WritesOneFontTableOneColourTableAndTheBodyInAGroup) {
  const RtfDocument document =
      Document({{kPlain("Hi "), StyleOf().Bold().Size(14).Color(255, 0, 0)("red")},
                {StyleOf().Italic().Underline().Color(0, 0, 255)("blue"),
                 StyleOf().Color(255, 0, 0)(" again")},
                {}});
  EXPECT_EQ(WriteRtf(document),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n"
            "{\\pard\\plain\\uc1\\f0\n"
            "{Hi }{\\b\\fs28\\cf1 red}\\par\n"
            "{\\i\\ul\\cf2 blue}{\\cf1  again}\\par\n"
            "\\par\n"
            "}\n"
            "}");
  // Empty runs leave nothing behind, not even their colour.
  EXPECT_EQ(WriteRtf(Document({{kPlain(""), StyleOf().Color(1, 2, 3)("")}})),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
            "{\\colortbl ;}\n{\\pard\\plain\\uc1\\f0\n\\par\n}\n}");
  EXPECT_EQ(WriteRtf({}),
            "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
            "{\\colortbl ;}\n{\\pard\\plain\\uc1\\f0\n}\n}");
}

TEST(RtfWriter, NonAsciiAsUnicodeWithAFallbackByte) {
  const auto body = [](const std::string& text) {
    const std::string rtf = WriteRtf(Document({{kPlain(text)}}));
    const size_t start = rtf.find("\\f0\n{") + 5;
    return rtf.substr(start, rtf.find("}\\par") - start);
  };
  // The cp1252 byte where there is one, else "?" as \'3f, never a literal "?".
  EXPECT_EQ(body("é€"), "\\u233\\'e9\\u8364\\'80");
  EXPECT_EQ(body("т, b"), "\\u1090\\'3f, b");
  EXPECT_EQ(body("你"), "\\u20320\\'3f");
  EXPECT_EQ(body("\uFF01"), "\\u-255\\'3f");
  // Beyond U+FFFF: the UTF-16 pair.
  EXPECT_EQ(body("😀"), "\\u-10179\\'3f\\u-8704\\'3f");
  EXPECT_EQ(body("a\\b{c}"), "a\\\\b\\{c\\}");
  EXPECT_EQ(body("a\tb\u2028c\nd\re\x01"), "a\\tab b\\line c\\line de");
  // Bytes that are not UTF-8 are read as Latin-1.
  EXPECT_EQ(body("caf\xE9"), "caf\\u233\\'e9");
}

TEST(RtfWriter, EveryStyleRoundTrips) {
  RtfDocument document;
  RtfParagraph paragraph;
  for (int mask = 0; mask < 8; ++mask) {
    for (double size : {8.0, 10.0, 10.5, 12.0, 14.0, 16.0, 1638.0}) {
      StyleOf style;
      if (mask & 1) style.Bold();
      if (mask & 2) style.Italic();
      if (mask & 4) style.Underline();
      style.Size(size);
      paragraph.runs.push_back(style("x" + std::to_string(mask) + "/" + std::to_string(size)));
      style.Color(static_cast<uint8_t>(mask * 30), 128, static_cast<uint8_t>(size));
      paragraph.runs.push_back(style("c"));
    }
  }
  document.paragraphs.push_back(paragraph);
  EXPECT_EQ(Describe(ReadRtf(WriteRtf(document))), Describe(document));
  EXPECT_TRUE(ReadRtf(WriteRtf(document)) == document);
}

TEST(RtfWriter, TextOfEveryScriptRoundTrips) {
  const RtfDocument document = Document({
      {kPlain("Привет, мир! Съешь же ещё этих мягких французских булок.")},
      {StyleOf().Bold()("Zażółć gęślą jaźń — crème brûlée, naïve façade, Øresund, Ærø")},
      {},
      {StyleOf().Italic()("中文，日本語のテキスト，한국어")},
      {kPlain("emoji 😀🎉 and 𝔄 \\ { } \t tab"), StyleOf().Underline()("\u2028after")},
      {kPlain("ASCII ~!@#$%^&*()_+-=[];':\",./<>?`|")},
      {},
  });
  EXPECT_EQ(Describe(ReadRtf(WriteRtf(document))), Describe(document));
}

TEST(RtfWriter, SizesOutsideTheRangeAreClamped) {
  const RtfDocument document = Document({{StyleOf().Size(0)("a"), StyleOf().Size(std::nan(""))("b"),
                                          StyleOf().Size(5000)("c"), StyleOf().Size(-3)("d")}});
  EXPECT_EQ(Describe(ReadRtf(WriteRtf(document))), "{1|ab}{1638|c}{1|d}");
}

// ---- comments joined by the optimiser ----------------------------------------------

std::string Optimized(std::initializer_list<std::string> comments) {
  TDIFFile dif;
  for (const std::string& comment : comments)
    dif.SetComment(dif.InsertBlock(dif.Blocks.size()), comment);
  OptimizeDIF(dif);
  EXPECT_EQ(dif.Blocks.size(), 1u);
  return dif.Blocks.empty() ? "" : TDIFFile::GetComment(dif.Blocks[0]);
}

TEST(RtfWriter, TwoCommentsJoinedShowBothTextsAndStyles) {
  // The colour indexes differ between the two tables: blue is 1 in the second.
  const RtfDocument first =
      Document({{kPlain("First: "), StyleOf().Bold().Color(255, 0, 0)("red bold")},
                {StyleOf().Italic().Size(16)("Первый")}});
  const RtfDocument second =
      Document({{StyleOf().Color(0, 0, 255)("blue "), StyleOf().Color(255, 0, 0)("red")},
                {StyleOf().Underline().Size(8)("second 😀 ")}});
  const std::string merged = Optimized({WriteRtf(first), WriteRtf(second)});
  EXPECT_EQ(Describe(ReadRtf(merged)),
            "{|First: }{b #ff0000|red bold}\n{i 16|Первый}\n"
            "{#0000ff|blue }{#ff0000|red}\n{u 8|second 😀 }");

  const RtfDocument third = Document({{StyleOf().Bold()("third")}});
  EXPECT_EQ(Describe(ReadRtf(Optimized({WriteRtf(first), WriteRtf(second), WriteRtf(third)}))),
            Describe(first) + "\n" + Describe(second) + "\n" + Describe(third));
}

TEST(RtfWriter, OurCommentJoinedToAnotherWordProcessorsDocument) {
  // Bold and a size left on at the end of the first body do not reach the second.
  const std::string wordPad =
      "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}\r\n"
      "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
      "\\pard\\f0\\fs20\\b\\'c4\\'e0\\par\r\n}\r\n";
  const RtfDocument ours = Document({{kPlain("plain "), StyleOf().Italic()("ещё")}});
  EXPECT_EQ(Describe(ReadRtf(Optimized({wordPad, WriteRtf(ours)}))), "{b 10|Да}\n{|plain }{i|ещё}");
  // The other way round its font table comes along and decodes its bytes.
  EXPECT_EQ(Describe(ReadRtf(Optimized({WriteRtf(ours), wordPad}))), "{|plain }{i|ещё}\n{b 10|Да}");
}

}  // namespace
}  // namespace brantle::test
