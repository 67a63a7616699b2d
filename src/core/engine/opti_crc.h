#pragma once
// The checksum of every OptiFlash frame payload: the reflected CRC-32 of polynomial
// 0xEDB88320, but with the register starting at 1 and no final inversion.

#include <cstddef>
#include <cstdint>
#include <string>

namespace brantle {

uint32_t FrameCRC(const uint8_t* data, size_t len, uint32_t crc = 1);
inline uint32_t FrameCRC(const std::string& s) {
  return FrameCRC(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

}  // namespace brantle
