#pragma once
// A comment's RTF document in and out of Qt's text document: paragraphs of runs with
// bold, italic, underline, size and colour.

#include <string>

class QTextDocument;

namespace brantle::gui {

void LoadRtf(QTextDocument& document, const std::string& rtf);
std::string SaveRtf(const QTextDocument& document);

}  // namespace brantle::gui
