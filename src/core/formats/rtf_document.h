#pragma once
// A DIF comment as the comment editor sees it: paragraphs of runs of text, each run
// with one character style. This is the subset of rich text the editor offers; the
// RTF reader (rtf_reader.h) makes it from any word processor's document and the
// writer (rtf_writer.h) makes the document stored in DIF and comment files.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brantle {

// RTF's size when a document names none (\fs24), and the sizes word processors allow.
constexpr double kRtfDefaultPointSize = 12.0;
constexpr double kRtfMinPointSize = 1.0;
constexpr double kRtfMaxPointSize = 1638.0;
// In a run's text a line break inside the paragraph (RTF \line) is U+2028, as in
// a Qt text document; a tab is '\t'.
constexpr char kRtfLineBreak[] = "\xE2\x80\xA8";

struct RtfColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

struct RtfStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  double pointSize = kRtfDefaultPointSize;  // RTF stores half points
  std::optional<RtfColor> color;            // none: the reader's default text colour
};

struct RtfRun {
  std::string text;  // UTF-8, any Unicode
  RtfStyle style;
};

struct RtfParagraph {
  std::vector<RtfRun> runs;  // none in an empty paragraph
};

struct RtfDocument {
  std::vector<RtfParagraph> paragraphs;
};

inline bool operator==(const RtfColor& a, const RtfColor& b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
inline bool operator==(const RtfStyle& a, const RtfStyle& b) {
  return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
         a.pointSize == b.pointSize && a.color == b.color;
}
inline bool operator==(const RtfRun& a, const RtfRun& b) {
  return a.text == b.text && a.style == b.style;
}
inline bool operator==(const RtfParagraph& a, const RtfParagraph& b) {
  return a.runs == b.runs;
}
inline bool operator==(const RtfDocument& a, const RtfDocument& b) {
  return a.paragraphs == b.paragraphs;
}

// Plain text as a document in one style: every line break ("\n" or "\r\n") starts a
// paragraph; other carriage returns and a byte order mark at the start are dropped.
// The text is UTF-8; bytes that are not are taken as Latin-1 (older text files).
RtfDocument PlainTextDocument(std::string_view text, const RtfStyle& style = {});

// The document's text: paragraphs joined by "\n", line breaks inside them as "\n".
std::string PlainTextOf(const RtfDocument& document);

}  // namespace brantle
