#include "fuzz/seeds/tfs_seeds.h"

#include <algorithm>

#include "fuzz/seeds/tfs_fuzz_input.h"
#include "sim/tfs_volume_builder.h"

namespace brantle::fuzz {
namespace {

using sim::TfsVolumeBuilder;

std::string Pattern(size_t n, uint32_t seed) {
  std::string out(n, '\0');
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<char>((i * 131 + seed * 7) >> 2);
  return out;
}

// Nested folders, an empty folder, an empty file, a one-byte file, a file of exactly
// one 512-byte block and one over three of them. Entries are added so that visiting
// the tree meets the folders in the order they are listed.
class SeedTree {
 public:
  explicit SeedTree(TfsVolumeBuilder& builder) : builder_(builder) {
    File("/readme.txt", Pattern(100, 1));
    File("/user/one.txt", "1");
    File("/user/empty.txt", "");
    File("/user/sounds/ring tone.mid", Pattern(512, 2));
    File("/user/sounds/deep/big.bin", Pattern(1300, 3));
    builder_.AddDirectory("/user/nothing");
    directories_ = {"/user/", "/user/sounds/", "/user/sounds/deep/", "/user/nothing/"};
  }

  // A folder of more entries than one name checksum record covers.
  void AddCrowdedFolder() {
    for (int i = 0; i < 130; ++i) File("/many/f" + std::to_string(100 + i), i % 40 ? "" : "m");
    directories_.push_back("/many/");
  }

  TfsSeed Seed(const std::string& name, uint32_t sectors) {
    TfsSeed seed;
    seed.Name = name;
    seed.Input = TfsFuzzInputOf(builder_.Build(sectors));
    seed.Files = files_;
    std::sort(seed.Files.begin(), seed.Files.end());
    seed.Directories = directories_;
    return seed;
  }

 private:
  void File(const std::string& path, const std::string& bytes) {
    builder_.AddFile(path, bytes);
    files_.emplace_back(path, bytes);
  }

  TfsVolumeBuilder& builder_;
  std::vector<std::pair<std::string, std::string>> files_;
  std::vector<std::string> directories_;
};

// A freshly formatted volume of the smallest size: superblocks, remap record, FAT and
// an empty root.
TfsSeed Formatted() {
  TfsVolumeBuilder builder;
  builder.SetBlockSize(512);
  TfsSeed seed;
  seed.Name = "formatted303";
  seed.Input = TfsFuzzInputOf(builder.Build(16));
  return seed;
}

TfsSeed Layout303() {
  TfsVolumeBuilder builder;
  builder.SetBlockSize(512);
  return SeedTree(builder).Seed("layout303", 64);
}

// Clusters scattered by the rotation, one of them in a spare, and the root's block
// swapped with a bad one.
TfsSeed Layout312() {
  TfsVolumeBuilder builder;
  builder.SetBlockSize(512);
  builder.SetVersion(0x0312);
  builder.SetRotation(10, 30, 22);
  builder.SetGeneration(3);
  SeedTree tree(builder);
  builder.Build(64);
  builder.AssignSpare(1, builder.Chain("/user/sounds/deep/big.bin")[1]);
  const size_t rootBlock = builder.ClusterOffset(TfsVolumeBuilder::kRootCluster) / 512;
  builder.AddBadBlockPair(static_cast<uint16_t>(rootBlock), 50);
  return tree.Seed("layout312_rotated", 64);
}

// Blocks of two sectors, two remap blocks, a spare, a bad-block pair and a crowded
// folder.
TfsSeed Layout303LargeBlocks() {
  TfsVolumeBuilder builder;
  builder.SetBlockSize(1024);
  builder.SetRemapBlocks(2);
  builder.SetGeneration(7);
  SeedTree tree(builder);
  tree.AddCrowdedFolder();
  builder.Build(96);
  builder.AssignSpare(2, builder.Chain("/readme.txt")[0]);
  builder.AddBadBlockPair(static_cast<uint16_t>(builder.layout().DataStart + 4), 40);
  return tree.Seed("layout303_blocks1024", 96);
}

}  // namespace

std::vector<TfsSeed> TfsSeeds() {
  return {Formatted(), Layout303(), Layout312(), Layout303LargeBlocks()};
}

}  // namespace brantle::fuzz
