#include "engine/e_packets.h"

#include <cmath>

namespace brantle {
namespace {

constexpr double kUartReference = 806400.0;

void AppendBigEndian32(std::string& s, uint32_t v) {
  s.push_back(static_cast<char>(v >> 24));
  s.push_back(static_cast<char>(v >> 16));
  s.push_back(static_cast<char>(v >> 8));
  s.push_back(static_cast<char>(v));
}

std::string Bytes(std::initializer_list<uint8_t> list) {
  return std::string(list.begin(), list.end());
}

}  // namespace

std::string EBootPacket(const std::string& engineFamily, uint8_t w0, uint8_t w1, uint8_t w2,
                        uint8_t w3) {
  if (engineFamily == "E800" || engineFamily == "E330") {
    const uint8_t last = engineFamily == "E800" ? 0xBB : 0xCF;
    return Bytes({0x46, 0x23, 0x16, 0x03, 0x46, 0x42, 0x06, 0x56, 0x00, 0x03, 0xFF, 0xFF, 0x80,
                  0x02, 0x80, 0x01, 0x01, 0x30, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x51, last});
  }
  return Bytes({0xC7, w0,
                0xD6, w1,
                0xC7, static_cast<uint8_t>(w2 + 0x80),
                0x87, static_cast<uint8_t>(w3 + 0xC0),
                0x00, 0x03,
                0xFF, 0xFF,
                0x80, 0x03,
                0x40, 0x00,
                0x70, 0x00,
                0x03, 0x00,
                0x00, 0x00,
                0x00, 0x5B,
                0xF8});
}

bool ESpeedPacket(uint32_t baud, ESpeedSwitch& out) {
  if (baud == 0) return false;
  const double d = kUartReference / baud;
  if (d > 65535.0) return false;
  const uint16_t i = static_cast<uint16_t>(d);
  const uint8_t f = static_cast<uint8_t>(static_cast<unsigned>((d - i) * 256.0) & 0xF0);
  const double divisor = i + f / 256.0;
  // Above 12.9 Mbaud the divisor rounds down to nothing: no such line exists.
  if (divisor <= 0.0) return false;
  out.pcSpeed = static_cast<uint32_t>(kUartReference / divisor);
  const uint16_t n = static_cast<uint16_t>(65536u - i);
  const uint16_t c = static_cast<uint16_t>((n >> 8) + f + (n & 0xFF));
  out.packet = Bytes({0xE0, f, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n),
                      static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
  return true;
}

std::string EReadHeader(uint32_t length, uint8_t sector) {
  std::string s;
  AppendBigEndian32(s, length & 0xFFFFFF);
  s += Bytes({0x02, sector, 0x00, 0x00});
  return s;
}

std::string EProgramPacket(uint32_t length, uint32_t norOffset) {
  std::string s(1, static_cast<char>(0xEA));
  AppendBigEndian32(s, length & 0xFFFFFF);
  AppendBigEndian32(s, kENorBusBase | (norOffset & 0xFFFFFF));
  AppendBigEndian32(s, length & 0xFFFFFF);
  return s;
}

std::string EErasePacket(uint32_t length, uint32_t norOffset) {
  std::string s = Bytes({0xE4, 0x01});
  AppendBigEndian32(s, length & 0xFFFFFF);
  AppendBigEndian32(s, kENorBusBase | (norOffset & 0xFFFFFF));
  return s;
}

uint32_t ByteSum(const uint8_t* data, size_t len) {
  uint32_t sum = 0;
  for (size_t i = 0; i < len; ++i) sum += data[i];
  return sum;
}

uint32_t LittleEndian32(const std::string& four) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && i < four.size(); ++i)
    v |= static_cast<uint32_t>(static_cast<uint8_t>(four[i])) << (8 * i);
  return v;
}

void PutBigEndian32(std::string& image, size_t offset, uint32_t value) {
  if (offset + 4 > image.size()) return;
  for (int i = 0; i < 4; ++i) image[offset + i] = static_cast<char>(value >> (24 - 8 * i));
}

}  // namespace brantle
