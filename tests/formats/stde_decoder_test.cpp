#include "formats/stde_decoder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "formats/formats_helpers.h"
#include "sim/tfs_volume_builder.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using sim::PutBe16;
using sim::PutBe32;
using sim::TfsVolumeBuilder;
using test::Filler;
using test::RecordingUi;
using test::TempDir;
using Files = std::vector<std::pair<std::string, std::string>>;

constexpr uint32_t kSectors = 2048;  // a 1 MiB volume of 2 KiB blocks
constexpr uint32_t kBlock = 2048;

TfsVolumeBuilder SmallBuilder() {
  TfsVolumeBuilder builder;
  builder.SetBlockSize(kBlock);
  return builder;
}

struct Dumped {
  bool ok = false;
  Files files;
  std::vector<std::string> directories;
  RecordingUi ui;
};

void DumpImage(const std::vector<uint8_t>& image, Dumped& out, uint32_t sectorCount = kNandSectors,
               const TFSDumpOptions& options = {}) {
  MemorySectorSource source(image.data(), image.size(), sectorCount);
  TDIFFile dif;
  out.ok = DumpTFS(out.ui, source, dif, out.directories, options);
  for (const TDIFBlock& block : dif.Blocks) {
    EXPECT_EQ(block.Kind, "TFSF");
    std::string name, contents;
    TDIFFile::GetTFSFile(block, name, contents);
    out.files.emplace_back(name, contents);
  }
}

int MountCode(const std::vector<uint8_t>& image, uint32_t sectorCount = kNandSectors) {
  MemorySectorSource source(image.data(), image.size(), sectorCount);
  TSTDEDecoder decoder(source);
  return decoder.Mount();
}

// Both superblock copies changed alike, so that only the changed field is wrong.
void PatchSuper(std::vector<uint8_t>& image, const TfsVolumeBuilder& builder, size_t offset,
                uint8_t value) {
  image[builder.BlockOffset(0) + offset] = value;
  image[builder.BlockOffset(1) + offset] = value;
}

std::vector<std::string> Errors(const RecordingUi& ui) {
  return ui.Texts(MessageKind::Error);
}

// A tree with nested folders, an empty folder, an empty file, a file over several
// clusters and a folder of more entries than one checksum group covers.
void AddSampleTree(TfsVolumeBuilder& builder, Files& expected) {
  const std::string big = Filler(5 * kBlock + 123, 1);
  builder.AddFile("/user/sounds/ring.mid", "MThd");
  builder.AddFile("/user/sounds/deep/big.bin", big);
  builder.AddFile("/user/empty.txt", "");
  builder.AddDirectory("/user/nothing");
  builder.AddFile("/boot.cfg", "x=1\n");
  expected = {{"/boot.cfg", "x=1\n"},
              {"/user/empty.txt", ""},
              {"/user/sounds/deep/big.bin", big},
              {"/user/sounds/ring.mid", "MThd"}};
  for (int i = 0; i < 150; ++i) {
    const std::string name = "/many/f" + std::to_string(1000 + i);
    const std::string contents = Filler(static_cast<size_t>(i) * 7, i);
    builder.AddFile(name, contents);
    expected.emplace_back(name, contents);
  }
  std::sort(expected.begin(), expected.end());
}

const std::vector<std::string> kSampleDirectories = {
    "/user/", "/user/sounds/", "/user/sounds/deep/", "/user/nothing/", "/many/"};

TEST(StdeDumpTest, RoundTripOfATreeGivesExactlyWhatWasBuilt) {
  TfsVolumeBuilder builder = SmallBuilder();
  Files expected;
  AddSampleTree(builder, expected);
  Dumped dumped;
  DumpImage(builder.Build(kSectors), dumped);
  EXPECT_TRUE(dumped.ok);
  EXPECT_TRUE(Errors(dumped.ui).empty());
  EXPECT_EQ(dumped.files, expected);
  EXPECT_EQ(dumped.directories, kSampleDirectories);
  EXPECT_EQ(dumped.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"TFS dumping completed."});
  EXPECT_EQ(dumped.ui.idleStates, 1);
  int64_t total = 0;
  for (const auto& file : expected) total += static_cast<int64_t>(file.second.size());
  EXPECT_EQ(dumped.ui.progressMax, total);
}

TEST(StdeDumpTest, StatusTextsFollowTheSteps) {
  TfsVolumeBuilder builder = SmallBuilder();
  builder.AddFile("/d/f", "abc");
  Dumped dumped;
  DumpImage(builder.Build(kSectors), dumped, kNandSectors, TFSDumpOptions{false, {}});
  const std::vector<std::string> wanted = {"Mounting volume",
                                           "Mounting volume: superblock 0",
                                           "Mounting volume: superblock 1",
                                           "Reading volume information",
                                           "Reading volume information: remap table 0",
                                           "Reading volume information: FAT 0",
                                           "Reading volume information: FAT 1",
                                           "Reading directory /",
                                           "Reading directory /d/",
                                           "Reading /d/f",
                                           "Unmounting volume"};
  EXPECT_EQ(dumped.ui.statuses, wanted);
  EXPECT_TRUE(dumped.ui.Texts(MessageKind::Information).empty());  // completion turned off
}

TEST(StdeDumpTest, CancelStopsWithoutCompletion) {
  TfsVolumeBuilder builder = SmallBuilder();
  builder.AddFile("/a", "1");
  Dumped dumped;
  DumpImage(builder.Build(kSectors), dumped, kNandSectors,
            TFSDumpOptions{true, [] { return true; }});
  EXPECT_FALSE(dumped.ok);
  EXPECT_TRUE(dumped.files.empty());
  EXPECT_TRUE(dumped.ui.Texts(MessageKind::Information).empty());
  EXPECT_EQ(dumped.ui.idleStates, 1);
}

TEST(StdeMountTest, SuperblockChecks) {
  TfsVolumeBuilder builder = SmallBuilder();
  builder.AddFile("/a", "1");
  const std::vector<uint8_t> good = builder.Build(kSectors);
  EXPECT_EQ(MountCode(good), kSTDEOk);

  std::vector<uint8_t> image = good;
  PatchSuper(image, builder, 0, 0x3E);
  EXPECT_EQ(MountCode(image), kSTDEInvalidSuperblock);
  image = good;
  PatchSuper(image, builder, 4, 0x21);
  EXPECT_EQ(MountCode(image), kSTDEInvalidSuperblock);
  image = good;
  PatchSuper(image, builder, 6, 0x05);  // version 0x0305
  EXPECT_EQ(MountCode(image), kSTDEUnsupportedVersion);
  image = good;
  PatchSuper(image, builder, 7, 0x29);  // 0x0303 with the tag of 0x0312
  EXPECT_EQ(MountCode(image), kSTDEInvalidSuperblock);
  image = good;
  PatchSuper(image, builder, 10, 0x00);  // block size 0x800 -> 0x0000
  PatchSuper(image, builder, 11, 0x00);
  EXPECT_EQ(MountCode(image), kSTDEInvalidSuperblock);
  image = good;
  PatchSuper(image, builder, 8, 0x7F);  // a block larger than the whole NAND
  EXPECT_EQ(MountCode(image), kSTDEInvalidSuperblock);
  image = good;
  PatchSuper(image, builder, 37, 0x00);  // copy of LastBlock differs from LastBlock
  EXPECT_EQ(MountCode(image), kSTDEInconsistentVolume);

  for (size_t offset : {size_t{0}, size_t{300}, size_t{511}}) {
    image = good;
    image[builder.BlockOffset(1) + offset] ^= 0x01;
    EXPECT_EQ(MountCode(image), kSTDESuperblockMismatch) << offset;
  }

  Dumped dumped;
  image = good;
  image[0] = 0x00;
  DumpImage(image, dumped);
  EXPECT_FALSE(dumped.ok);
  EXPECT_EQ(Errors(dumped.ui), std::vector<std::string>{"Operation aborted: invalid superblock"});
  EXPECT_TRUE(dumped.files.empty());
}

TEST(StdeMountTest, FatSectorChecks) {
  TfsVolumeBuilder builder = SmallBuilder();
  builder.AddFile("/a", "1");
  const std::vector<uint8_t> good = builder.Build(kSectors);
  const size_t page0 = builder.FatEntryOffset(0) - 4;
  std::vector<uint8_t> image = good;
  image[page0 + 3] = 0xFE;  // bytes 2-3 must be FF FF
  EXPECT_EQ(MountCode(image), kSTDEInvalidFAT);
  image = good;
  PutBe16(image, page0, 3);  // page 3 starts at cluster 762, past the 504 clusters
  EXPECT_EQ(MountCode(image), kSTDEInvalidFAT);
  image = good;
  PutBe16(image, page0, 1);  // page 1 starts at 254: within the volume
  EXPECT_EQ(MountCode(image), kSTDEOk);
}

// Two remap records in the remap area: the one that holds the spare assignment of
// the file's first cluster, and a stale one without it.
struct TwoRecords {
  TfsVolumeBuilder builder = SmallBuilder();
  std::string contents = Filler(3000, 9);
  std::vector<uint8_t> image;
  std::vector<uint8_t> real, stale;

  TwoRecords() {
    builder.AddFile("/f", contents);
    builder.Build(kSectors);
    builder.AssignSpare(0, builder.Chain("/f")[0]);
    image = builder.Build(kSectors);
    const size_t at = builder.RemapSectorOffset(0);
    real.assign(image.begin() + at, image.begin() + at + 512);
    stale = real;
    std::fill(stale.begin() + TfsVolumeBuilder::kRemap303Spares,
              stale.begin() + TfsVolumeBuilder::kRemap303Spares + 8, 0xFF);
  }
  void Put(uint32_t sector, const std::vector<uint8_t>& record, uint32_t generation) {
    std::vector<uint8_t> r = record;
    for (int i = 0; i < 4; ++i) {
      r[TfsVolumeBuilder::kRemap303Generation + i] = static_cast<uint8_t>(generation >> (8 * i));
    }
    std::copy(r.begin(), r.end(), image.begin() + builder.RemapSectorOffset(sector));
  }
  std::string Decoded() {
    Dumped dumped;
    DumpImage(image, dumped);
    EXPECT_EQ(dumped.files.size(), 1u);
    return dumped.files.empty() ? "" : dumped.files[0].second;
  }
};

TEST(StdeRemapTest, LaterRecordWinsOnEqualGenerationAndCountersAreLittleEndian) {
  TwoRecords v;
  EXPECT_EQ(v.Decoded(), v.contents);
  const std::string rubbish(kBlock, static_cast<char>(0xA5));

  v.Put(0, v.stale, 7);
  v.Put(1, v.real, 7);
  EXPECT_EQ(v.Decoded(), v.contents);
  v.Put(0, v.real, 7);
  v.Put(1, v.stale, 7);
  EXPECT_EQ(v.Decoded().substr(0, kBlock), rubbish);

  // Stored least significant byte first: 256 (00 01 00 00) beats 255 (FF 00 00 00).
  v.Put(0, v.real, 256);
  v.Put(1, v.stale, 255);
  EXPECT_EQ(v.Decoded(), v.contents);
  v.Put(0, v.stale, 256);
  v.Put(1, v.real, 255);
  EXPECT_EQ(v.Decoded().substr(0, kBlock), rubbish);
}

TEST(StdeRemapTest, BadBlockPairsAndSparesAreHonoured) {
  TfsVolumeBuilder builder = SmallBuilder();
  const std::string contents = Filler(3 * kBlock, 4);
  builder.AddFile("/dir/f", contents);
  builder.AddFile("/g", "gg");
  builder.Build(kSectors);
  const std::vector<uint32_t> chain = builder.Chain("/dir/f");
  const uint32_t dataStart = builder.layout().DataStart;
  builder.AddBadBlockPair(static_cast<uint16_t>(dataStart + chain[0]), 400);
  builder.AddBadBlockPair(static_cast<uint16_t>(dataStart + builder.Chain("/")[0]), 401);
  builder.AssignSpare(2, chain[2]);
  std::vector<uint8_t> image = builder.Build(kSectors);
  Dumped dumped;
  DumpImage(image, dumped);
  EXPECT_TRUE(dumped.ok);
  EXPECT_EQ(dumped.files, (Files{{"/dir/f", contents}, {"/g", "gg"}}));

  // Without the record's pairs and spares the same image reads other bytes.
  std::vector<uint8_t> noSpares = image;
  PutBe16(noSpares, builder.RemapSectorOffset(0) + TfsVolumeBuilder::kRemap303Spares + 4, 0xFFFF);
  Dumped withoutSpare;
  DumpImage(noSpares, withoutSpare);
  ASSERT_EQ(withoutSpare.files.size(), 2u);
  EXPECT_NE(withoutSpare.files[0].second, contents);
  EXPECT_EQ(withoutSpare.files[0].second.substr(2 * kBlock),
            std::string(kBlock, static_cast<char>(0xA5)));

  std::vector<uint8_t> noPairs = image;
  PutBe32(noPairs, builder.RemapSectorOffset(0) + 4, 0xFFFFFFFF);
  PutBe32(noPairs, builder.RemapSectorOffset(0) + 8, 0xFFFFFFFF);
  Dumped withoutPairs;
  DumpImage(noPairs, withoutPairs);
  EXPECT_NE(withoutPairs.files, dumped.files);
}

TEST(StdeRemapTest, RecordValuesAreCheckedBeforeUse) {
  TfsVolumeBuilder builder = SmallBuilder();
  builder.AddFile("/f", "x");
  const std::vector<uint8_t> good = builder.Build(kSectors);
  const size_t record = builder.RemapSectorOffset(0);
  std::vector<uint8_t> image = good;
  image[record + 1] = 0xFE;  // signature
  EXPECT_EQ(MountCode(image), kSTDEInvalidRemap);
  image = good;
  PutBe16(image, record + 4, 0);
  PutBe16(image, record + 6, 512);  // LastBlock is 511
  EXPECT_EQ(MountCode(image), kSTDEInvalidRemap);
  image = good;
  PutBe16(image, record + TfsVolumeBuilder::kRemap303Spares, 504);  // 504 clusters: 0..503
  EXPECT_EQ(MountCode(image), kSTDEInvalidRemap);
  image = good;
  PutBe16(image, record + TfsVolumeBuilder::kRemap303Spares, 503);
  EXPECT_EQ(MountCode(image), kSTDEOk);
  image = good;
  std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(record), 512, 0xFF);  // unused
  EXPECT_EQ(MountCode(image), kSTDEOk);
}

TEST(StdeRotationTest, PlacementByTheRule) {
  std::vector<uint32_t> p;
  ASSERT_TRUE(TfsRotationPlacement(8, 2, 5, 3, p));
  EXPECT_EQ(p, (std::vector<uint32_t>{4, 5, 0, 2, 3, 1, 6, 7}));
  ASSERT_TRUE(TfsRotationPlacement(5, 0, 0, 0, p));
  EXPECT_EQ(p, (std::vector<uint32_t>{0, 1, 2, 3, 4}));
  EXPECT_FALSE(TfsRotationPlacement(8, 8, 1, 0, p));
  EXPECT_FALSE(TfsRotationPlacement(8, 0, 5, 0, p));  // two runs of 5 in 8 slots
  EXPECT_FALSE(TfsRotationPlacement(0, 0, 0, 0, p));
}

TEST(StdeRotationTest, Version312WithRotationDecodesToTheSameFiles) {
  TfsVolumeBuilder old = SmallBuilder();
  Files expected;
  AddSampleTree(old, expected);
  TfsVolumeBuilder rotated = SmallBuilder();
  AddSampleTree(rotated, expected);
  rotated.SetVersion(0x0312);
  rotated.SetRotation(100, 240, 200);
  std::vector<uint8_t> image = rotated.Build(kSectors);
  const std::vector<uint32_t>& placement = rotated.Placement();
  size_t moved = 0;
  for (uint32_t s = 0; s < placement.size(); ++s) moved += placement[s] != s;
  EXPECT_GT(moved, 100u);

  Dumped a, b;
  DumpImage(old.Build(kSectors), a);
  DumpImage(image, b);
  EXPECT_TRUE(b.ok);
  EXPECT_TRUE(Errors(b.ui).empty());
  EXPECT_EQ(b.files, expected);
  EXPECT_EQ(b.files, a.files);
  EXPECT_EQ(b.directories, a.directories);

  // A spare and a bad-block swap in the rotating area (the root's block trades places
  // with another), and the record's own checks.
  rotated.AssignSpare(1, rotated.Chain("/user/sounds/deep/big.bin")[1]);
  const uint32_t rootBlock = static_cast<uint32_t>(rotated.ClusterOffset(3) / kBlock);
  ASSERT_NE(rootBlock, rotated.layout().RemapStart);
  ASSERT_NE(450u, rotated.layout().RemapStart);
  rotated.AddBadBlockPair(static_cast<uint16_t>(rootBlock), 450);
  image = rotated.Build(kSectors);
  Dumped c;
  DumpImage(image, c);
  EXPECT_EQ(c.files, expected);
  const size_t record = rotated.RemapSectorOffset(0);
  std::vector<uint8_t> bad = image;
  bad[record + 492] = 0xAB;
  EXPECT_EQ(MountCode(bad), kSTDEInvalidRemap);
  bad = image;
  PutBe16(bad, record + 494, 509);  // R0 must lie in the 509 slots
  EXPECT_EQ(MountCode(bad), kSTDEInvalidRemap);
  bad = image;
  PatchSuper(bad, rotated, 7, 0x27);
  EXPECT_EQ(MountCode(bad), kSTDEInvalidSuperblock);
}

TEST(StdeDirectoryTest, WrongNameChecksumFailsThatDirectoryOnly) {
  TfsVolumeBuilder builder = SmallBuilder();
  builder.AddFile("/a/x", "xx");
  builder.AddFile("/a/y", "yy");
  builder.AddFile("/b/z", "zz");
  builder.Build(kSectors);
  for (int variant = 0; variant < 3; ++variant) {
    std::vector<uint8_t> image = builder.Build(kSectors);
    const size_t entry = builder.EntryOffset("/a/y");
    if (variant == 0) image[entry + TfsVolumeBuilder::kEntryChecksum] ^= 1;
    if (variant == 1) image[entry - 4 * 128 + 3] ^= 1;  // the group's byte for entry 3
    if (variant == 2) image[entry + TfsVolumeBuilder::kEntryName] = 'Y';
    Dumped dumped;
    DumpImage(image, dumped);
    EXPECT_TRUE(dumped.ok) << variant;
    EXPECT_EQ(Errors(dumped.ui),
              std::vector<std::string>{"Error reading directory /a/: invalid directory"})
        << variant;
    // What was read before the bad entry is kept, and the rest of the dump goes on.
    EXPECT_EQ(dumped.files, (Files{{"/a/x", "xx"}, {"/b/z", "zz"}})) << variant;
    EXPECT_EQ(dumped.directories, (std::vector<std::string>{"/a/", "/b/"}));
  }
}

TEST(StdeHostileTest, LoopsAndOutsideClustersEndCleanly) {
  TfsVolumeBuilder builder = SmallBuilder();
  const std::string big = Filler(3 * kBlock, 2);
  builder.AddFile("/loop.bin", big);
  builder.AddFile("/far.bin", "far");
  builder.AddFile("/a/b/c.txt", "c");
  builder.AddFile("/ok.txt", "ok");
  const std::vector<uint8_t> good = builder.Build(kSectors);
  const std::vector<uint32_t> chain = builder.Chain("/loop.bin");

  std::vector<uint8_t> image = good;
  PutBe16(image, builder.FatEntryOffset(chain[1]), static_cast<uint16_t>(chain[0]));
  PutBe32(image, builder.EntryOffset("/far.bin") + TfsVolumeBuilder::kEntryFirstCluster, 60000);
  PutBe32(image, builder.EntryOffset("/a/b") + TfsVolumeBuilder::kEntryFirstCluster,
          builder.Chain("/a")[0]);  // /a/b is /a again
  Dumped dumped;
  DumpImage(image, dumped);
  EXPECT_TRUE(dumped.ok);
  EXPECT_EQ(dumped.files, (Files{{"/loop.bin", big.substr(0, 2 * kBlock)}, {"/ok.txt", "ok"}}));
  EXPECT_EQ(Errors(dumped.ui),
            (std::vector<std::string>{"Error reading directory /a/b/: invalid directory",
                                      "Error reading file: /far.bin: block not found"}));

  // A size larger than the chain holds leaves the file short, without an error.
  image = good;
  PutBe32(image, builder.EntryOffset("/ok.txt") + TfsVolumeBuilder::kEntrySize, 0xFFFFFFFF);
  Dumped longer;
  DumpImage(image, longer);
  EXPECT_TRUE(Errors(longer.ui).empty());
  ASSERT_EQ(longer.files.size(), 4u);
  EXPECT_EQ(longer.files[3].first, "/ok.txt");
  EXPECT_EQ(longer.files[3].second.substr(0, 2), "ok");
  EXPECT_EQ(longer.files[3].second.size(), kBlock);  // its one cluster, whole

  // A FAT entry leading outside, and a directory pointing back at the root.
  image = good;
  PutBe16(image, builder.FatEntryOffset(chain[0]), 0xFFFF);
  PutBe32(image, builder.EntryOffset("/a") + TfsVolumeBuilder::kEntryFirstCluster, 3);
  Dumped second;
  DumpImage(image, second);
  EXPECT_EQ(Errors(second.ui),
            (std::vector<std::string>{"Error reading directory /a/: invalid directory",
                                      "Error reading file: /loop.bin: block not found"}));
  EXPECT_EQ(second.files, (Files{{"/far.bin", "far"}, {"/ok.txt", "ok"}}));
}

TEST(StdeHostileTest, OverlongPathsAreNotFollowed) {
  TfsVolumeBuilder builder = SmallBuilder();
  std::string path;
  std::vector<std::string> listed;
  for (int level = 0; level < 11; ++level) {
    path += "/" + std::string(99, static_cast<char>('a' + level)) + "_";
    if (level < 10) listed.push_back(path + "/");  // up to 1010 bytes with the slashes
  }
  builder.AddFile(path + "/deep", "d");
  builder.AddFile("/top", "t");
  Dumped dumped;
  DumpImage(builder.Build(kSectors), dumped);
  EXPECT_TRUE(dumped.ok);
  EXPECT_EQ(dumped.directories, listed);
  EXPECT_EQ(dumped.files, (Files{{"/top", "t"}}));
  EXPECT_EQ(Errors(dumped.ui),
            std::vector<std::string>{"Error reading directory " + path + "/: invalid directory"});
}

TEST(StdeHostileTest, DotRecordCountMustFitTheChain) {
  TfsVolumeBuilder builder = SmallBuilder();
  builder.AddFile("/d/f", "f");
  const std::vector<uint8_t> good = builder.Build(kSectors);
  const size_t dot = builder.ClusterOffset(builder.Chain("/d")[0]) + 128;
  for (uint32_t records : {0u, 1u, 17u, 0xFFFFFFFFu}) {
    std::vector<uint8_t> image = good;
    PutBe32(image, dot + TfsVolumeBuilder::kEntrySize, records);
    MemorySectorSource source(image.data(), image.size(), kNandSectors);
    TSTDEDecoder decoder(source);
    ASSERT_EQ(decoder.Mount(), kSTDEOk);
    std::vector<TFSEntry> entries;
    EXPECT_EQ(decoder.ReadDirectory(builder.Chain("/d")[0], entries), kSTDEInvalidDirectory)
        << records;
    EXPECT_EQ(decoder.ReadDirectory(3, entries), kSTDEOk);
  }
  std::vector<uint8_t> image = good;
  image[dot + TfsVolumeBuilder::kEntryName] = '!';
  MemorySectorSource source(image.data(), image.size(), kNandSectors);
  TSTDEDecoder decoder(source);
  ASSERT_EQ(decoder.Mount(), kSTDEOk);
  std::vector<TFSEntry> entries;
  EXPECT_EQ(decoder.ReadDirectory(builder.Chain("/d")[0], entries), kSTDEInvalidDirectory);
  EXPECT_EQ(decoder.ReadDirectory(0, entries), kSTDEBlockNotFound);
  EXPECT_EQ(decoder.ReadDirectory(504, entries), kSTDEBlockNotFound);
}

TEST(StdeSourceTest, SectorLimitsOfTheFamilies) {
  EXPECT_EQ(NandSectorCount("E800"), 65536u);
  EXPECT_EQ(NandSectorCount("E700"), 32768u);
  EXPECT_EQ(NandSectorCount("E330"), 32768u);
  TempDir dir;
  const std::string path = dir.File("nand.tfr");
  { std::ofstream out(path, std::ios::binary); }
  ASSERT_EQ(::truncate(path.c_str(), 65536LL * 512), 0);  // sparse: reads as zeros
  uint8_t buffer[2 * 512];
  FileSectorSource e800(NandSectorCount("E800"));
  ASSERT_TRUE(e800.Open(path));
  EXPECT_EQ(e800.ReadSectors(65535, 1, buffer), kSTDEOk);
  EXPECT_EQ(e800.ReadSectors(65535, 2, buffer), kSTDESectorNotFound);
  FileSectorSource e700(NandSectorCount("E700"));
  ASSERT_TRUE(e700.Open(path));
  EXPECT_EQ(e700.ReadSectors(32767, 1, buffer), kSTDEOk);
  EXPECT_EQ(e700.ReadSectors(32767, 2, buffer), kSTDESectorNotFound);
  EXPECT_EQ(e700.ReadSectors(32768, 1, buffer), kSTDESectorNotFound);
  EXPECT_EQ(e700.ReadSectors(0xFFFFFFFFu, 2, buffer), kSTDESectorNotFound);

  ASSERT_EQ(::truncate(path.c_str(), 100 * 512 + 7), 0);  // a dump that ends early
  EXPECT_EQ(e700.ReadSectors(99, 1, buffer), kSTDEOk);
  EXPECT_EQ(e700.ReadSectors(100, 1, buffer), kSTDEIOFailure);
  FileSectorSource missing(kNandSectors);
  EXPECT_FALSE(missing.Open(dir.File("none.tfr")));
  EXPECT_EQ(missing.ReadSectors(0, 1, buffer), kSTDEIOFailure);
}

TEST(StdeSourceTest, A32MiBVolumeNeedsTheE800Limit) {
  TfsVolumeBuilder builder;  // 16 KiB blocks: 2048 blocks in 32 MiB
  const std::string contents = Filler(20000, 5);
  builder.AddFile("/far/f", contents);
  builder.Build(kNandSectorsE800);
  builder.AssignSpare(3, builder.Chain("/far/f")[1]);  // near the end of the NAND
  const std::vector<uint8_t> image = builder.Build(kNandSectorsE800);
  TempDir dir;
  const std::string path = dir.File("e800.tfr");
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
  }
  for (const char* family : {"E800", "E700"}) {
    FileSectorSource source(NandSectorCount(family));
    ASSERT_TRUE(source.Open(path));
    RecordingUi ui;
    TDIFFile dif;
    std::vector<std::string> directories;
    EXPECT_TRUE(DumpTFS(ui, source, dif, directories));
    if (std::string(family) == "E800") {
      ASSERT_EQ(dif.Blocks.size(), 1u);
      std::string name, bytes;
      TDIFFile::GetTFSFile(dif.Blocks[0], name, bytes);
      EXPECT_EQ(bytes, contents);
      EXPECT_TRUE(Errors(ui).empty());
    } else {
      EXPECT_TRUE(dif.Blocks.empty());
      EXPECT_EQ(Errors(ui),
                std::vector<std::string>{"Error reading file: /far/f: sector not found"});
    }
  }
}

TEST(StdeDumpTest, EmptyFileGivesAnEmptyBlock) {
  TfsVolumeBuilder builder = SmallBuilder();
  builder.AddFile("/zero", "");
  Dumped dumped;
  DumpImage(builder.Build(kSectors), dumped);
  EXPECT_EQ(dumped.files, (Files{{"/zero", ""}}));
  EXPECT_TRUE(builder.Chain("/zero").empty());
}

}  // namespace
}  // namespace brantle
