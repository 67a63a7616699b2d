// The fuzz targets' seeds must stay valid inputs of their readers: a seed that no
// longer parses leaves its fuzzer stuck at the first check again.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "dif/DIFFiles.h"
#include "engine/ktze_flashes_opti.h"
#include "files/ini_document.h"
#include "formats/rtf_reader.h"
#include "formats/s3_file.h"
#include "formats/stde_decoder.h"
#include "formats/tfs_pair.h"
#include "fuzz/seeds/format_seeds.h"
#include "fuzz/seeds/tfs_fuzz_input.h"
#include "fuzz/seeds/tfs_seeds.h"
#include "support/recording_ui.h"

namespace brantle {
namespace {

using fuzz::Seed;
using fuzz::TfsFuzzNand;
using fuzz::TfsFuzzNandOf;
using fuzz::TfsSeed;

TfsFuzzNand NandOf(const std::string& input) {
  return TfsFuzzNandOf(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

int MountCode(const std::string& input) {
  const TfsFuzzNand nand = NandOf(input);
  MemorySectorSource source(nand.Image.data(), nand.Image.size(), nand.SectorCount);
  TSTDEDecoder decoder(source);
  return decoder.Mount();
}

const TfsSeed& SeedNamed(const std::vector<TfsSeed>& seeds, const std::string& name) {
  for (const TfsSeed& seed : seeds) {
    if (seed.Name == name) return seed;
  }
  throw std::out_of_range("no seed " + name);
}

TEST(FuzzSeedsTest, EveryTfsSeedDecodesToTheTreeItWasBuiltFrom) {
  std::set<uint16_t> versions;
  for (const TfsSeed& seed : fuzz::TfsSeeds()) {
    SCOPED_TRACE(seed.Name);
    EXPECT_LT(seed.Input.size(), fuzz::kTfsFuzzSectors * 512);
    const TfsFuzzNand nand = NandOf(seed.Input);
    MemorySectorSource source(nand.Image.data(), nand.Image.size(), nand.SectorCount);
    TSTDEDecoder decoder(source);
    ASSERT_EQ(decoder.Mount(), kSTDEOk);
    versions.insert(decoder.Version());

    test::RecordingUi ui;
    TDIFFile dif;
    std::vector<std::string> directories;
    EXPECT_TRUE(DumpTFS(ui, source, dif, directories));
    EXPECT_TRUE(ui.Texts(MessageKind::Error).empty());
    std::vector<std::pair<std::string, std::string>> files;
    for (const TDIFBlock& block : dif.Blocks) {
      std::string name, contents;
      TDIFFile::GetTFSFile(block, name, contents);
      files.emplace_back(name, contents);
    }
    EXPECT_EQ(files, seed.Files);
    EXPECT_EQ(directories, seed.Directories);
  }
  EXPECT_EQ(versions, (std::set<uint16_t>{0x0303, 0x0312}));
}

TEST(FuzzSeedsTest, TfsInputMirrorsTheSuperblockOnlyWhenAsked) {
  const std::string good = SeedNamed(fuzz::TfsSeeds(), "layout303").Input;
  std::string input = good;
  input[1 + 31] ^= 1;  // the cluster count, checked after the copies are compared
  EXPECT_EQ(MountCode(input), kSTDEInconsistentVolume);
  input[0] = 0;
  EXPECT_EQ(MountCode(input), kSTDESuperblockMismatch);
  input = good;
  input[0] = 0;
  EXPECT_EQ(MountCode(input), kSTDEOk);  // the seed carries its copy too
}

TEST(FuzzSeedsTest, TfsInputReadsErasedPastItsEndUnlessAShortDump) {
  const std::string head = SeedNamed(fuzz::TfsSeeds(), "layout303").Input.substr(0, 1 + 512);
  const TfsFuzzNand erased = NandOf(head);
  ASSERT_EQ(erased.Image.size(), fuzz::kTfsFuzzSectors * 512);
  EXPECT_EQ(erased.Image[512 + 20], 0x00);  // the mirrored superblock's 1 at 20..23
  EXPECT_EQ(erased.Image[512 + 23], 0x01);
  EXPECT_EQ(erased.Image[2 * 512], 0xFF);
  // The mirrored superblock, an erased remap area and FAT: a volume without a tree.
  EXPECT_EQ(MountCode(head), kSTDEOk);

  std::string cut = head;
  cut[0] = static_cast<char>(fuzz::kTfsFuzzMirrorSuperblock | fuzz::kTfsFuzzShortDump);
  EXPECT_EQ(NandOf(cut).Image.size(), 512u);
  EXPECT_EQ(NandOf(cut).SectorCount, fuzz::kTfsFuzzSectors);
  EXPECT_EQ(MountCode(cut), kSTDEIOFailure);
}

TEST(FuzzSeedsTest, DifSeedsParseAndCoverBothFormsAndEveryKind) {
  std::set<std::string> headers, kinds;
  for (const Seed& seed : fuzz::DifSeeds()) {
    SCOPED_TRACE(seed.Name);
    TDIFFile dif;
    ASSERT_EQ(ParseDIF(seed.Input, dif), kDIFOk);
    EXPECT_EQ(dif.CheckBlockKinds(KnownDIFKinds()), kDIFOk);
    headers.insert(seed.Input.substr(0, 4));
    for (const TDIFBlock& block : dif.Blocks) kinds.insert(block.Kind);
  }
  EXPECT_EQ(headers, (std::set<std::string>{"KTZD", "KTZZ"}));
  EXPECT_EQ(kinds, std::set<std::string>(KnownDIFKinds().begin(), KnownDIFKinds().end()));
}

TEST(FuzzSeedsTest, TextSeedsReadWhole) {
  for (const Seed& seed : fuzz::S3Seeds()) {
    std::vector<TDIFBlock> blocks;
    EXPECT_EQ(ParseS3Text(seed.Input.substr(1), blocks), kS3AllLinesValid) << seed.Name;
    EXPECT_EQ(blocks.size(), 3u) << seed.Name;
  }
  for (const Seed& seed : fuzz::CfgSeeds()) {
    CfgContents contents;
    EXPECT_EQ(ParseCfg(seed.Input, contents), CfgError::None) << seed.Name;
    EXPECT_FALSE(contents.Files.empty()) << seed.Name;
    EXPECT_FALSE(contents.Directories.empty()) << seed.Name;
  }
  for (const Seed& seed : fuzz::IniSeeds()) {
    IniDocument document;
    document.Parse(seed.Input);
    EXPECT_FALSE(document.Truncated()) << seed.Name;
    ASSERT_FALSE(document.Sections().empty()) << seed.Name;
    EXPECT_GE(document.Keys(document.Sections().back()).size(), 1u) << seed.Name;
  }
  for (const Seed& seed : fuzz::RtfSeeds()) {
    const RtfDocument document = ReadRtf(seed.Input.substr(1));
    ASSERT_GE(document.paragraphs.size(), 2u) << seed.Name;
    EXPECT_FALSE(document.paragraphs[0].runs.empty()) << seed.Name;
  }
}

TEST(FuzzSeedsTest, OptiInfoSeedsNameUsableChips) {
  for (const Seed& seed : fuzz::OptiInfoSeeds()) {
    OptiFlash flash;
    ParseOptiInfo(flash, seed.Input);
    EXPECT_EQ(flash.chips[0].Usable, 1) << seed.Name;
    EXPECT_FALSE(flash.OptiBlockList.empty()) << seed.Name;
    EXPECT_FALSE(flash.BaudList.empty()) << seed.Name;
  }
}

}  // namespace
}  // namespace brantle
