#include "fuzz/seeds/tfs_fuzz_input.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace brantle::fuzz {
namespace {

constexpr size_t kSector = 512;
constexpr size_t kBlockSizeField = 8;  // big-endian, in the superblock

uint32_t Be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

}  // namespace

TfsFuzzNand TfsFuzzNandOf(const uint8_t* data, size_t size) {
  TfsFuzzNand nand;
  const uint8_t options = size > 0 ? data[0] : 0;
  const uint8_t* image = size > 0 ? data + 1 : data;
  const size_t bytes = std::min<size_t>(size > 0 ? size - 1 : 0, kTfsFuzzSectors * kSector);
  const size_t sectors =
      options & kTfsFuzzShortDump ? (bytes + kSector - 1) / kSector : kTfsFuzzSectors;
  nand.Image.assign(sectors * kSector, 0xFF);
  if (bytes > 0) std::memcpy(nand.Image.data(), image, bytes);
  if (options & kTfsFuzzMirrorSuperblock && nand.Image.size() >= kSector) {
    const uint32_t blockSize = Be32(nand.Image.data() + kBlockSizeField);
    if (blockSize != 0 && blockSize % kSector == 0 && blockSize <= nand.Image.size() - kSector) {
      std::memcpy(nand.Image.data() + blockSize, nand.Image.data(), kSector);
    }
  }
  return nand;
}

std::string TfsFuzzInputOf(const std::vector<uint8_t>& image) {
  if (image.size() > kTfsFuzzSectors * kSector) {
    throw std::invalid_argument("the image is larger than the fuzzed NAND");
  }
  size_t end = image.size();
  while (end > 0 && image[end - 1] == 0xFF) --end;
  std::string input(1, static_cast<char>(kTfsFuzzMirrorSuperblock));
  input.append(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(end));
  return input;
}

}  // namespace brantle::fuzz
