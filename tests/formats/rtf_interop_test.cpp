// Independent RTF readers (pandoc, unrtf) read what our writer writes: the same text,
// every character, and the same styles.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "formats/rtf_reader.h"
#include "formats/rtf_text.h"
#include "formats/rtf_writer.h"
#include "formats_helpers.h"
#include "html_text.h"
#include "rtf_helpers.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle::test {
namespace {

const StyleOf kPlain;

// Text of every script we expect in comments, and the characters RTF escapes.
RtfDocument TextDocument() {
  RtfDocument document;
  for (const char* text : {
           "ASCII: The quick brown fox, 100% {braces} \\ back\\slash & <angle> \"quotes\" ~`^|",
           "т, b Привет, мир! Съешь же ещё этих мягких французских булок.",
           "Zażółć gęślą jaźń; crème brûlée, naïve façade, Øresund, Ærø, Straße € – — “” ‘’ …",
           "中文，日本語のテキスト，한국어",
           "emoji 😀 and 🎉 in text, 𝔄 too\u2028second line",
       }) {
    document.paragraphs.push_back({{kPlain(text)}});
  }
  return document;
}

// Each style on a run of its own, then all of them on one.
RtfDocument StyleDocument() {
  RtfDocument document;
  document.paragraphs.push_back({{
      kPlain("plain"),
      kPlain(" "),
      StyleOf().Bold()("bold"),
      kPlain(" "),
      StyleOf().Italic()("italic"),
      kPlain(" "),
      StyleOf().Underline()("underlined"),
      kPlain(" "),
      StyleOf().Size(14)("fourteen"),
      kPlain(" "),
      StyleOf().Size(16)("sixteen"),
      kPlain(" "),
      StyleOf().Color(255, 0, 0)("red"),
      kPlain(" "),
      StyleOf().Bold()("жирный"),
      kPlain(" "),
      StyleOf().Bold().Italic().Underline().Size(16).Color(0, 128, 255)("everything"),
  }});
  return document;
}

// Paragraphs joined by separator, line breaks as "\n", characters beyond U+FFFF
// written with beyond().
std::string Expected(const RtfDocument& document, const std::string& separator,
                     std::string (*beyond)(uint32_t)) {
  std::string out;
  for (size_t p = 0; p < document.paragraphs.size(); ++p) {
    if (p > 0) out += separator;
    const std::string text = PlainTextOf({{document.paragraphs[p]}});
    for (size_t at = 0; at < text.size();) {
      const uint32_t cp = NextCodePoint(text, at);
      if (cp > 0xFFFF) {
        out += beyond(cp);
      } else {
        AppendUtf8(out, cp);
      }
    }
  }
  return out;
}

std::string AsItIs(uint32_t cp) {
  std::string out;
  AppendUtf8(out, cp);
  return out;
}

// pandoc 2.17 reads each half of a UTF-16 pair as U+FFFD, a limit of that reader;
// the characters around each half must still be exact.
std::string AsTwoReplacements(uint32_t) {
  return "\uFFFD\uFFFD";
}

class RtfInteropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pandoc_ = FindTool("pandoc");
    unrtf_ = FindTool("unrtf");
  }

  std::string Write(const std::string& rtf) {
    const std::string file = dir_.File("comment" + std::to_string(++files_) + ".rtf");
    dir_.Write(file.substr(dir_.path().size() + 1), rtf);
    return file;
  }

  std::string Pandoc(const std::string& rtf, const std::string& format) {
    const ProgramResult r =
        RunProgram(pandoc_, {"-f", "rtf", "-t", format, "--wrap=none", Write(rtf)});
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }

  std::string Unrtf(const std::string& rtf) {
    const ProgramResult r = RunProgram(unrtf_, {"--html", Write(rtf)});
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }

  // unrtf writes Latin-1 and some other characters as named entities; its own
  // configuration lists them ("233" followed by "\t&eacute;").
  EntityNames UnrtfEntities() {
    const ProgramResult version = RunProgram(unrtf_, {"--version"});
    const std::string said = version.out + version.err;
    const size_t at = said.find("search path is: ");
    std::string folder = "/usr/share/unrtf/";
    if (at != std::string::npos) {
      folder = said.substr(at + 16, said.find_first_of("\r\n", at) - at - 16);
    }
    EntityNames names{{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}};
    std::istringstream conf(ReadFile(folder + "/html.conf"));
    std::string line, previous;
    while (std::getline(conf, line)) {
      const bool number = !previous.empty() && previous.size() <= 5 &&
                          previous.find_first_not_of("0123456789") == std::string::npos;
      if (number && line.size() > 3 && line[0] == '\t' && line[1] == '&' && line.back() == ';') {
        const uint32_t cp = static_cast<uint32_t>(std::stoul(previous));
        // Codes from 0xF000 are the symbol font's private characters.
        if (cp < 0xF000) names.emplace(line.substr(2, line.size() - 3), cp);
      }
      previous = line;
    }
    EXPECT_GT(names.size(), 100u) << "unrtf's html.conf was not found in " << folder;
    return names;
  }

  std::string pandoc_;
  std::string unrtf_;
  TempDir dir_;
  int files_ = 0;
};

#define NEED(tool, name) \
  if (tool.empty()) GTEST_SKIP() << name " is not installed (scripts/install-deps installs it)"

TEST_F(RtfInteropTest, PandocReadsEveryCharacter) {
  NEED(pandoc_, "pandoc");
  const RtfDocument document = TextDocument();
  const std::string text = Pandoc(WriteRtf(document), "plain");
  // Plain text separates paragraphs by an empty line.
  const std::string exact = Expected(document, "\n\n", AsItIs) + "\n";
  if (text != exact) {
    EXPECT_EQ(text, Expected(document, "\n\n", AsTwoReplacements) + "\n");
  }
}

TEST_F(RtfInteropTest, UnrtfReadsEveryCharacter) {
  NEED(unrtf_, "unrtf");
  const RtfDocument document = TextDocument();
  EXPECT_EQ(HtmlBodyText(Unrtf(WriteRtf(document)), UnrtfEntities()),
            Expected(document, "\n", AsItIs) + "\n");
}

TEST_F(RtfInteropTest, PandocSeesTheStyles) {
  NEED(pandoc_, "pandoc");
  const std::string html = Pandoc(WriteRtf(StyleDocument()), "html");
  using Tags = std::set<std::string>;
  const EntityNames none;
  EXPECT_EQ(TagsBefore(html, none, "plain"), Tags{"<p>"}) << html;
  EXPECT_EQ(TagsBefore(html, none, "bold"), Tags{"<strong>"}) << html;
  EXPECT_EQ(TagsBefore(html, none, "italic"), Tags{"<em>"}) << html;
  EXPECT_EQ(TagsBefore(html, none, "underlined"), Tags{"<u>"}) << html;
  EXPECT_EQ(TagsBefore(html, none, "жирный"), Tags{"<strong>"}) << html;
  EXPECT_EQ(TagsBefore(html, none, "everything"), (Tags{"<strong>", "<em>", "<u>"})) << html;
  // Sizes and colours are not part of pandoc's document model.
  EXPECT_TRUE(TagsBefore(html, none, "sixteen").empty()) << html;
}

TEST_F(RtfInteropTest, UnrtfSeesTheStyles) {
  NEED(unrtf_, "unrtf");
  const std::string html = Unrtf(WriteRtf(StyleDocument()));
  const EntityNames names = UnrtfEntities();
  using Tags = std::set<std::string>;
  // The body names its font, which also makes unrtf start the page before a first
  // character written as \uN.
  const std::string face = "<font face=\"Arial\">";
  EXPECT_EQ(TagsBefore(html, names, "plain"), (Tags{"<body>", face})) << html;
  EXPECT_EQ(TagsBefore(html, names, "bold"), (Tags{"<b>", face})) << html;
  EXPECT_EQ(TagsBefore(html, names, "italic"), (Tags{"<i>", face})) << html;
  EXPECT_EQ(TagsBefore(html, names, "underlined"), (Tags{"<u>", face})) << html;
  // unrtf names a few sizes the HTML way and gives the others in points.
  EXPECT_EQ(TagsBefore(html, names, "fourteen"), (Tags{"<font size=\"4\">", face})) << html;
  EXPECT_EQ(TagsBefore(html, names, "sixteen"), (Tags{"<span style=\"font-size:16pt\">", face}))
      << html;
  EXPECT_EQ(TagsBefore(html, names, "red"), (Tags{"<font color=\"#ff0000\">", face})) << html;
  EXPECT_EQ(TagsBefore(html, names, "жирный"), (Tags{"<b>", face})) << html;
  EXPECT_EQ(TagsBefore(html, names, "everything"),
            (Tags{"<b>", "<i>", "<u>", "<span style=\"font-size:16pt\">",
                  "<font color=\"#0080ff\">", face}))
      << html;
}

TEST_F(RtfInteropTest, PlainTextCommentsReadTheSameEverywhere) {
  // A comment file of plain text, as the command line turns it into a comment.
  const std::string text = "т, b\nдва, c";
  const std::string rtf = PlainTextToRtf(text);
  EXPECT_EQ(RtfToPlainText(rtf), text);
  NEED(pandoc_, "pandoc");
  NEED(unrtf_, "unrtf");
  EXPECT_EQ(Pandoc(rtf, "plain"), "т, b\n\nдва, c\n");
  EXPECT_EQ(HtmlBodyText(Unrtf(rtf), UnrtfEntities()), text + "\n");
}

}  // namespace
}  // namespace brantle::test
