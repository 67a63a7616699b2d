#pragma once
// The entries of the drop-down lists of the hexadecimal address fields (the flash
// pages' offsets and length, the dump and erase regions), written as the fields show
// values: where the NOR's two areas begin and end, and the parts of a file that match
// them. Typing stays free; the field rules treat a picked entry as a typed one.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/nor_regions.h"

namespace brantle {

// A phone offset or a region's start: the firmware area's start (0) and the EEPROM
// area's.
std::vector<std::string> AreaStarts(const NorAreas& areas);
// A region's end: the last byte of the firmware area and of the NOR.
std::vector<std::string> AreaEnds(const NorAreas& areas);
// An offset into a file of fileSize bytes: its start, and the EEPROM area's start
// where the file reaches past it (a full dump holds the area there). None for an
// empty file.
std::vector<std::string> FileOffsets(uint64_t fileSize, const NorAreas& areas);
// A length of such a file's part: the whole file and each area's size, where the
// file holds that many bytes and the NOR takes them.
std::vector<std::string> PartLengths(uint64_t fileSize, const NorAreas& areas);

}  // namespace brantle
