#include "lang/window_texts.h"

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
    // The shown language's locale ("de", "pt_BR"): Qt's own buttons and dialogs follow it.
    {"Win_Locale", "en"},
    // The Developer tab's sub-pages.
    {"Win_Service_DIF_Page", "DIF service"},
    {"Win_Service_S500_Page", "S500 service"},
    {"Win_Service_Opti_Page", "OptiFlash service"},
    {"Win_Service_TFS_Page", "TFS (NAND) service"},
    {"Win_CFG_File", "CFG file:"},
    // The "Manage TFS via TFS File Manager" page; {button} is the developer button's
    // caption, {file} the settings file.
    {"Win_TFS_Manager_Button",
     "The TFS File Manager opens with the \"{button}\" button at the bottom of the window."},
    {"Win_TFS_Manager_Hidden",
     "The TFS File Manager opens with the \"{button}\" button, which the window shows in "
     "developer mode only. To turn it on, close the program, set Developer_Mode=1 in the "
     "[Settings] section of {file} and start the program again."},
    // The four files of a 2BIN+2OGM set, each asked for by its own title.
    {"FF_BIN1R_Caption", "Choose BIN 1 file..."},
    {"FF_BIN2R_Caption", "Choose BIN 2 file..."},
    {"FF_OGM1R_Caption", "Choose OGM 1 file..."},
    {"FF_OGM2R_Caption", "Choose OGM 2 file..."},
    {"FF_BIN1W_Caption", "Choose BIN 1 file to write..."},
    {"FF_BIN2W_Caption", "Choose BIN 2 file to write..."},
    {"FF_OGM1W_Caption", "Choose OGM 1 file to write..."},
    {"FF_OGM2W_Caption", "Choose OGM 2 file to write..."},
    // Why a file given as an input is refused; {file} as the person gave it, {reason}
    // the system's words.
    {"Msg_File_Missing", "{file}: No such file or directory"},
    {"Msg_File_Denied", "{file}: permission denied"},
    {"Msg_File_Is_Folder", "{file}: is a folder"},
    {"Msg_File_Empty", "{file}: is empty"},
    {"Msg_File_Not_Regular", "{file}: is not a regular file"},
    {"Msg_File_Unreadable", "{file}: {reason}"},
    // A connect that failed: the button that tries again, the status line while the
    // window waits for the person, and the likely causes under the first box.
    {"Win_Connect_Again", "Connect again"},
    {"Win_Port_Missing", "(not present)"},
    {"Msg_Connect_Failed", "Connect failed: {error}"},
    {"Msg_Connect_Failed_Count", "{count} attempts failed: {error}"},
    {"Msg_Hint_Bootup",
     "The phone in boot mode did not answer as a phone of the chosen type does. Check the "
     "phone type on the Settings page (now: {type}), the speed (now: {speed} bit/s) and the "
     "cable. A changed setting tries again by itself; so do \"{button}\" and restarting the "
     "phone in boot mode."},
    {"Msg_Hint_Connect",
     "The phone stopped answering while it was being connected. On the Settings page, check "
     "the phone type (now: {type}) and try a lower speed (now: {speed} bit/s); check the "
     "cable. A changed setting tries again by itself; so do \"{button}\" and restarting the "
     "phone in boot mode."},
    {"Msg_Hint_Loaders",
     "The phone's loader files are not in {folder}. Put them there (the README in that "
     "folder names each file and its size), or point the environment variable "
     "BRANTLE_LOADERS at a folder that holds them; then press \"{button}\"."},
    {"Msg_Hint_Port_Gone",
     "The serial port has gone: its adapter was probably unplugged. Plug it in again; the "
     "window goes on by itself when the port is back."},
    // The operation log panel.
    {"Win_Show_Log", "Log"},
    {"Win_Save_Log", "Save log..."},
    {"Win_Copy_Log", "Copy"},
    {"Win_Open_Log_Folder", "Open log folder"},
    {"FF_LOG", "Log files (*.log)|*.log|All Files (*.*)|*.*"},
    {"FF_LOGW_Caption", "Choose log file to write..."},
    {"Msg_Log_Not_Written", "The operation log is not written: {problem}"},
    {"Msg_Hint_No_Ports",
     "Plug in the phone's serial adapter: the window finds it by itself. To try the program "
     "without a phone, start it as \"brantle --simulate E800\"; to use a port the system "
     "does not list, start it with \"--port PATH\"."},
    // A virtual phone served demo loaders: the window's title, a line of the command line.
    {"Msg_Stand_In_Loaders", "Stand-in demo loaders (no real loaders in {folder})"},
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
    {"Msg_Resume_Possible",
     "An interrupted dump of this region into this file has read {done} of {total} bytes; "
     "--resume would continue it. It is kept until this dump completes."},
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

}  // namespace brantle
