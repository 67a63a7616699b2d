#include "comment_file.h"

#include "operations/comment_file.h"

namespace brantle::cli {

bool LoadComment(Ui& ui, const std::string& file, std::string& comment) {
  return file.empty() || ReadCommentFile(ui, file, comment);
}

}  // namespace brantle::cli
