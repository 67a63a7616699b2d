#pragma once
// A German language file as a translator would write it: the locale for Qt's own
// texts and the window's tab and sub-page captions, which run longer than the English
// ones. Every other key is completed in English when the file is loaded.

#include <fstream>
#include <string>

namespace brantle::test {

inline void WriteGermanLanguage(const std::string& folder) {
  std::ofstream file(folder + "/deutsch.lng", std::ios::binary);
  file << "[DE]\n"
          "Locale=Deutsch\n"
          "Win_Locale=de\n"
          "Win_Tab_Flashing=Flashen\n"
          "Win_Tab_Dumping=Auslesen\n"
          "Win_Tab_Erasing=L\u00F6schen\n"
          "Win_Tab_TFS=TFS-Funktionen\n"
          "Win_Tab_Developer=Entwickler\n"
          "Win_Tab_Settings=Einstellungen\n"
          "Btn_About=\u00DCber\n"
          "Btn_Flash_BIN=Firmware flashen (BIN/CLA-Datei)\n"
          "Btn_Flash_DIF=DIF-Firmware/Patch-Datei(en) flashen\n"
          "Btn_Flash_BIND=Unterschiede zweier BIN-Dateien flashen\n"
          "Btn_Flash_S500=Firmware flashen (2 BIN- + 2 OGM-Dateien)\n"
          "Btn_Flash_S3=Firmware flashen (S3-Datei)\n"
          "Btn_Flash_Area=Teil einer BIN-Datei an Adresse flashen\n"
          "Win_Flash_Hex=Hexadezimale Daten flashen\n"
          "Btn_Dump_S3=Firmware (NOR) in BIN/CLA/DIF/S3-Datei sichern\n"
          "Btn_Dump_S500=Firmware in 2 BIN- + 2 OGM-Dateien sichern\n"
          "Btn_Flash_TFS=TFS aus TFS/CFG-Dateipaar flashen\n"
          "Win_TFS_Dump_Page=TFS in ein TFS/CFG-Dateipaar sichern\n"
          "Win_TFS_Format_Page=TFS formatieren (l\u00F6schen)\n"
          "Win_TFS_Manager_Page=TFS mit dem TFS-Dateimanager verwalten\n"
          "Win_Service_DIF_Page=DIF-Dienste\n"
          "Win_Service_S500_Page=S500-Dienste\n"
          "Win_Service_Opti_Page=OptiFlash-Dienste\n"
          "Win_Service_TFS_Page=TFS-(NAND-)Dienste\n"
          "Lbl_Language=Sprache:\n"
          "Query_Sure=Sind Sie sicher?\n";
}

}  // namespace brantle::test
