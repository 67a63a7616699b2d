// Feeds arbitrary bytes through the comment reader: it may not crash or grow without
// bound, what it gives must be well-formed (runs of UTF-8 text, never empty, each
// style differing from the one before, sizes in range), the writer must give back the
// same document, and two written comments joined by the DIF optimiser must read as
// the first document's paragraphs followed by the second's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dif/DIFCore.h"
#include "dif/DIFFiles.h"
#include "formats/rtf_reader.h"
#include "formats/rtf_text.h"
#include "formats/rtf_writer.h"
#include "formats/utf8.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsUtf8(const std::string& text) {
  for (size_t at = 0; at < text.size();) {
    const size_t before = at;
    const uint32_t cp = brantle::NextCodePoint(text, at);
    // A lone byte above 0x7F is what the decoder returns for text that is not UTF-8.
    if (cp >= 0x80 && at == before + 1) return false;
  }
  return true;
}

void CheckWellFormed(const brantle::RtfDocument& document) {
  for (const brantle::RtfParagraph& paragraph : document.paragraphs) {
    for (size_t r = 0; r < paragraph.runs.size(); ++r) {
      const brantle::RtfRun& run = paragraph.runs[r];
      Check(!run.text.empty() && IsUtf8(run.text));
      Check(run.style.pointSize >= brantle::kRtfMinPointSize &&
            run.style.pointSize <= brantle::kRtfMaxPointSize);
      Check(r == 0 || !(paragraph.runs[r - 1].style == run.style));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brantle;
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = input.size() * data[0] / 255;

  const RtfDocument document = ReadRtf(input);
  CheckWellFormed(document);
  Check(ReadRtf(WriteRtf(document)) == document);
  RtfToPlainText(std::string(input));

  // The first part and the rest as two comments of one DIF.
  const RtfDocument first = ReadRtf(input.substr(0, split));
  const RtfDocument second = ReadRtf(input.substr(split));
  TDIFFile dif;
  dif.SetComment(dif.InsertBlock(0), WriteRtf(first));
  dif.SetComment(dif.InsertBlock(1), WriteRtf(second));
  OptimizeDIF(dif);
  Check(dif.Blocks.size() == 1);
  RtfDocument both = first;
  both.paragraphs.insert(both.paragraphs.end(), second.paragraphs.begin(), second.paragraphs.end());
  Check(ReadRtf(TDIFFile::GetComment(dif.Blocks[0])) == both);
  return 0;
}
