// Decoding a full 16 MiB NAND dump (".tfr") into its files, in MiB/s of NAND, beside
// the speed of merely reading the file (goal: the decoder is limited by the reading,
// at least 200 MiB/s).

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "dif/DIFFiles.h"
#include "files/file_access.h"
#include "formats/stde_decoder.h"
#include "sim/tfs_volume_builder.h"
#include "ui/ui.h"

using namespace brantle;

namespace {

class QuietUi final : public Ui {
 public:
  Answer Message(MessageKind, const std::string&, Buttons) override { return Answer::Ok; }
  void SetProgressRange(int64_t, int64_t) override {}
  void SetProgressPosition(int64_t) override {}
  void StepProgress(int64_t) override {}
  void SetStatus(const std::string&) override {}
  void PumpMessages() override {}
  void ShowIdleState() override {}
  bool ChooseDIFs(std::vector<DIFChoice>&) override { return true; }
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  // About 14 MiB of files in a few folders fill the volume.
  sim::TfsVolumeBuilder builder;
  std::string contents(256 * 1024, '\0');
  for (size_t i = 0; i < contents.size(); ++i) contents[i] = static_cast<char>(i * 31 + (i >> 11));
  for (int f = 0; f < 56; ++f)
    builder.AddFile("/d" + std::to_string(f % 7) + "/file" + std::to_string(f) + ".bin", contents);
  const std::vector<uint8_t> image = builder.Build(kNandSectors);
  const std::string path = "/tmp/brantle-bench-nand-" + std::to_string(getpid()) + ".tfr";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  const double mib = image.size() / 1048576.0;

  double readBest = 1e9, decodeBest = 1e9;
  size_t files = 0;
  for (int round = 0; round < 3; ++round) {
    auto t0 = std::chrono::steady_clock::now();
    std::string bytes;
    if (ReadWholeFile(path, bytes) != FileStatus::Ok)
      return std::fprintf(stderr, "read failed\n"), 1;
    readBest = std::min(readBest, Seconds(t0));

    t0 = std::chrono::steady_clock::now();
    FileSectorSource source(kNandSectors);
    if (!source.Open(path)) return std::fprintf(stderr, "open failed\n"), 1;
    QuietUi ui;
    TDIFFile dif;
    std::vector<std::string> directories;
    TFSDumpOptions options;
    options.ShowCompletion = false;
    if (!DumpTFS(ui, source, dif, directories, options))
      return std::fprintf(stderr, "decode failed\n"), 1;
    decodeBest = std::min(decodeBest, Seconds(t0));
    files = dif.Blocks.size();
  }
  std::remove(path.c_str());
  std::printf(
      "16 MiB NAND dump, %zu files: reading the file %.0f MiB/s, decoding %.0f MiB/s "
      "(goal >= 200 MiB/s, limited by the reading)\n",
      files, mib / readBest, mib / decodeBest);
  return 0;
}
