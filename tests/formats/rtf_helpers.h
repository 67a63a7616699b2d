#pragma once
// Comments made and shown compactly for the RTF tests: a run reads
// "{b i u 14 #ff0000|text}", with only the style parts that differ from plain 12-point
// text in the default colour; paragraphs are separated by "\n".

#include <cstdio>
#include <string>

#include "formats/rtf_document.h"

namespace brantle::test {

inline std::string Describe(const RtfDocument& document) {
  std::string out;
  for (size_t p = 0; p < document.paragraphs.size(); ++p) {
    if (p > 0) out += '\n';
    for (const RtfRun& run : document.paragraphs[p].runs) {
      std::string style;
      if (run.style.bold) style += " b";
      if (run.style.italic) style += " i";
      if (run.style.underline) style += " u";
      char text[32];
      if (run.style.pointSize != kRtfDefaultPointSize) {
        std::snprintf(text, sizeof text, " %g", run.style.pointSize);
        style += text;
      }
      if (run.style.color) {
        std::snprintf(text, sizeof text, " #%02x%02x%02x", run.style.color->red,
                      run.style.color->green, run.style.color->blue);
        style += text;
      }
      out += "{" + (style.empty() ? style : style.substr(1)) + "|" + run.text + "}";
    }
  }
  return out;
}

struct StyleOf {
  RtfStyle style;
  StyleOf& Bold() { return style.bold = true, *this; }
  StyleOf& Italic() { return style.italic = true, *this; }
  StyleOf& Underline() { return style.underline = true, *this; }
  StyleOf& Size(double points) { return style.pointSize = points, *this; }
  StyleOf& Color(uint8_t r, uint8_t g, uint8_t b) { return style.color = RtfColor{r, g, b}, *this; }
  RtfRun operator()(const std::string& text) const { return {text, style}; }
};

}  // namespace brantle::test
