#include "engine/ktze_flashes_opti.h"

#include <cstdio>

#include "engine/text_fields.h"

namespace brantle {

namespace {

constexpr uint32_t kBankSize = 65536;

// Offsets in the loader's hardware information block.
constexpr size_t kChipCountOffset = 4;
constexpr size_t kChipOffset = 8;
constexpr size_t kChipStride = 20;
constexpr size_t kMaxWriteChunkOffset = 88;
constexpr size_t kMaxReadChunkOffset = 92;
constexpr size_t kBaudListOffset = 96;

// Callers check the length first; the block is a byte string from the line.
uint32_t ReadLE32(const std::string& block, size_t offset) {
  const auto byte = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<uint8_t>(block[offset + i]));
  };
  return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

uint8_t WriteMethodOf(const std::string& text) {
  if (text == "UNLOCK_BYPASS") return 1;
  if (text == "PAGE_BUFFER") return 2;
  // The loader knows three methods; PAGE_BUFFER32 is driven exactly like STANDARD.
  return 0;
}

// Fills BankMap for a usable chip whose blocks are OptiBlockList[first..]. The map only
// grows: a chip identified after a higher one must not cut off that chip's banks.
void MapBanks(OptiFlash& flash, size_t first, uint32_t base, uint32_t total) {
  const size_t b0 = base / kBankSize;
  const size_t banks = total / kBankSize;
  if (flash.BankMap.size() < b0 + banks) flash.BankMap.resize(b0 + banks, -1);
  size_t block = first;
  uint64_t blockStart = base;
  for (size_t i = 0; i < banks; ++i) {
    const uint64_t address = static_cast<uint64_t>(base) + i * kBankSize;
    while (block + 1 < flash.OptiBlockList.size() &&
           blockStart + flash.OptiBlockList[block].size <= address) {
      blockStart += flash.OptiBlockList[block].size;
      ++block;
    }
    flash.BankMap[b0 + i] = static_cast<int32_t>(block);
  }
}

}  // namespace

// Forgets the limits and speeds as well: they belong to the identification, and a rejected
// information block must not leave a previous phone's speeds for the speed switch.
void ResetOptiFlash(OptiFlash& flash) {
  flash = OptiFlash{};
}

void IdentifyOptiChip(OptiFlash& flash, int k, uint8_t maker, uint32_t device, uint32_t base) {
  if (k < 0 || k >= static_cast<int>(flash.chips.size())) return;
  OptiChip& chip = flash.chips[k];
  chip.Present = 1;
  chip.MakerID = maker;
  chip.DeviceID = device;

  for (const char* row : OptiFlashTable) {
    std::string text = row;
    std::string field;
    NextField(text, field);
    if (HexToInt(field) != maker) continue;
    NextField(text, field);
    if (HexToInt(field) != device) continue;

    NextField(text, chip.MakerName);
    NextField(text, chip.ModelName);
    NextField(text, field);
    chip.IntelCommands = field == "INTEL" ? 1 : 0;
    NextField(text, field);
    chip.WriteMethod = WriteMethodOf(field);
    chip.BlockCount = 0;
    chip.BaseAddress = base;

    const size_t first = flash.OptiBlockList.size();
    uint64_t total = 0;
    while (!text.empty()) {
      std::string countText;
      std::string sizeText;
      NextField(text, countText);
      NextField(text, sizeText);
      const int64_t count = DecimalToInt(countText);
      const int64_t sizeKb = DecimalToInt(sizeText);
      if (count <= 0 || sizeKb <= 0) continue;
      const uint32_t blockSize = static_cast<uint32_t>(sizeKb * 1024);
      for (int64_t i = 0; i < count; ++i) {
        flash.OptiBlockList.push_back(
            {static_cast<uint16_t>(k), static_cast<uint16_t>(chip.BlockCount), blockSize});
        ++chip.BlockCount;
      }
      total += static_cast<uint64_t>(count) * blockSize;
    }
    chip.TotalSize = static_cast<uint32_t>(total);

    // A chip reaching past the 32-bit address space cannot be mapped; keeping base + size
    // representable also spares every later address computation a wrap-around.
    const bool aligned = base % kBankSize == 0 && total % kBankSize == 0;
    if (aligned && static_cast<uint64_t>(base) + total <= UINT32_MAX) {
      chip.Usable = 1;
      MapBanks(flash, first, base, chip.TotalSize);
    }
    return;
  }
}

void ParseOptiInfo(OptiFlash& flash, const std::string& block) {
  if (block.size() < kOptiInfoMinSize) return;
  ResetOptiFlash(flash);
  const uint32_t n = ReadLE32(block, kChipCountOffset);
  if (n < 1 || n > 4) return;

  for (uint32_t k = 0; k < n; ++k) {
    const size_t at = kChipOffset + kChipStride * k;
    const uint32_t base = ReadLE32(block, at + 16);
    const int index = static_cast<int>(k);
    IdentifyOptiChip(flash, index, static_cast<uint8_t>(ReadLE32(block, at) >> 16),
                     ReadLE32(block, at + 4), base);
    // Some chips answer with a second ID pair; blocks added by the first try stay listed.
    if (!flash.chips[k].Usable) {
      IdentifyOptiChip(flash, index, static_cast<uint8_t>(ReadLE32(block, at + 8) >> 16),
                       ReadLE32(block, at + 12), base);
    }
  }

  flash.MaxWriteChunk = ReadLE32(block, kMaxWriteChunkOffset);
  flash.MaxReadChunk = ReadLE32(block, kMaxReadChunkOffset);
  for (const OptiBlock& entry : flash.OptiBlockList) {
    if (entry.size > flash.MaxWriteChunk) {
      ResetOptiFlash(flash);
      return;
    }
  }

  flash.BaudList.clear();
  for (size_t at = kBaudListOffset;; at += 4) {
    if (block.size() - at < 4) {
      ResetOptiFlash(flash);
      return;
    }
    const int32_t value = static_cast<int32_t>(ReadLE32(block, at));
    if (value == 0) break;
    if (value > 0) flash.BaudList.push_back(static_cast<uint32_t>(value));
  }
  if (flash.BaudList.empty()) ResetOptiFlash(flash);
}

OptiSummary SummarizeOptiFlash(const OptiFlash& flash, const std::string& flashesText) {
  OptiSummary summary;
  int count = 0;
  for (int k = 0; k < static_cast<int>(flash.chips.size()); ++k) {
    const OptiChip& chip = flash.chips[k];
    if (!chip.Present) continue;
    if (!chip.Usable) {
      summary.ok = false;
      summary.failedChip = k;
      return summary;
    }
    count = k + 1;
  }

  summary.info.Known = 1;
  if (count == 1) {
    summary.info.MakerName = flash.chips[0].MakerName;
    summary.info.ModelName = flash.chips[0].ModelName;
    return summary;
  }
  summary.info.MakerName = std::to_string(count);
  summary.info.ModelName = flashesText;
  for (int i = 0; i < count; ++i) {
    const OptiChip& chip = flash.chips[i];
    const uint64_t mbit = (static_cast<uint64_t>(chip.TotalSize) * 8 + 524288) / 1048576;
    char base[9];
    std::snprintf(base, sizeof base, "%08X", static_cast<unsigned>(chip.BaseAddress));
    // The help hint wants its lines split by LF CR, with nothing after the last one.
    if (i > 0) summary.hint += "\x0A\x0D";
    summary.hint += std::to_string(i) + ": " + chip.MakerName + " " + chip.ModelName + ", " +
                    std::to_string(mbit) + " Mbit in " + std::to_string(chip.BlockCount) +
                    " sectors at " + base;
  }
  return summary;
}

}  // namespace brantle
