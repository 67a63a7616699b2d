#include "rich_text.h"

#include <QTextDocument>

#include "formats/rtf_text.h"

namespace brantle::gui {

// Until the comment's styles are read, the text alone is kept.
void LoadRtf(QTextDocument& document, const std::string& rtf) {
  document.setPlainText(QString::fromStdString(RtfToPlainText(rtf)));
}

std::string SaveRtf(const QTextDocument& document) {
  const std::string text = document.toPlainText().toStdString();
  return text.empty() ? std::string() : PlainTextToRtf(text);
}

}  // namespace brantle::gui
