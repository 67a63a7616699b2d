// Feeds arbitrary bytes as a raw NAND image through the whole dump: mount, tree walk
// and file reads may not crash, hang or allocate beyond the image, and what comes out
// can never be more than the NAND holds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dif/DIFFiles.h"
#include "formats/stde_decoder.h"
#include "ui/ui.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

class SilentUi final : public brantle::Ui {
 public:
  brantle::Answer Message(brantle::MessageKind, const std::string&, brantle::Buttons) override {
    return brantle::Answer::Ok;
  }
  void SetProgressRange(int64_t, int64_t) override {}
  void SetProgressPosition(int64_t) override {}
  void StepProgress(int64_t) override {}
  void SetStatus(const std::string&) override {}
  void PumpMessages() override {}
  void ShowIdleState() override {}
  bool ChooseDIFs(std::vector<brantle::DIFChoice>&) override { return true; }
};

// Small enough that every run is quick, large enough for a volume of 16 blocks.
constexpr uint32_t kMaxSectors = 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brantle;
  const uint32_t sectors = static_cast<uint32_t>(std::min<size_t>((size + 511) / 512, kMaxSectors));
  std::vector<uint8_t> image(static_cast<size_t>(sectors) * 512, 0xFF);
  if (size > 0) std::memcpy(image.data(), data, std::min(size, image.size()));

  // The NAND claims the larger size of the family, so that reads past the image are
  // I/O failures and reads past the NAND "sector not found": both paths are exercised.
  MemorySectorSource source(image.data(), image.size(), sectors + 16);
  SilentUi ui;
  TDIFFile dif;
  std::vector<std::string> directories;
  DumpTFS(ui, source, dif, directories);
  uint64_t total = 0;
  for (const TDIFBlock& block : dif.Blocks) {
    Check(block.Kind == "TFSF");
    std::string name, contents;
    TDIFFile::GetTFSFile(block, name, contents);
    Check(!name.empty() && name[0] == '/');
    total += contents.size();
  }
  Check(total <= static_cast<uint64_t>(sectors + 16) * 512);
  for (const std::string& directory : directories) {
    Check(directory.size() >= 3 && directory.front() == '/' && directory.back() == '/');
  }
  return 0;
}
