#pragma once
// Work on the phone's NAND file system (E700, E800 and E330): flashing a TFS/CFG
// pair or single files into it, formatting it, dumping it into a pair, and the
// developer aids: raw sectors into a ".tfr" file and a pair decoded from one.
//
// The functions named after a button run its dialogs first; the others take what
// the dialogs would have given, for front ends that know it already.

#include <string>
#include <vector>

#include "operations/connect_driver.h"
#include "operations/operation_frame.h"
#include "ui/ui.h"

namespace brantle {

// The "Flash TFS from TFS/CFG file pair" tab's two name fields.
struct TfsPairChoice {
  std::string Tfs;
  std::string Cfg;
  bool FlashEnabled() const { return !Tfs.empty(); }
};

// Takes tfsName as the pair to flash: both fields stay empty (and an error is shown)
// when the file cannot be read (the box says why) or its CFG is missing.
bool SetTfsPair(Ui& ui, const std::string& tfsName, TfsPairChoice& choice);
// "Select": the open dialog, then SetTfsPair. False when cancelled or refused.
bool ChooseTfsPair(OperationFrame& frame, TfsPairChoice& choice);

// "Flash files...": the pair's files and directories into the phone.
bool FlashTfsPair(OperationFrame& frame, ConnectDriver& driver, const std::string& tfsName);

// The rows' files into the phone. An unreadable source stops everything before the
// phone is asked anything.
bool FlashTfsFiles(OperationFrame& frame, ConnectDriver& driver,
                   const std::vector<TfsUploadRow>& rows);
// "Flash file(s) into TFS...": the file selector, then FlashTfsFiles.
bool SelectAndFlashTfsFiles(OperationFrame& frame, ConnectDriver& driver);

// "TFS (NAND) format...": asks, formats, and ends the connection.
bool FormatNand(OperationFrame& frame, ConnectDriver& driver);

// The phone's file system decoded into the pair tfsName (and its CFG).
bool DumpTfs(OperationFrame& frame, ConnectDriver& driver, const std::string& tfsName);
// "Dump TFS into TFS/CFG...": the save dialog, then DumpTfs.
bool DumpTfsAsk(OperationFrame& frame, ConnectDriver& driver);

// Both numbers (decimal texts) valid, in order, and below sectorCount; otherwise
// an error box.
bool CheckSectorRange(Ui& ui, uint32_t sectorCount, const std::string& firstText,
                      const std::string& lastText, uint32_t& first, uint32_t& last);

// Sectors first..last (decimal texts) of the NAND into tfrName, 512 bytes each.
bool DumpRawSectors(OperationFrame& frame, ConnectDriver& driver, const std::string& firstText,
                    const std::string& lastText, const std::string& tfrName);
// "Dev-TFSR": the two input boxes and the save dialog, then DumpRawSectors.
bool DumpRawSectorsAsk(OperationFrame& frame, ConnectDriver& driver);

// A raw sector dump decoded into the pair tfsName, as DumpTfs would decode the phone.
bool DumpTfsFromRaw(OperationFrame& frame, const std::string& tfrName, const std::string& tfsName);
// "Dev-TFSD": the open and save dialogs, then DumpTfsFromRaw.
bool DumpTfsFromRawAsk(OperationFrame& frame);

}  // namespace brantle
