#include "formats/rtf_writer.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "formats/code_pages.h"
#include "formats/utf8.h"

namespace brantle {
namespace {

constexpr int kPlainHalfPoints = 24;  // what \plain sets

int HalfPoints(double pointSize) {
  // The comparisons also catch a size that is not a number.
  if (!(pointSize >= kRtfMinPointSize)) pointSize = kRtfMinPointSize;
  if (!(pointSize <= kRtfMaxPointSize)) pointSize = kRtfMaxPointSize;
  return static_cast<int>(std::lround(pointSize * 2));
}

void AppendUnit(std::string& out, uint32_t unit, int fallback) {
  char text[24];
  std::snprintf(text, sizeof text, "\\u%d\\'%02x", unit < 0x8000 ? int(unit) : int(unit) - 0x10000,
                fallback);
  out += text;
}

void AppendText(std::string& out, const std::string& text) {
  for (size_t at = 0; at < text.size();) {
    const uint32_t c = NextCodePoint(text, at);
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c == '\n' || c == 0x2028) {
      out += "\\line ";
    } else if (c < 0x80) {
      if (c >= 0x20) out += static_cast<char>(c);  // other control characters are not text
    } else if (c < 0x10000) {
      const int fallback = UnicodeToWindowsLatin(c);
      AppendUnit(out, c, fallback < 0 ? '?' : fallback);
    } else {
      AppendUnit(out, 0xD800 + ((c - 0x10000) >> 10), '?');
      AppendUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), '?');
    }
  }
}

size_t ColorIndex(std::vector<RtfColor>& colors, const RtfColor& color) {
  for (size_t i = 0; i < colors.size(); ++i) {
    if (colors[i] == color) return i + 1;
  }
  colors.push_back(color);
  return colors.size();
}

}  // namespace

std::string WriteRtf(const RtfDocument& document) {
  std::vector<RtfColor> colors;
  std::string body = "{\\pard\\plain\\uc1\\f0\n";
  for (const RtfParagraph& paragraph : document.paragraphs) {
    for (const RtfRun& run : paragraph.runs) {
      if (run.text.empty()) continue;  // nothing to show, and no colour for the table
      std::string controls;
      if (run.style.bold) controls += "\\b";
      if (run.style.italic) controls += "\\i";
      if (run.style.underline) controls += "\\ul";
      const int halfPoints = HalfPoints(run.style.pointSize);
      if (halfPoints != kPlainHalfPoints) controls += "\\fs" + std::to_string(halfPoints);
      if (run.style.color)
        controls += "\\cf" + std::to_string(ColorIndex(colors, *run.style.color));
      body += '{';
      if (!controls.empty()) body += controls + ' ';
      AppendText(body, run.text);
      body += '}';
    }
    body += "\\par\n";
  }
  body += "}\n";

  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}";
  out += "{\\colortbl ;";
  for (const RtfColor& color : colors) {
    out += "\\red" + std::to_string(color.red) + "\\green" + std::to_string(color.green) +
           "\\blue" + std::to_string(color.blue) + ';';
  }
  out += "}\n" + body + "}";
  return out;
}

}  // namespace brantle
