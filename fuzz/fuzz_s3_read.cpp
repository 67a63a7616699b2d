// Feeds arbitrary text through the S-record reader, whole and in pieces: it may not
// crash or buffer without bound, both ways must agree, and what it accepts must be
// addressable NOR data that the writer turns back into the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "formats/s3_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brantle;
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 19;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  std::vector<TDIFBlock> whole;
  const size_t invalid = ParseS3Text(text, whole);

  S3Reader reader;
  for (size_t at = 0; at < text.size(); at += piece) {
    const size_t n = text.size() - at < piece ? text.size() - at : piece;
    if (!reader.Feed(text.data() + at, n)) break;
  }
  reader.Finish();
  const std::vector<TDIFBlock> pieces = reader.TakeBlocks();
  Check(reader.InvalidLine() == invalid);
  Check(pieces.size() == whole.size());
  for (size_t i = 0; i < whole.size(); ++i) Check(pieces[i].Data == whole[i].Data);

  if (invalid != kS3AllLinesValid) {
    Check(whole.empty());
    Check(invalid <= CountS3Lines(text));
    return 0;
  }
  Check(reader.LineCount() == CountS3Lines(text));
  TDIFFile dif;
  for (const TDIFBlock& block : whole) {
    Check(block.Kind == "NORD" && NORDataLength(block) > 0);
    Check(uint64_t{NORAddress(block)} + NORDataLength(block) <= (uint64_t{1} << 32));
    dif.Blocks.push_back(block);
  }
  // Blocks that do not overlap come back exactly as they went out.
  std::vector<TDIFBlock> again;
  Check(ParseS3Text(S3Text(dif), again) == kS3AllLinesValid);
  std::string before, after;
  for (const TDIFBlock& block : whole) before += block.Data.substr(4);
  for (const TDIFBlock& block : again) after += block.Data.substr(4);
  Check(before == after);
  return 0;
}
