#pragma once
// Writing an image into the phone's NOR: the E families by whole 64 KB sectors
// (reading those only partly covered, or all of them when an undo file is wanted),
// OptiFlash phones in pieces ending at 128 KB boundaries; one question before the
// EEPROM area is written; for the E families the image's files go into the phone's
// file system afterwards, and the phone is disconnected.

#include <string>
#include <vector>

#include "dif/DIFFiles.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"

namespace brantle {

// Image: blocks of kind carry a NOR address and the bytes to put there; "TFSF"
// blocks are files (E families only). With undo, every NOR byte overwritten is first
// recorded there in blocks of undoKind. dirs: directories to create besides the
// files' own folders (nullptr: none). True when the operation ran to its end; false
// after an error (already shown) or a cancel.
bool FlashImage(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                const std::vector<std::string>* dirs);

}  // namespace brantle
