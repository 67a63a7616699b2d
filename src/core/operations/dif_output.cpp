#include "operations/dif_output.h"

#include "dif/DIFCore.h"
#include "formats/rtf_text.h"

namespace brantle {

bool CommentBlank(const std::string& rtfComment) {
  const std::string text = RtfToPlainText(rtfComment);
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

bool SaveOperationDif(Ui& ui, TDIFFile& dif, const std::string& fileName,
                      const std::string& rtfComment, int compress, const std::string& prefix) {
  if (!CommentBlank(rtfComment)) dif.SetComment(dif.InsertBlock(0), rtfComment);
  OptimizeDIF(dif, ui);
  dif.PhoneID = kDIFPhoneID;
  dif.CreatorText = kDIFCreatorText;
  const int r = dif.SaveToFile(fileName, compress);
  if (r != kDIFOk) {
    ShowDIFError(ui, prefix, r, dif);
    return false;
  }
  return true;
}

}  // namespace brantle
