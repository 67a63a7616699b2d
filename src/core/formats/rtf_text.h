#pragma once
// DIF comments are rich-text (RTF) documents. These two conversions, made with the
// comment reader and writer, let the command line show a comment as plain text and
// turn a plain-text comment file into the document the comment editor would have
// produced.

#include <string>

#include "formats/rtf_document.h"

namespace brantle {

// The visible text of an RTF document as UTF-8, paragraphs and line breaks as "\n".
// Text that is not RTF is returned unchanged.
std::string RtfToPlainText(const std::string& rtf);

// An RTF document holding text (UTF-8) in the default style; each line a paragraph.
std::string PlainTextToRtf(const std::string& text);

// True when the text starts like an RTF document.
bool LooksLikeRtf(const std::string& text);

// A comment file's contents as the editor shows them: an RTF document read as one,
// any other text as plain text.
RtfDocument CommentDocument(const std::string& fileText);

}  // namespace brantle
