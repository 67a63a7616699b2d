#pragma once
// How the NAND decoder's fuzz target makes a NAND of its input: one byte of options,
// then the image from sector 0 on. The NAND always has kTfsFuzzSectors sectors, and
// what the input does not reach reads as erased (0xFF), as on a formatted chip: a seed
// leaves off the erased end of its volume, and a mutation keeps the volume's layout.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brantle::fuzz {

// Room for a volume of 16 blocks of up to 4 KiB, or of many small blocks.
constexpr uint32_t kTfsFuzzSectors = 256;

// The first sector is copied over the superblock's copy (the first sector of block 1
// at the block size the first sector names), so that a mutated field changes both
// copies alike instead of ending every mount at their comparison.
constexpr uint8_t kTfsFuzzMirrorSuperblock = 0x01;
// The image ends with the input: reads past it fail as from a dump file that ends early.
constexpr uint8_t kTfsFuzzShortDump = 0x02;

struct TfsFuzzNand {
  std::vector<uint8_t> Image;  // the bytes a sector source reads
  uint32_t SectorCount = kTfsFuzzSectors;
};

TfsFuzzNand TfsFuzzNandOf(const uint8_t* data, size_t size);

// The input that makes image (at most kTfsFuzzSectors sectors) with the superblock
// mirrored; its erased end is left off.
std::string TfsFuzzInputOf(const std::vector<uint8_t>& image);

}  // namespace brantle::fuzz
