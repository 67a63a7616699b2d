#include "formats/s3_file.h"

#include <array>
#include <cstring>
#include <vector>

#include "dif/DIFCore.h"
#include "files/file_access.h"
#include "formats/input_file_problem.h"
#include "lang/lang_get.h"
#include "ui/ui.h"

namespace brantle {
namespace {

// The longest line that can pass the record check: count 0xFF.
constexpr size_t kLongestRecordLine = 0xFF * 2 + 4;
constexpr size_t kProgressLines = 1024;
constexpr size_t kChunk = 1 << 20;
constexpr uint64_t kAddressSpace = uint64_t{1} << 32;

constexpr std::array<int8_t, 256> MakeHexTable() {
  std::array<int8_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = -1;
  for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<int8_t>(i);
  for (int i = 0; i < 6; ++i) {
    table['A' + i] = static_cast<int8_t>(10 + i);
    table['a' + i] = static_cast<int8_t>(10 + i);
  }
  return table;
}
constexpr std::array<int8_t, 256> kHexValue = MakeHexTable();
constexpr char kHexDigits[] = "0123456789ABCDEF";

// -1 unless both characters are hexadecimal digits.
inline int HexPair(char high, char low) {
  const int h = kHexValue[static_cast<unsigned char>(high)];
  const int l = kHexValue[static_cast<unsigned char>(low)];
  return (h | l) < 0 ? -1 : (h << 4) | l;
}

// The record check; out receives count - 1 bytes (at most 254).
bool DecodeRecord(std::string_view line, uint8_t* out, size_t& outCount) {
  const size_t size = line.size();
  if (size < 6 || size % 2 != 0) return false;
  const int count = HexPair(line[2], line[3]);
  if (count < 0 || size != static_cast<size_t>(count) * 2 + 4) return false;
  unsigned sum = static_cast<unsigned>(count);
  const char* p = line.data() + 4;
  for (int i = 0; i < count; ++i, p += 2) {  // the last pair is the checksum
    const int value = HexPair(p[0], p[1]);
    if (value < 0) return false;
    if (i < count - 1) out[i] = static_cast<uint8_t>(value);
    sum += static_cast<unsigned>(value);
  }
  outCount = static_cast<size_t>(count) - 1;
  return (sum & 0xFF) == 0xFF;
}

// Header, record counts (S5 of 16 bits, S6 of 24 bits, as tools write them after the
// data) and end records: skipped without being checked.
bool IsSkippedType(char type) {
  return type == '0' || type == '5' || type == '6' || type == '7' || type == '8' || type == '9';
}

bool IsLineBreak(char c) {
  return c == '\r' || c == '\n';
}

const char* FindLineBreak(const char* p, const char* end) {
  while (p < end && !IsLineBreak(*p)) ++p;
  return p;
}

// Counts lines over pieces of text as the reader splits them.
class LineCounter {
 public:
  void Feed(const char* p, size_t size) {
    for (const char* end = p + size; p < end; ++p) {
      const char c = *p;
      if (c == '\n' && afterCR_) {
        afterCR_ = false;
        continue;
      }
      afterCR_ = c == '\r';
      if (IsLineBreak(c)) {
        ++lines_;
        open_ = false;
      } else {
        open_ = true;
      }
    }
  }
  size_t Count() const { return lines_ + (open_ ? 1 : 0); }

 private:
  size_t lines_ = 0;
  bool open_ = false;
  bool afterCR_ = false;
};

constexpr std::array<char, 512> MakeHexPairs() {
  std::array<char, 512> pairs{};
  for (int i = 0; i < 256; ++i) {
    pairs[2 * i] = kHexDigits[i >> 4];
    pairs[2 * i + 1] = kHexDigits[i & 0xF];
  }
  return pairs;
}
constexpr std::array<char, 512> kHexPairs = MakeHexPairs();

inline void PutHexByte(char*& out, uint8_t value) {
  out[0] = kHexPairs[2 * value];
  out[1] = kHexPairs[2 * value + 1];
  out += 2;
}

// Writes one "S3" record at out and advances out past it.
void PutRecord(char*& out, uint32_t address, const uint8_t* data, size_t count) {
  const uint8_t recordCount = static_cast<uint8_t>(count + 5);
  unsigned sum = recordCount;
  *out++ = 'S';
  *out++ = '3';
  PutHexByte(out, recordCount);
  for (int shift = 24; shift >= 0; shift -= 8) {
    const uint8_t byte = static_cast<uint8_t>(address >> shift);
    sum += byte;
    PutHexByte(out, byte);
  }
  for (size_t i = 0; i < count; ++i) {
    sum += data[i];
    PutHexByte(out, data[i]);
  }
  PutHexByte(out, static_cast<uint8_t>(0xFF - (sum & 0xFF)));
}

// Produces the S3 text through a fixed buffer handed to a sink piece by piece, so
// that a 16 MiB image never needs its 48 MiB of text in memory at once.
class S3Emitter {
 public:
  using Sink = bool (*)(void* target, const char* data, size_t size);
  S3Emitter(Sink sink, void* target) : sink_(sink), target_(target), buffer_(kBuffer) {}

  void Line(const char* text) {
    const size_t length = std::strlen(text);
    Room(length + 2);
    std::memcpy(buffer_.data() + used_, text, length);
    used_ += length;
    buffer_[used_++] = '\r';
    buffer_[used_++] = '\n';
  }

  // The records of one "NORD" block, each within one 16-byte address window.
  void Block(const TDIFBlock& block) {
    uint64_t address = NORAddress(block);
    const auto* data = reinterpret_cast<const uint8_t*>(NORDataBytes(block));
    size_t left = NORDataLength(block);
    // Bytes past the end of the 32-bit address space cannot be addressed by a record.
    if (address + left > kAddressSpace) left = static_cast<size_t>(kAddressSpace - address);
    while (left > 0) {
      size_t count = 16 - static_cast<size_t>(address % 16);
      if (count > left) count = left;
      Room(kLongestWrittenLine);
      char* out = buffer_.data() + used_;
      PutRecord(out, static_cast<uint32_t>(address), data, count);
      *out++ = '\r';
      *out++ = '\n';
      used_ = static_cast<size_t>(out - buffer_.data());
      address += count;
      data += count;
      left -= count;
    }
  }

  bool Finish() {
    Drain();
    return ok_;
  }

 private:
  static constexpr size_t kBuffer = 1 << 18;
  static constexpr size_t kLongestWrittenLine = 14 + 2 * 16 + 2;

  void Room(size_t size) {
    if (kBuffer - used_ < size) Drain();
  }
  void Drain() {
    if (used_ > 0 && ok_) ok_ = sink_(target_, buffer_.data(), used_);
    used_ = 0;
  }

  Sink sink_;
  void* target_;
  std::vector<char> buffer_;
  size_t used_ = 0;
  bool ok_ = true;
};

// Emits the whole file, with the writer's progress when a Ui is given.
bool EmitS3(const TDIFFile& dif, Ui* ui, S3Emitter::Sink sink, void* target) {
  if (ui) {
    ui->SetProgressRange(0, static_cast<int64_t>(dif.Blocks.size()) - 1);
    ui->SetProgressPosition(0);
    ui->SetStatus(LangGet("Status_Processing_S3"));
  }
  S3Emitter emitter(sink, target);
  emitter.Line(kS3HeaderLine);
  for (size_t i = 0; i < dif.Blocks.size(); ++i) {
    if (dif.Blocks[i].Kind == "NORD") emitter.Block(dif.Blocks[i]);
    if (ui) {
      ui->SetProgressPosition(static_cast<int64_t>(i));
      ui->PumpMessages();
    }
  }
  emitter.Line(kS3EndLine);
  return emitter.Finish();
}

bool AppendToString(void* target, const char* data, size_t size) {
  static_cast<std::string*>(target)->append(data, size);
  return true;
}

bool WriteToFile(void* target, const char* data, size_t size) {
  return static_cast<ReplacementFile*>(target)->Write(data, size);
}

void StepProgress(void* context) {
  Ui* ui = static_cast<Ui*>(context);
  ui->StepProgress(static_cast<int64_t>(kProgressLines));
  ui->PumpMessages();
}

}  // namespace

bool CheckS3Record(std::string_view line, std::string& bytes) {
  uint8_t buffer[256];
  size_t count = 0;
  bytes.clear();
  if (!DecodeRecord(line, buffer, count)) return false;
  bytes.assign(reinterpret_cast<const char*>(buffer), count);
  return true;
}

std::string BuildS3Record(uint32_t address, const char* data, size_t count) {
  if (count > 250) count = 250;
  std::string line(14 + 2 * count, '\0');
  char* out = line.data();
  PutRecord(out, address, reinterpret_cast<const uint8_t*>(data), count);
  return line;
}

bool S3Reader::Feed(const char* data, size_t size) {
  if (invalidLine_ != kS3AllLinesValid) return false;
  const char* p = data;
  const char* const end = data + size;
  if (afterCR_ && p < end) {
    if (*p == '\n') ++p;
    afterCR_ = false;
  }
  while (p < end) {
    const char* const lineEnd = FindLineBreak(p, end);
    const std::string_view piece(p, static_cast<size_t>(lineEnd - p));
    if (lineEnd == end) {
      // An unfinished line: keep only what can still matter for its verdict.
      if (pending_ == Pending::Skipping) break;
      line_.append(piece.data(), piece.size());
      pending_ = Pending::Buffering;
      if (line_[0] != 'S') return Fail();
      if (line_.size() < 2) break;
      const char type = line_[1];
      if (IsSkippedType(type)) {
        pending_ = Pending::Skipping;
        line_.clear();
      } else if (type < '1' || type > '3' || line_.size() > kLongestRecordLine) {
        return Fail();
      }
      break;
    }
    bool ok;
    if (pending_ == Pending::None) {
      ok = EndLine(piece);
    } else if (pending_ == Pending::Skipping) {
      ok = EndLine(std::string_view("S0", 2));
    } else {
      line_.append(piece.data(), piece.size());
      ok = EndLine(line_);
    }
    pending_ = Pending::None;
    line_.clear();
    if (!ok) return false;
    p = lineEnd + 1;
    if (*lineEnd == '\r') {
      if (p == end)
        afterCR_ = true;
      else if (*p == '\n')
        ++p;
    }
  }
  return true;
}

bool S3Reader::Finish() {
  if (invalidLine_ != kS3AllLinesValid) return false;
  if (pending_ != Pending::None) {
    const bool ok =
        pending_ == Pending::Skipping ? EndLine(std::string_view("S0", 2)) : EndLine(line_);
    pending_ = Pending::None;
    line_.clear();
    if (!ok) return false;
  }
  CloseRun();
  return true;
}

std::vector<TDIFBlock> S3Reader::TakeBlocks() {
  std::vector<TDIFBlock> blocks = std::move(blocks_);
  blocks_.clear();
  return blocks;
}

bool S3Reader::EndLine(std::string_view line) {
  if (!HandleLine(line)) return false;
  if (tick_ && lineIndex_ % kProgressLines == 0) tick_(tickContext_);
  ++lineIndex_;
  return true;
}

bool S3Reader::HandleLine(std::string_view line) {
  if (line.size() < 2 || line[0] != 'S') return Fail();
  if (IsSkippedType(line[1])) return true;
  size_t width;
  switch (line[1]) {
    case '1':
      width = 2;
      break;
    case '2':
      width = 3;
      break;
    case '3':
      width = 4;
      break;
    default:
      return Fail();
  }
  uint8_t bytes[256];
  size_t count = 0;
  if (!DecodeRecord(line, bytes, count) || count <= width) return Fail();
  uint64_t address = 0;
  for (size_t i = 0; i < width; ++i) address = (address << 8) | bytes[i];
  const size_t dataCount = count - width;
  if (address + dataCount > kAddressSpace) return Fail();
  AppendData(address, reinterpret_cast<const char*>(bytes + width), dataCount);
  return true;
}

bool S3Reader::Fail() {
  invalidLine_ = lineIndex_;
  blocks_.clear();
  blocks_.shrink_to_fit();
  run_.clear();
  run_.shrink_to_fit();
  line_.clear();
  return false;
}

void S3Reader::AppendData(uint64_t address, const char* data, size_t count) {
  if (run_.empty() || runEnd_ != address) {
    CloseRun();
    const uint32_t a = static_cast<uint32_t>(address);
    const char prefix[4] = {static_cast<char>(a), static_cast<char>(a >> 8),
                            static_cast<char>(a >> 16), static_cast<char>(a >> 24)};
    run_.assign(prefix, 4);
  }
  run_.append(data, count);
  runEnd_ = address + count;
}

void S3Reader::CloseRun() {
  if (run_.empty()) return;
  blocks_.emplace_back();
  TDIFFile::SetBlockKind(blocks_.back(), "NORD");
  blocks_.back().Data = std::move(run_);
  run_.clear();
}

size_t ParseS3Text(std::string_view text, std::vector<TDIFBlock>& blocks) {
  S3Reader reader;
  if (reader.Feed(text.data(), text.size())) reader.Finish();
  blocks = reader.TakeBlocks();
  return reader.InvalidLine();
}

size_t CountS3Lines(std::string_view text) {
  LineCounter counter;
  counter.Feed(text.data(), text.size());
  return counter.Count();
}

std::string S3Text(const TDIFFile& dif) {
  std::string text;
  EmitS3(dif, nullptr, &AppendToString, &text);
  return text;
}

bool ReadS3File(Ui& ui, const std::string& fileName, const std::string& context, TDIFFile& dif) {
  const auto fail = [&](const std::string& detail) {
    ui.Error(context + " " + detail);
    ui.ShowIdleState();
    return false;
  };
  InputFile file;
  if (!file.Open(fileName)) return fail(OpenFailure(fileName));
  std::vector<char> chunk(kChunk);

  // The progress bar counts lines, so they are counted before the records are read.
  LineCounter counter;
  for (;;) {
    const int64_t got = file.Read(chunk.data(), chunk.size());
    if (got < 0) return fail(LangGet("Err_Read_File"));
    if (got == 0) break;
    counter.Feed(chunk.data(), static_cast<size_t>(got));
  }
  const int64_t lines = static_cast<int64_t>(counter.Count());
  if (!file.Open(fileName)) return fail(OpenFailure(fileName));

  ui.SetProgressRange(0, lines);
  ui.SetProgressPosition(0);
  ui.SetStatus(LangGet("Status_Processing_S3"));
  S3Reader reader;
  reader.SetLineTick(&StepProgress, &ui);
  for (;;) {
    const int64_t got = file.Read(chunk.data(), chunk.size());
    if (got < 0) return fail(LangGet("Err_Read_File"));
    if (got == 0 || !reader.Feed(chunk.data(), static_cast<size_t>(got))) break;
  }
  reader.Finish();
  if (reader.InvalidLine() != kS3AllLinesValid) {
    ui.Error(LangGet("Err_Invalid_S3") + " " + std::to_string(reader.InvalidLine()));
    ui.ShowIdleState();
    return false;
  }
  ui.SetProgressPosition(lines);
  std::vector<TDIFBlock> blocks = reader.TakeBlocks();
  dif.Blocks.reserve(dif.Blocks.size() + blocks.size());
  for (TDIFBlock& block : blocks) dif.Blocks.push_back(std::move(block));
  blocks = std::vector<TDIFBlock>();
  OptimizeDIF(dif, ui);
  ui.ShowIdleState();
  return true;
}

bool WriteS3File(Ui& ui, const TDIFFile& dif, const std::string& fileName,
                 const std::string& context) {
  ReplacementFile file;
  const bool ok = file.Open(fileName) && EmitS3(dif, &ui, &WriteToFile, &file) && file.Commit();
  ui.ShowIdleState();
  if (ok) return true;
  ui.Error(context + " " + LangGet("Err_Create_File"));
  return false;
}

}  // namespace brantle
