#pragma once
// S3 files (Motorola S-records), the native firmware format of the OptiFlash phones.
// Records become "NORD" blocks of a DIF container and "NORD" blocks become records;
// the container, not a flat image, is the in-memory form, so sparse files stay small.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dif/DIFFiles.h"

namespace brantle {

class Ui;

constexpr size_t kS3AllLinesValid = static_cast<size_t>(-1);
constexpr char kS3HeaderLine[] = "S00600004844521B";
constexpr char kS3EndLine[] = "S70500000000FA";

// Record check of one line: even length of at least 6, the count (characters 3 and
// 4) matching the length, hexadecimal pairs throughout and a byte sum of 0xFF. bytes
// receives what lies between the count and the checksum (address, then data).
bool CheckS3Record(std::string_view line, std::string& bytes);

// One "S3" line (without line break) for up to 250 data bytes at address.
std::string BuildS3Record(uint32_t address, const char* data, size_t count);

// Turns S-record text into "NORD" blocks, fed in pieces of any size (a file is read
// in chunks, so a line may arrive split). Records that continue the previous one
// directly are joined into one block: the optimiser would join them anyway, and a
// 16 MiB image is a million records. Memory stays bounded by what the records hold:
// a line that is too long to be a valid record is refused without being buffered.
class S3Reader {
 public:
  // Called whenever a line whose index is a multiple of 1024 has been handled.
  using LineTick = void (*)(void* context);
  void SetLineTick(LineTick tick, void* context) {
    tick_ = tick;
    tickContext_ = context;
  }

  // False once a line has been found invalid; the rest of the text is not looked at.
  bool Feed(const char* data, size_t size);
  // Ends the text: the last line may lack its line break.
  bool Finish();

  // Zero-based index of the first invalid line, or kS3AllLinesValid.
  size_t InvalidLine() const { return invalidLine_; }
  size_t LineCount() const { return lineIndex_; }
  // The blocks in file order; empty after an invalid line.
  std::vector<TDIFBlock> TakeBlocks();

 private:
  enum class Pending { None, Buffering, Skipping };
  bool EndLine(std::string_view line);
  bool HandleLine(std::string_view line);
  bool Fail();
  void AppendData(uint64_t address, const char* data, size_t count);
  void CloseRun();

  std::vector<TDIFBlock> blocks_;
  std::string run_;  // payload of the block being joined: address, then data
  uint64_t runEnd_ = 0;
  std::string line_;  // a line split across Feed calls
  Pending pending_ = Pending::None;
  bool afterCR_ = false;
  size_t lineIndex_ = 0;
  size_t invalidLine_ = kS3AllLinesValid;
  LineTick tick_ = nullptr;
  void* tickContext_ = nullptr;
};

// The whole text at once: blocks in file order, and the index of the first invalid
// line or kS3AllLinesValid. blocks is empty after an invalid line.
size_t ParseS3Text(std::string_view text, std::vector<TDIFBlock>& blocks);

// Number of lines as the reader counts them (CR, LF or CR LF end a line; a last line
// without a break counts, an empty text has none).
size_t CountS3Lines(std::string_view text);

// The S3 text of every "NORD" block of the container, lines ended by CR LF: the
// header line, records that never cross a 16-byte aligned address window, the end
// line. Blocks of other kinds are ignored.
std::string S3Text(const TDIFFile& dif);

// Reads the file into the container as optimised "NORD" blocks, showing progress.
// An invalid line shows "Error: invalid S3 file, line N" and leaves the container as
// it was; a file that cannot be opened or read is reported with the context text.
bool ReadS3File(Ui& ui, const std::string& fileName, const std::string& context, TDIFFile& dif);

// Writes the container's "NORD" blocks as an S3 file, replacing any file of that
// name; a failure shows the context text and "could not create file".
bool WriteS3File(Ui& ui, const TDIFFile& dif, const std::string& fileName,
                 const std::string& context);

}  // namespace brantle
