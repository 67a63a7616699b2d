#include "lang/lang_get.h"

#include <unordered_map>

namespace brantle {
namespace {

const std::unordered_map<std::string, std::string>& EnglishTexts() {
  static const std::unordered_map<std::string, std::string> texts = {
      {"DIF_Error_0", "No error (strange)"},
      {"DIF_Error_-1", "could not open file"},
      {"DIF_Error_-2", "invalid DIF file"},
      {"DIF_Error_-3_1", "block"},
      {"DIF_Error_-3_2", "is not supported by this BRNTL version"},
      {"DIF_Error_-4_1", "phone ID"},
      {"DIF_Error_-4_2", "is not supported by this BRNTL version"},
      {"DIF_Ignored", "ignored:"},
      {"ErrC_DIF_Create_Aborted", "DIF creation aborted:"},
      {"ErrC_Operation_Aborted", "Operation aborted:"},
      {"ErrC_Dump_Aborted", "Dump aborted:"},
      {"ErrC_Flash_Aborted", "Flashing aborted:"},
      {"Err_Open_File", "could not open file"},
      {"Err_Read_File", "Error: some error reading file"},
      {"Err_Create_File", "could not create file"},
      {"Err_Invalid_S3", "Error: invalid S3 file, line"},
      {"Err_Invalid_BIN1", "invalid BIN1 file"},
      {"Err_Invalid_OGM1", "invalid OGM1 file"},
      {"Err_Invalid_BIN2", "invalid BIN2 file"},
      {"Err_Invalid_OGM2", "invalid OGM2 file"},
      {"Err_Invalid_TFS", "Error: TFS is incompatible and will not be processed..."},
      {"Status_Optimizing_DIF", "Optimizing DIF"},
      {"SSel_Comparison_Bytewise", "Bytewise"},
      {"SSel_Comparison_64K", "64K blocks"},
      {"SSel_Reversal_None", "None"},
      {"SSel_Reversal_Create", "Create separate undo DIF"},
      {"SSel_Reversal_Embed", "Embed into the same DIF"},
      {"SSel_Compression_None", "None"},
      {"SSel_Compression_ZLib", "ZLib"},
      {"Version_Any", "Any BRNTL version"},
      {"Version_Higher", "and higher"},
      {"Status_Processing_S3", "Processing S3 file"},
      {"SBar_BINDIF", "Processing BIN part of DIF file:"},
      {"DIF_Files_Selected", "DIF file(s) selected"},
      {"Reversal_Possible", "reversal possible"},
      {"TFS_Present", "TFS present"},
      {"Status_Of", "of"},
      {"Status_Bytes", "bytes done"},
      {"FF_BIN", "BIN and CLA files (*.bin; *.CLA)|*.bin;*.cla|All Files (*.*)|*.*"},
      {"FF_BINR_Caption", "Choose BIN file..."},
      {"FF_BINW_Caption", "Choose BIN file to write..."},
      {"FF_S3", "S3 files (*.s3*)|*.s3*|All Files (*.*)|*.*"},
      {"FF_S3R_Caption", "Choose S3 file..."},
      {"FF_S3W_Caption", "Choose S3 file to write..."},
      {"FF_OGM", "OGM files (*.ogm)|*.ogm|All Files (*.*)|*.*"},
      {"FF_OGMR_Caption", "Choose OGM file..."},
      {"FF_OGMW_Caption", "Choose OGM file to write..."},
      {"FF_TFS", "TFS files (*.tfs)|*.tfs|All Files (*.*)|*.*"},
      {"FF_TFSR_Caption", "Choose TFS file..."},
      {"FF_TFSW_Caption", "Choose TFS file to write..."},
      {"STD_Error_0", "no error (strange)"},
      {"STD_Error_-1", "I/O failure"},
      {"STD_Error_-2", "sector not found"},
      {"STD_Error_-256", "internal STDE error"},
      {"STD_Error_-257", "block not found"},
      {"STD_Error_-258", "invalid superblock"},
      {"STD_Error_-259", "superblock copies mismatch"},
      {"STD_Error_-260", "inconsistent volume"},
      {"STD_Error_-261", "invalid remap table"},
      {"STD_Error_-262", "invalid FAT"},
      {"STD_Error_-263", "invalid directory"},
      {"STD_Error_-264", "unsupported TFS version"},
      {"STD_Mounting_Volume", "Mounting volume"},
      {"STD_Mounting_Superblock", "Mounting volume: superblock"},
      {"STD_Reading_Information", "Reading volume information"},
      {"STD_Reading_Remap", "Reading volume information: remap table"},
      {"STD_Reading_FAT", "Reading volume information: FAT"},
      {"STD_Reading_File", "Reading file"},
      {"STD_Unmounting_Volume", "Unmounting volume"},
      {"Status_Reading_Directory", "Reading directory"},
      {"Status_Reading", "Reading"},
      {"ErrC_Reading_Directory", "Error reading directory"},
      {"ErrC_Read_File", "Error reading file:"},
      {"Msg_TFS_Dump_Completed", "TFS dumping completed."},
  };
  return texts;
}

}  // namespace

std::string LangGet(const std::string& key) {
  const auto& texts = EnglishTexts();
  const auto it = texts.find(key);
  return it == texts.end() ? key : it->second;
}

}  // namespace brantle
