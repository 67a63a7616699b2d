#pragma once
// Writing an image into the phone's NOR: the E families by whole 64 KB sectors
// (reading those only partly covered, or all of them when an undo file is wanted),
// OptiFlash phones in pieces ending at 128 KB boundaries; one question before the
// EEPROM area is written; for the E families the image's files go into the phone's
// file system afterwards, and the phone is disconnected.

#include <cstdint>
#include <string>
#include <vector>

#include "dif/DIFFiles.h"
#include "formats/nor_regions.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"

namespace brantle {

// What the bytes are: an image a person chose, written into the EEPROM area only
// after their Yes and ending with a message that says what was written; or what the
// phone held a moment ago, put back by an erase (which asked before it erased
// anything and ends with its own message).
enum class FlashPurpose { Image, WriteBack };

// Image: blocks of kind carry a NOR address and the bytes to put there; "TFSF"
// blocks are files for the phone's file system (left out, and counted in the tally,
// for the phones without one). With undo, every NOR byte overwritten is first
// recorded there in blocks of undoKind. dirs: directories to create besides the
// files' own folders (nullptr: none). What the phone did goes into the frame's tally.
// True when the operation ran to its end; false after an error (already shown) or a
// cancel.
bool FlashImage(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                const std::vector<std::string>* dirs, FlashPurpose purpose = FlashPurpose::Image);

// The warning before the EEPROM area is flashed, or erased; true when the person
// answers Yes.
enum class EepromChange { Flash, Erase };
bool AskEepromWrite(OperationFrame& frame, EepromChange change = EepromChange::Flash);
// Whether a question is one of those two: the command line answers them from its
// --eeprom option.
bool IsEepromQuestion(const std::string& text);

// A stretch of NOR handed to the OptiFlash loader's program command in one call.
struct NorPiece {
  uint32_t Address = 0;
  uint32_t Length = 0;
  bool operator==(const NorPiece& other) const {
    return Address == other.Address && Length == other.Length;
  }
};

// The pieces of an OptiFlash block: each ends at the next 128 KB boundary or at the
// block's end.
std::vector<NorPiece> OptiPieces(uint32_t address, uint32_t length);

// Whether address .. address + length - 1 reaches into the EEPROM area.
bool TouchesEeprom(uint64_t address, uint64_t length, const NorAreas& areas);

}  // namespace brantle
