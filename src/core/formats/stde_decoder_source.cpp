// Sector sources of the NAND decoder and the texts of its result codes.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "formats/stde_decoder.h"
#include "lang/lang_get.h"

namespace brantle {

uint32_t NandSectorCount(const std::string& family) {
  return family == "E800" ? kNandSectorsE800 : kNandSectors;
}

std::string STDEErrorText(int code) {
  return LangGet("STD_Error_" + std::to_string(code));
}

namespace {

bool PastEnd(uint32_t first, uint32_t count, uint32_t sectorCount) {
  return static_cast<uint64_t>(first) + count > sectorCount;
}

}  // namespace

FileSectorSource::~FileSectorSource() {
  Close();
}

bool FileSectorSource::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd_ >= 0;
}

void FileSectorSource::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

int FileSectorSource::ReadSectors(uint32_t first, uint32_t count, uint8_t* buffer) {
  if (PastEnd(first, count, sectorCount_)) return kSTDESectorNotFound;
  if (fd_ < 0) return kSTDEIOFailure;
  uint64_t offset = static_cast<uint64_t>(first) * kNandSectorSize;
  size_t remaining = static_cast<size_t>(count) * kNandSectorSize;
  while (remaining > 0) {
    const ssize_t n = ::pread(fd_, buffer, remaining, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return kSTDEIOFailure;  // error, or the dump ends early
    buffer += n;
    offset += static_cast<uint64_t>(n);
    remaining -= static_cast<size_t>(n);
  }
  return kSTDEOk;
}

int MemorySectorSource::ReadSectors(uint32_t first, uint32_t count, uint8_t* buffer) {
  if (PastEnd(first, count, sectorCount_)) return kSTDESectorNotFound;
  const uint64_t offset = static_cast<uint64_t>(first) * kNandSectorSize;
  const uint64_t bytes = static_cast<uint64_t>(count) * kNandSectorSize;
  if (offset + bytes > size_) return kSTDEIOFailure;
  if (bytes > 0) std::memcpy(buffer, data_ + offset, static_cast<size_t>(bytes));
  return kSTDEOk;
}

}  // namespace brantle
