#pragma once
// Writing a DIF the way every operation does: the comment as its first block (when
// it holds more than blanks), optimised, stamped with our phone ID and creator, saved
// with the chosen compression; a failure shows the DIF error after prefix.

#include <string>

#include "dif/DIFFiles.h"
#include "ui/ui.h"

namespace brantle {

// True when the RTF comment shows nothing but blanks.
bool CommentBlank(const std::string& rtfComment);

bool SaveOperationDif(Ui& ui, TDIFFile& dif, const std::string& fileName,
                      const std::string& rtfComment, int compress, const std::string& prefix);

}  // namespace brantle
