#pragma once
// Command packets of the E-family boot code and loaders, built as byte strings.
// Line values are 32-bit big-endian; checksums come back little-endian.

#include <cstddef>
#include <cstdint>
#include <string>

namespace brantle {

// The NOR appears to the loader at this bus address.
constexpr uint32_t kENorBusBase = 0x02000000;

// The packet that follows "D": E800 and E330 fixed, E700 built from four timing bytes.
std::string EBootPacket(const std::string& engineFamily, uint8_t w0, uint8_t w1, uint8_t w2,
                        uint8_t w3);

// The phone's UART divides a reference of 806400 by an integer part and a 4-bit
// fraction. False when baud cannot be expressed that way.
struct ESpeedSwitch {
  std::string packet;    // E0 F NH NL CH CL
  uint32_t pcSpeed = 0;  // the speed the PC side must then use
};
bool ESpeedPacket(uint32_t baud, ESpeedSwitch& out);

std::string EReadHeader(uint32_t length, uint8_t sector);         // after E6
std::string EProgramPacket(uint32_t length, uint32_t norOffset);  // EA ...
std::string EErasePacket(uint32_t length, uint32_t norOffset);    // E4 01 ...

// 32-bit sum of the bytes, modulo 2^32: the loaders' block checksum.
uint32_t ByteSum(const uint8_t* data, size_t len);
uint32_t LittleEndian32(const std::string& four);

// Writes value as 32-bit big-endian at offset (the first loader's size field).
void PutBigEndian32(std::string& image, size_t offset, uint32_t value);

}  // namespace brantle
