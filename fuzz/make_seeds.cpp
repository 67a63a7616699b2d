// brantle-fuzz-seeds FOLDER: writes the seed corpus of every fuzz target into
// FOLDER/<target>/, one file per seed; scripts/run-fuzz runs it before fuzzing.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/seeds/format_seeds.h"
#include "fuzz/seeds/tfs_seeds.h"

namespace {

using brantle::fuzz::Seed;

std::vector<Seed> TfsDecodeSeeds() {
  std::vector<Seed> seeds;
  for (const brantle::fuzz::TfsSeed& volume : brantle::fuzz::TfsSeeds())
    seeds.push_back({volume.Name, volume.Input});
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: brantle-fuzz-seeds FOLDER\n");
    return 2;
  }
  namespace fs = std::filesystem;
  using namespace brantle::fuzz;
  const std::vector<std::pair<std::string, std::vector<Seed>>> corpora = {
      {"fuzz_tfs_decode", TfsDecodeSeeds()}, {"fuzz_dif_load", DifSeeds()},
      {"fuzz_s3_read", S3Seeds()},           {"fuzz_cfg_read", CfgSeeds()},
      {"fuzz_ini_parse", IniSeeds()},        {"fuzz_rtf_read", RtfSeeds()},
      {"fuzz_opti_info", OptiInfoSeeds()}};
  for (const auto& [target, seeds] : corpora) {
    const fs::path folder = fs::path(argv[1]) / target;
    std::error_code error;
    fs::remove_all(folder, error);  // seeds a newer version no longer makes go too
    fs::create_directories(folder, error);
    for (const Seed& seed : seeds) {
      std::ofstream out(folder / seed.Name, std::ios::binary);
      out.write(seed.Input.data(), static_cast<std::streamsize>(seed.Input.size()));
      if (!out.flush()) {
        std::fprintf(stderr, "brantle-fuzz-seeds: cannot write %s\n",
                     (folder / seed.Name).c_str());
        return 1;
      }
    }
  }
  return 0;
}
