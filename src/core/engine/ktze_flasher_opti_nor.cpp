// NOR commands of the OptiFlash loader: SUCK reads a range, OPEN and CLOS open and
// close one erase block, TXDT programs bytes into the open block. There is no erase
// command: the loader prepares a block when it is opened, in the mode we state
// (0x11 the whole block will be written, 0x13 only part of it).

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/ktze_flasher_opti.h"
#include "engine/opti_crc.h"
#include "engine/opti_frames.h"
#include "engine/result_codes.h"

namespace brantle {
namespace {

constexpr int kMaxRetries = 3;
constexpr uint8_t kModeWhole = 0x11;
constexpr uint8_t kModePart = 0x13;

std::string Hex(uint32_t address) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", address);
  return buf;
}

std::string LE16(uint16_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
}

// Block index within its chip, then chip index: how OPEN and CLOS name a block.
std::string BlockName(const OptiBlock& block) {
  return LE16(block.index) + LE16(block.chip);
}

}  // namespace

int OptiEngine::ReadNOR(uint32_t address, uint32_t length, uint8_t* buffer) {
  if (BlockOpen) {
    if (const int r = CloseBlock(); r != kOk) return r;
  }
  const EStatusTexts& t = link_.Texts;
  link_.Progress(0);
  std::string prefix = t.ReadingAt + " ";
  int crcErrors = 0;
  // A loader that reports no read limit still gets pieces it can answer.
  const uint32_t chunk =
      std::min(Flash.MaxReadChunk ? Flash.MaxReadChunk : kOptiMaxPayload, kOptiMaxPayload);
  std::string payload;
  for (uint32_t done = 0; done < length;) {
    const uint32_t n = std::min(length - done, chunk);
    const std::string text = prefix + Hex(address + done);
    link_.Status(text);
    SendLoaderFrame(link_, "SUCK", LE32(address + done) + LE32(n));
    const int r = ReceiveLoaderReply(link_, "SUCK", payload, text, true);
    if (r == kErrCrc) {
      if (++crcErrors > kMaxRetries) return kErrCrc;
      prefix = t.CRCErrorRetry + std::to_string(crcErrors) + " " + t.CRCErrorRetryAt + " ";
      link_.Progress(-static_cast<int32_t>(n));
      continue;
    }
    if (r != kOk) return r;
    if (payload.size() != n) return kErrUnexpected;
    std::memcpy(buffer + done, payload.data(), n);
    done += n;
  }
  return kOk;
}

int OptiEngine::OpenBlock(uint32_t address, uint32_t length) {
  if (BlockOpen && address >= OpenBlockStart && address - OpenBlockStart < OpenBlockSize) {
    const bool whole = address == OpenBlockStart && length >= OpenBlockSize;
    // Already open for this write, unless a block opened to be written whole must
    // now keep what lies outside the new piece: then it is opened again, unclosed.
    if (whole || OpenMode == kModePart) return kOk;
  } else if (BlockOpen) {
    if (const int r = CloseBlock(); r != kOk) return r;
  }
  const auto& blocks = Flash.OptiBlockList;
  const uint32_t bank = address >> 16;
  if (bank >= Flash.BankMap.size()) return kErrAddress;
  const int32_t entry = Flash.BankMap[bank];
  if (entry < 0 || static_cast<size_t>(entry) >= blocks.size()) return kErrAddress;

  // The block holding the bank's first byte starts at its chip's base plus the
  // sizes of the chip's blocks before it; walk forward from there.
  size_t index = static_cast<size_t>(entry);
  const OptiChip& chip = Flash.chips[blocks[index].chip];
  uint64_t start = chip.BaseAddress;
  for (size_t before = 1; before <= blocks[index].index && before <= index; ++before)
    start += blocks[index - before].size;
  while (address >= start + blocks[index].size) {
    start += blocks[index].size;
    if (++index >= blocks.size()) return kErrAddress;
  }
  const OptiBlock& block = blocks[index];
  OpenBlockIndex = static_cast<int32_t>(index);
  OpenBlockStart = static_cast<uint32_t>(start);
  OpenBlockSize = block.size;
  OpenMode = (address == OpenBlockStart && length >= OpenBlockSize) ? kModeWhole : kModePart;

  std::string payload = BlockName(block) + LE32(OpenBlockStart) + LE32(OpenBlockSize);
  payload += std::string{static_cast<char>(OpenMode), 0, 0, 0, static_cast<char>(0xFF), 0, 0, 0};
  link_.Status(link_.Texts.FlashingAt + " " + Hex(address));
  SendLoaderFrame(link_, "OPEN", payload);
  std::string reply;
  const int r = ReceiveLoaderReply(link_, "OPEN", reply, kDefaultText, false);
  if (r == kOk) BlockOpen = true;
  return r;
}

int OptiEngine::CloseBlock() {
  if (!BlockOpen) return kOk;
  link_.Status(link_.Texts.FlashingAt + " " + Hex(OpenBlockStart));
  SendLoaderFrame(link_, "CLOS", BlockName(Flash.OptiBlockList[OpenBlockIndex]));
  std::string reply;
  if (const int r = ReceiveLoaderReply(link_, "CLOS", reply, kDefaultText, false); r != kOk)
    return r;
  BlockOpen = false;
  return kOk;
}

int OptiEngine::WriteNOR(uint32_t address, uint32_t length, const uint8_t* buffer) {
  link_.Progress(0);
  const std::string prefix = link_.Texts.FlashingAt + " ";
  const uint32_t maxPiece = Flash.MaxWriteChunk;
  if (maxPiece == 0 && length > 0) return kErrAddress;  // no identified flash to write to
  for (uint32_t done = 0; done < length;) {
    const uint32_t p = address + done;
    const uint32_t remaining = length - done;
    if (const int r = OpenBlock(p, std::min(remaining, maxPiece)); r != kOk) return r;
    const uint32_t n = std::min({remaining, OpenBlockStart + OpenBlockSize - p, maxPiece});
    const std::string text = prefix + Hex(p);
    std::string request(48, '\0');
    std::memcpy(&request[0], LE32(p).data(), 4);
    std::memcpy(&request[4], LE32(n).data(), 4);
    request[8] = request[12] = request[16] = 1;
    std::memcpy(&request[24], LE32(n).data(), 4);
    std::memcpy(&request[28], LE32(FrameCRC(buffer + done, n)).data(), 4);
    link_.Status(text);
    SendLoaderFrame(link_, "TXDT", request);
    link_.WriteBlock(buffer + done, n, text);
    std::string reply;
    if (const int r = ReceiveLoaderReply(link_, "TXDT", reply, kDefaultText, false); r != kOk)
      return r;
    done += n;
  }
  return kOk;
}

}  // namespace brantle
