#pragma once
// Comment files: "Load comment..." takes an RTF document as it is and plain text made
// into one at the size the comment editor writes unstyled text in; "Save comment..."
// writes the editor's RTF document.

#include <string>

#include "ui/ui.h"

namespace brantle {

// The comment editor's size of unstyled text, in points (an entry of its size list).
constexpr double kCommentPointSize = 10.0;

// False (after the error box) when the file cannot be read.
bool ReadCommentFile(Ui& ui, const std::string& path, std::string& rtf);
// False (after the error box) when the file cannot be written; an existing file is
// then left as it was.
bool WriteCommentFile(Ui& ui, const std::string& path, const std::string& rtf);

}  // namespace brantle
