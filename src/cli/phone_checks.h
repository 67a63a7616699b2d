#pragma once
// What a command asks of the phone, checked before the port is touched: the
// region lies in the NOR, the sectors on the NAND, and the loader files the
// connect will send are there.

#include <string>

#include "cli_options.h"
#include "formats/nor_regions.h"

namespace brantle::cli {

// dump and erase: the region as the two address fields of the window's tab. 0 to
// go ahead, else the exit status after the message.
int CheckRegion(const Options& options, const NorAreas& areas, std::string& start,
                std::string& end);

// tfs raw-read: the sector numbers on the family's NAND.
int CheckSectors(const Options& options);

// The family's loader files, present with their sizes.
int CheckLoaders(const Options& options);

}  // namespace brantle::cli
