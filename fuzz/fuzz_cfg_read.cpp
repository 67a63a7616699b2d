// Feeds arbitrary text through the CFG reader: it may not crash, and a CFG it accepts
// must survive being written out again with data of the sizes it claims.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/tfs_pair.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Le32(uint32_t v) {
  return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brantle;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CfgContents contents;
  if (ParseCfg(text, contents) != CfgError::None) {
    Check(contents.Files.empty() && contents.Directories.empty());
    return 0;
  }
  uint64_t total = 0;
  for (const CfgFile& file : contents.Files) {
    total = file.Size > UINT64_MAX - total ? UINT64_MAX : total + file.Size;
  }
  Check(total == contents.TotalSize);
  if (total > 65536) return 0;

  TDIFFile dif;
  for (const CfgFile& file : contents.Files) {
    TDIFBlock block;
    TDIFFile::SetTFSFile(block, file.Path, std::string(file.Size, 'x'));
    dif.Blocks.push_back(block);
  }
  if (!CfgCanHold(dif, &contents.Directories)) return 0;
  CfgContents again;
  Check(ParseCfg(CfgText(dif, &contents.Directories), again) == CfgError::None);
  size_t kept = 0;
  for (const CfgFile& file : contents.Files) {
    if (file.Size == 0) continue;
    Check(kept < again.Files.size());
    Check(again.Files[kept].Path == file.Path && again.Files[kept].Size == file.Size);
    ++kept;
  }
  Check(kept == again.Files.size());
  return 0;
}
