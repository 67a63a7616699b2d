#include "lang/window_texts.h"

#include <cstring>

namespace brantle {

const std::array<LangEntry, kWindowTextCount> kWindowTexts = {{
    {"Win_Product", "Brantle"},
    {"Win_Version", "0.68 dev 0816"},
    {"Win_Disclaimer",
     "A service tool for Samsung SGH phones in boot mode.|Flashing can make a phone unusable: "
     "keep a full dump and the undo files of every change. The program comes without any "
     "warranty; you use it at your own risk."},
    {"Win_Tab_Flashing", "Flashing"},
    {"Win_Tab_Dumping", "Dumping"},
    {"Win_Tab_Erasing", "Erasing"},
    {"Win_Tab_TFS", "TFS Operations"},
    {"Win_Tab_Developer", "Developer"},
    {"Win_Tab_Settings", "Settings"},
    {"Win_Tab_About", "About"},
    {"Win_Operation_Status", "Operation status:"},
    {"Win_DIF_Options", "DIF options..."},
    {"Win_BIN_File", "BIN/CLA file:"},
    {"Win_S3_File", "S3 file:"},
    {"Win_DIF_Files", "DIF files:"},
    {"Win_File_Offset", "File offset:"},
    {"Win_Phone_Offset", "Phone offset:"},
    {"Win_Length", "Length:"},
    {"Win_End_File_Offset", "Last byte in file:"},
    {"Win_End_Phone_Offset", "Last byte in phone:"},
    {"Win_Hex_Data", "Hexadecimal data:"},
    {"Win_Flash_Hex", "Flash hex data"},
    {"Win_Target_File", "Target file:"},
    {"Win_Dump_Mode", "Dump mode:"},
    {"Win_Erase_Mode", "Erase mode:"},
    {"Win_Type_BIN", "BIN/CLA"},
    {"Win_Type_S3", "S3"},
    {"Win_Type_DIF", "DIF"},
    {"Win_Erase_Area", "Advanced (erase region)"},
    {"Win_Create_Undo_Erasing", "Create undo information (DIF) when erasing"},
    {"Win_Save_Firmware", "Save firmware..."},
    {"Win_Save_EEPROM", "Save EEPROM..."},
    {"Win_Save_Full_Dump", "Save full dump..."},
    {"Win_Erase_Firmware", "Erase firmware..."},
    {"Win_Erase_EEPROM", "Erase EEPROM..."},
    {"Win_Erase_Entire", "Erase entire NOR..."},
    {"Win_Erase_Region", "Erase NOR region..."},
    {"Win_TFS_Dump_Page", "Dump TFS into TFS/CFG file pair"},
    {"Win_TFS_Format_Page", "Format (erase) TFS"},
    {"Win_TFS_Manager_Page", "Manage TFS via TFS File Manager"},
    {"Win_Dev_TFSR", "Dev-TFSR"},
    {"Win_Dev_TFSW", "Dev-TFSW"},
    {"Win_Dev_TFSD", "Dev-TFSD"},
    {"Win_Dev_TFSM", "Dev-TFSM"},
    {"Win_OK", "OK"},
    {"Win_Col_DIF", "DIF"},
    {"Win_Col_TFS", "TFS"},
    {"Win_Col_Name", "Name"},
    {"Win_Col_Size", "Size"},
    {"Win_TFS_Manager", "TFS File Manager"},
    {"Win_Bold", "Bold"},
    {"Win_Italic", "Italic"},
    {"Win_Underline", "Underline"},
    {"Win_Font_Size", "Size:"},
    {"Win_Color", "Colour:"},
    {"Win_Phone_Place", "[Phone] "},
    {"Win_Verify_Writes", "Verify after writing"},
    {"Win_Skip_Unchanged", "Skip unchanged sectors"},
    // Told after a "No" to the EEPROM question of an erase, before the part of the
    // region that keeps its contents.
    {"Msg_EEPROM_Not_Erased", "The EEPROM area was not erased:"},
    // After an operation's prefix ("Dumping aborted:"), as its reason.
    {"Msg_Bad_Region", "invalid region (hexadecimal NOR addresses, start not above end)"},
    {"Msg_Beyond_16MiB",
     "the region reaches beyond 16 MiB, which this phone's loader cannot address"},
    {"Msg_Beyond_NOR", "the image reaches beyond the NOR the loader can address"},
    {"Msg_Verify_Failed",
     "verification failed at NOR address {address}: expected {expected}, read back {found}"},
    // The safer-flashing options' status line and the interrupted dump's side file.
    {"Msg_Unchanged_Skipped", "Unchanged sectors skipped: {count}"},
    {"Msg_Resume_Question",
     "An interrupted dump of this region into this file has read {done} of {total} bytes. "
     "Continue it?"},
    {"Msg_Side_File_Other",
     "The interrupted dump kept beside the target is not used: it is of another region, "
     "phone or flash chip."},
    {"Msg_Side_File_Damaged",
     "The interrupted dump kept beside the target is not used: it is damaged."},
    {"Msg_Nothing_To_Resume",
     "No interrupted dump of this region into this file was found; the whole region is read."},
    {"Msg_Side_File_Not_Written", "What was read could not be kept in {file}"},
    {"Msg_Tfs_Name_No_File",
     "{name} names no file for the phone's file system (a name ends in a file name and has "
     "no empty, . or .. part)"},
    {"Msg_No_Data_To_Flash",
     "There is no data to flash: the source holds none (an empty file, an S3 file without "
     "data records, or two BIN files that do not differ). Nothing was sent to the phone."},
    // The EEPROM question of an erase.
    {"Warn_EEPROM_Erase",
     "Warning! You are going to erase system EEPROM area of the phone. If you are doing this "
     "intentionally, press 'Yes' and the operation will go on. If you are not, please press "
     "'No' because erasing EEPROM can kill your phone completely."},
    // The endings of a flash or an erase that changed nothing, and the lines below an
    // ending that tell what was left out.
    {"Msg_Nothing_Written", "Nothing was written to the phone."},
    {"Msg_Nothing_Erased", "Nothing was erased."},
    {"Msg_EEPROM_Kept", "The EEPROM area was left as it was after No to the EEPROM question."},
    {"Msg_Nothing_Differed",
     "The phone already held the bytes to write (unchanged sectors skipped: {count})."},
    {"Msg_Files_Left_Out",
     "{count} file(s) for the phone's file system were not sent: this phone has none."},
}};

const char* WindowTextFallback(const char* key) {
  for (const LangEntry& entry : kWindowTexts)
    if (std::strcmp(entry.Key, key) == 0) return entry.Text;
  return nullptr;
}

}  // namespace brantle
