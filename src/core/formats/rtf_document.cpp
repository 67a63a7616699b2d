#include "formats/rtf_document.h"

#include "formats/utf8.h"

namespace brantle {

RtfDocument PlainTextDocument(std::string_view text, const RtfStyle& style) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // the byte order mark
  RtfDocument document;
  document.paragraphs.emplace_back();
  std::string line;
  const auto endLine = [&] {
    if (!line.empty()) document.paragraphs.back().runs.push_back({std::move(line), style});
    line.clear();
  };
  for (size_t at = 0; at < text.size();) {
    const uint32_t c = NextCodePoint(text, at);
    if (c == '\n') {
      endLine();
      document.paragraphs.emplace_back();
    } else if (c != '\r') {
      AppendUtf8(line, c);
    }
  }
  endLine();
  return document;
}

std::string PlainTextOf(const RtfDocument& document) {
  const std::string_view lineBreak = kRtfLineBreak;
  std::string out;
  for (size_t p = 0; p < document.paragraphs.size(); ++p) {
    if (p > 0) out.push_back('\n');
    for (const RtfRun& run : document.paragraphs[p].runs) {
      for (size_t at = 0; at < run.text.size();) {
        if (run.text.compare(at, lineBreak.size(), lineBreak) == 0) {
          out.push_back('\n');
          at += lineBreak.size();
        } else {
          out.push_back(run.text[at++]);
        }
      }
    }
  }
  return out;
}

}  // namespace brantle
