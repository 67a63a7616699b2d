#include "operations/comment_file.h"

#include "files/file_access.h"
#include "formats/input_file_problem.h"
#include "formats/rtf_text.h"
#include "formats/rtf_writer.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

// No comment is anywhere near this; a larger file is not one.
constexpr uint64_t kMaxCommentFile = 16u << 20;

}  // namespace

bool ReadCommentFile(Ui& ui, const std::string& path, std::string& rtf) {
  std::string text;
  if (ReadWholeFile(path, text, kMaxCommentFile) != FileStatus::Ok) {
    ui.Error(LangGet("Err_Read_File") + " " + OpenFailure(path));
    return false;
  }
  RtfStyle plain;
  plain.pointSize = kCommentPointSize;
  rtf = LooksLikeRtf(text) ? text : WriteRtf(PlainTextDocument(text, plain));
  return true;
}

bool WriteCommentFile(Ui& ui, const std::string& path, const std::string& rtf) {
  if (ReplaceFileContents(path, rtf)) return true;
  ui.Error(LangGet("ErrC_Write_File") + " " + path);
  return false;
}

}  // namespace brantle
