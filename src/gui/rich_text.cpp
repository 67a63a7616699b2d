#include "rich_text.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include "formats/rtf_document.h"
#include "formats/rtf_reader.h"
#include "formats/rtf_writer.h"

namespace brantle::gui {
namespace {

QTextCharFormat FormatOf(const RtfStyle& style) {
  QTextCharFormat f;
  f.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(style.italic);
  f.setFontUnderline(style.underline);
  f.setFontPointSize(style.pointSize);
  if (style.color) f.setForeground(QColor(style.color->red, style.color->green, style.color->blue));
  return f;
}

RtfStyle StyleOf(const QTextCharFormat& f, double defaultPoints) {
  RtfStyle style;
  style.bold = f.fontWeight() >= QFont::Bold;
  style.italic = f.fontItalic();
  style.underline = f.fontUnderline();
  style.pointSize = f.fontPointSize() > 0 ? f.fontPointSize() : defaultPoints;
  if (f.foreground().style() != Qt::NoBrush) {
    const QColor c = f.foreground().color();
    style.color = RtfColor{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                           static_cast<uint8_t>(c.blue())};
  }
  return style;
}

}  // namespace

void LoadRtf(QTextDocument& document, const std::string& rtf) {
  document.clear();
  if (rtf.empty()) return;
  const RtfDocument comment = ReadRtf(rtf);
  QTextCursor cursor(&document);
  for (size_t p = 0; p < comment.paragraphs.size(); ++p) {
    if (p > 0) cursor.insertBlock();
    for (const RtfRun& run : comment.paragraphs[p].runs)
      cursor.insertText(QString::fromStdString(run.text), FormatOf(run.style));
  }
}

std::string SaveRtf(const QTextDocument& document) {
  // An empty editor is no comment at all.
  if (document.isEmpty()) return "";
  const double defaultPoints = document.defaultFont().pointSizeF();
  RtfDocument comment;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    RtfParagraph paragraph;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || fragment.text().isEmpty()) continue;
      paragraph.runs.push_back(
          {fragment.text().toStdString(), StyleOf(fragment.charFormat(), defaultPoints)});
    }
    comment.paragraphs.push_back(std::move(paragraph));
  }
  return WriteRtf(comment);
}

}  // namespace brantle::gui
