#include "formats/rtf_text.h"

#include "formats/rtf_reader.h"
#include "formats/rtf_writer.h"

namespace brantle {

bool LooksLikeRtf(const std::string& text) {
  return text.compare(0, 5, "{\\rtf") == 0;
}

std::string RtfToPlainText(const std::string& rtf) {
  return LooksLikeRtf(rtf) ? PlainTextOf(ReadRtf(rtf)) : rtf;
}

std::string PlainTextToRtf(const std::string& text) {
  return WriteRtf(PlainTextDocument(text));
}

RtfDocument CommentDocument(const std::string& fileText) {
  return LooksLikeRtf(fileText) ? ReadRtf(fileText) : PlainTextDocument(fileText);
}

}  // namespace brantle
