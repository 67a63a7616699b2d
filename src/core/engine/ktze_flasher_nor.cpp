// NOR sector commands of the E-family second loader: read (E6), program (EA),
// erase (E4). Blocks are checked with a 32-bit byte sum; a mismatch is retried
// three times, each retry announced and rolled back in the progress bar.

#include <algorithm>
#include <cstdio>

#include "engine/e_packets.h"
#include "engine/ktze_flasher.h"
#include "engine/result_codes.h"

namespace brantle {
namespace {

constexpr uint32_t kReplyTimeoutMs = 3000;
constexpr int kMaxRetries = 3;

std::string Hex(uint32_t value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*X", digits, value);
  return buf;
}

std::string RetryPrefix(const EStatusTexts& t, int retry) {
  return t.CRCErrorRetry + std::to_string(retry) + " " + t.CRCErrorRetryAt + " ";
}

}  // namespace

int EEngine::ERead(uint8_t sector, uint32_t length, uint8_t* buffer) {
  const EStatusTexts& t = link_.Texts;
  link_.Progress(0);
  std::string prefix = t.ReadingAt + " ";
  for (int retries = 0;;) {
    uint8_t ack = 0;
    link_.WriteString("\xE6");
    if (!link_.ReadByte(ack, kDefaultText, kReplyTimeoutMs)) return kErrTimeout;
    if (ack != 0xC0) return kErrUnexpected;
    link_.WriteString(EReadHeader(length, sector));
    if (!link_.ReadByte(ack, kDefaultText, kReplyTimeoutMs)) return kErrTimeout;
    if (ack != 0xC7) return kErrUnexpected;
    if (!link_.ReadBlock(buffer, length, kReplyTimeoutMs, prefix + Hex(sector, 2) + "0000"))
      return kErrTimeout;
    std::string sum;
    if (!link_.ReadString(sum, 4, kReplyTimeoutMs, kDefaultText)) return kErrTimeout;
    if (LittleEndian32(sum) == ByteSum(buffer, length)) return kOk;
    if (++retries > kMaxRetries) return kErrCrc;
    prefix = RetryPrefix(t, retries);
    link_.Progress(-static_cast<int32_t>(length));
  }
}

int EEngine::EProgram(uint8_t sector, uint32_t length, const uint8_t* buffer) {
  const EStatusTexts& t = link_.Texts;
  const uint32_t blockSize = EBlockSize(FlashInfo, sector);
  link_.Progress(0);
  std::string prefix = t.FlashingAt + " ";
  int retries = 0;
  for (uint32_t offset = 0; offset < length;) {
    // Never past the caller's length, even when it is not a whole number of blocks.
    const uint32_t n = std::min(blockSize, length - offset);
    const uint32_t address = sector * kESectorSize + offset;
    link_.WriteString(EProgramPacket(n, address));
    link_.WriteBlock(buffer + offset, n, prefix + Hex(address, 6));
    uint8_t ack = 0;
    if (!link_.ReadByte(ack, kDefaultText, kReplyTimeoutMs)) return kErrTimeout;
    if (ack != 0xCC) return kErrUnexpected;
    std::string sum;
    if (!link_.ReadString(sum, 4, kReplyTimeoutMs, kDefaultText)) return kErrTimeout;
    if (LittleEndian32(sum) == ByteSum(buffer + offset, n)) {
      offset += n;
      prefix = t.FlashingAt + " ";
      retries = 0;
      continue;
    }
    if (++retries > kMaxRetries) return kErrCrc;
    prefix = RetryPrefix(t, retries);
    link_.Progress(-static_cast<int32_t>(n));
  }
  return kOk;
}

int EEngine::EErase(uint8_t sector, uint32_t length) {
  const EStatusTexts& t = link_.Texts;
  const uint32_t blockSize = EBlockSize(FlashInfo, sector);
  link_.Progress(0);
  for (uint32_t offset = 0; offset < length;) {
    const uint32_t n = std::min(blockSize, length - offset);
    const uint32_t address = sector * kESectorSize + offset;
    const std::string text = t.ErasingAt + " " + Hex(address, 6);
    link_.Status(text + ", " + t.TimeOut + " 3");
    link_.WriteString(EErasePacket(n, address));
    std::string reply;
    if (!link_.ReadString(reply, 3, kReplyTimeoutMs, text)) return kErrTimeout;
    if (reply != "\xC0\xC5\xF6") return kErrUnexpected;
    offset += n;
    link_.Progress(static_cast<int32_t>(n));
  }
  return kOk;
}

}  // namespace brantle
