// Feeds arbitrary bytes as a raw NAND image through the whole dump: mount, tree walk
// and file reads may not crash, hang or allocate beyond the image, and what comes out
// can never be more than the NAND holds. The input is a small image with options
// (fuzz/seeds/tfs_fuzz_input.h), so that mutations of the seed volumes stay volumes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "dif/DIFFiles.h"
#include "formats/stde_decoder.h"
#include "fuzz/seeds/tfs_fuzz_input.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brantle;
  const fuzz::TfsFuzzNand nand = fuzz::TfsFuzzNandOf(data, size);
  MemorySectorSource source(nand.Image.data(), nand.Image.size(), nand.SectorCount);
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
  Check(total <= static_cast<uint64_t>(nand.SectorCount) * kNandSectorSize);
  for (const std::string& directory : directories) {
    Check(directory.size() >= 3 && directory.front() == '/' && directory.back() == '/');
  }
  return 0;
}
