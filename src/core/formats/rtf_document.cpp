#include "formats/rtf_document.h"

namespace brantle {

RtfDocument PlainTextDocument(std::string_view text, const RtfStyle& style) {
  RtfDocument document;
  document.paragraphs.emplace_back();
  std::string line;
  const auto endLine = [&] {
    if (!line.empty()) document.paragraphs.back().runs.push_back({std::move(line), style});
    line.clear();
  };
  for (const char c : text) {
    if (c == '\n') {
      endLine();
      document.paragraphs.emplace_back();
    } else if (c != '\r') {
      line.push_back(c);
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
