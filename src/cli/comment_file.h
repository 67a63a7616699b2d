#pragma once
// --comment FILE: the text a DIF carries as its comment.

#include <string>

#include "ui/ui.h"

namespace brantle::cli {

// RTF as it is, plain text made into RTF; an empty name leaves comment as it is.
// False (with the error shown) when the file cannot be read.
bool LoadComment(Ui& ui, const std::string& file, std::string& comment);

}  // namespace brantle::cli
