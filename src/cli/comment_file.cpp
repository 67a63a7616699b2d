#include "comment_file.h"

#include "files/file_access.h"
#include "formats/rtf_text.h"
#include "lang/lang_get.h"

namespace brantle::cli {

bool LoadComment(Ui& ui, const std::string& file, std::string& comment) {
  if (file.empty()) return true;
  std::string text;
  if (ReadWholeFile(file, text, 16u << 20) != FileStatus::Ok) {
    ui.Error(LangGet("Err_Read_File") + " " + file);
    return false;
  }
  comment = LooksLikeRtf(text) ? text : PlainTextToRtf(text);
  return true;
}

}  // namespace brantle::cli
