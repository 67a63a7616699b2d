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

// Whether writing into the EEPROM area needs the person's Yes, or was allowed before
// the operation came to FlashImage (an erase asks before it erases anything).
enum class EepromWrites { Ask, Allowed };

// Image: blocks of kind carry a NOR address and the bytes to put there; "TFSF"
// blocks are files (E families only). With undo, every NOR byte overwritten is first
// recorded there in blocks of undoKind. dirs: directories to create besides the
// files' own folders (nullptr: none). True when the operation ran to its end; false
// after an error (already shown) or a cancel.
bool FlashImage(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                const std::vector<std::string>* dirs, EepromWrites eeprom = EepromWrites::Ask);

// The warning before the EEPROM area is changed; true when the person answers Yes.
bool AskEepromWrite(OperationFrame& frame);

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
