#pragma once
// DIF comments are rich-text (RTF) documents. These two conversions let the command
// line show a comment as plain text and turn a plain-text comment file into the
// small RTF document the comment editor would have produced.

#include <string>

namespace brantle {

// The visible text of an RTF document (paragraphs as line breaks, \'hh and \uN as
// UTF-8; font, colour and style tables left out). Text that is not RTF is returned
// unchanged.
std::string RtfToPlainText(const std::string& rtf);

// A minimal RTF document holding text (UTF-8; line breaks become paragraphs).
std::string PlainTextToRtf(const std::string& text);

// True when the text starts like an RTF document.
bool LooksLikeRtf(const std::string& text);

}  // namespace brantle
