#include "formats/s500_files.h"

#include <gtest/gtest.h>

#include "formats/formats_helpers.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::Nord;
using test::RecordingUi;
using test::TempDir;

TDIFFile DifOf(std::vector<TDIFBlock> blocks) {
  TDIFFile dif;
  dif.Blocks = std::move(blocks);
  return dif;
}

TEST(S500WindowsTest, TileTheFirmwareAreaInNorOrder) {
  uint32_t next = 0;
  for (S500Part part : {kS500Bin1, kS500Ogm1, kS500Bin2, kS500Ogm2}) {
    EXPECT_EQ(S500WindowOf(part).Base, next);
    next = S500WindowOf(part).Last + 1;
  }
  EXPECT_EQ(next, kS500FirmwareEnd);
  EXPECT_TRUE(S500FileFits(kS500Bin1, 0x700000));
  EXPECT_FALSE(S500FileFits(kS500Bin1, 0x700001));
  EXPECT_TRUE(S500FileFits(kS500Ogm2, 0x290000));
  EXPECT_FALSE(S500FileFits(kS500Ogm2, 0x290001));
  EXPECT_FALSE(S500FileFits(kS500Bin2, 0x470001));
  EXPECT_FALSE(S500FileFits(kS500Ogm1, 0x100001));
}

TEST(S500ReadTest, FilesBecomeBlocksAtTheirWindowBase) {
  TempDir dir;
  const std::string bin1 = test::Filler(0x700000, 1);
  dir.Write("fw_1.bin", bin1);
  dir.Write("fw_1.ogm", "ogm one");
  dir.Write("fw_2.ogm", "");
  RecordingUi ui;
  TDIFFile dif;
  S500Names names;
  names[kS500Bin1] = dir.File("fw_1.bin");
  names[kS500Ogm1] = dir.File("fw_1.ogm");
  names[kS500Ogm2] = dir.File("fw_2.ogm");
  ASSERT_TRUE(ReadS500Files(ui, dif, names));
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(dif.Blocks.size(), 3u);
  EXPECT_EQ(dif.Blocks[0].Data, test::Le32(0) + bin1);
  EXPECT_EQ(dif.Blocks[1].Data, test::Le32(0x700000) + "ogm one");
  EXPECT_EQ(dif.Blocks[2].Data, test::Le32(0xC70000));
  for (const TDIFBlock& block : dif.Blocks) EXPECT_EQ(block.Kind, "NORD");

  TDIFFile onlyOgm;
  S500Names ogm;
  ogm[kS500Ogm1] = dir.File("fw_1.ogm");
  ASSERT_TRUE(ReadS500Files(ui, onlyOgm, ogm));
  ASSERT_EQ(onlyOgm.Blocks.size(), 1u);
  EXPECT_EQ(NORAddress(onlyOgm.Blocks[0]), 0x700000u);
}

TEST(S500ReadTest, OversizedFilesAreRejectedByName) {
  TempDir dir;
  dir.Write("big_1.bin", std::string(0x700001, '\0'));
  dir.Write("big_2.ogm", std::string(0x290001, '\0'));
  dir.Write("ok_1.ogm", "fine");
  struct Case {
    S500Part part;
    const char* file;
    std::string text;
  };
  const Case cases[] = {
      {kS500Bin1, "big_1.bin", "Operation aborted: invalid BIN1 file"},
      {kS500Ogm2, "big_2.ogm", "Operation aborted: invalid OGM2 file"},
      {kS500Bin2, "missing_2.bin",
       "Operation aborted: " + dir.File("missing_2.bin") + ": No such file or directory"},
  };
  for (const Case& c : cases) {
    RecordingUi ui;
    TDIFFile dif;
    S500Names names;
    names[kS500Ogm1] = dir.File("ok_1.ogm");  // read first, kept; the caller discards
    names[c.part] = dir.File(c.file);
    EXPECT_FALSE(ReadS500Files(ui, dif, names)) << c.file;
    ASSERT_EQ(ui.messages.size(), 1u) << c.file;
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(ui.messages[0].text, c.text);
  }
}

TEST(S500SplitTest, BlockAcrossTheFirstBoundary) {
  const std::string data = "0123456789ABCDEF";
  for (bool trim : {false, true}) {
    const S500Images out = SplitS500(DifOf({Nord(0x6FFFF8, data)}), trim);
    EXPECT_EQ(out[kS500Bin1].size(), 0x700000u);
    EXPECT_EQ(out[kS500Bin1].substr(0x6FFFF8), "01234567");
    EXPECT_EQ(out[kS500Ogm1], "89ABCDEF");
    EXPECT_EQ(out[kS500Bin2], "");
    EXPECT_EQ(out[kS500Ogm2], "");
    if (trim) {
      EXPECT_EQ(out[kS500Bin1], std::string(0x6FFFF8, '\xFF') + "01234567");
    }
  }
}

TEST(S500SplitTest, FullDumpWithTrimming) {
  // A 16 MiB dump: BIN2 holds data up to 0x8FFFFF and 0xFF after it, and the EEPROM
  // from 0xF00000 belongs to no file.
  std::string image(0x1000000, '\xFF');
  image.replace(0, 0x500000, test::Filler(0x500000, 2));
  image[0x4FFFFF] = 'z';
  image.replace(0x800000, 0x100000, test::Filler(0x100000, 3));
  image[0x8FFFFF] = 'x';
  image.replace(0xC70000, 0x10, "ogm2 start......");
  image.replace(0xF00000, 0x100000, std::string(0x100000, 'E'));
  const S500Images out = SplitS500(DifOf({Nord(0, image)}), true);
  EXPECT_EQ(out[kS500Bin1], image.substr(0, 0x500000));
  EXPECT_EQ(out[kS500Ogm1], "");
  EXPECT_EQ(out[kS500Bin2].size(), 0x100000u);
  EXPECT_EQ(out[kS500Bin2], image.substr(0x800000, 0x100000));
  EXPECT_EQ(out[kS500Ogm2], "ogm2 start......");
  for (const std::string& file : out) EXPECT_EQ(file.find(std::string(16, 'E')), std::string::npos);

  const S500Images untrimmed = SplitS500(DifOf({Nord(0, image)}), false);
  EXPECT_EQ(untrimmed[kS500Ogm1], std::string(0x100000, '\xFF'));
  EXPECT_EQ(untrimmed[kS500Ogm2].size(), 0x290000u);
}

TEST(S500SplitTest, OverlapsGapsAndEmptyContainers) {
  for (const std::string& file : SplitS500(TDIFFile(), true)) EXPECT_EQ(file, "");
  for (const std::string& file : SplitS500(TDIFFile(), false)) EXPECT_EQ(file, "");

  // The later block wins; a gap between blocks reads 0xFF; other kinds are ignored.
  const TDIFFile dif =
      DifOf({Nord(0x10, "aaaaaa"), Nord(0x12, "BB"), test::Block("nOrR", test::Le32(0x30) + "rrrr"),
             Nord(0x18, "c"), test::TfsBlock("/x", "tfs")});
  const S500Images out = SplitS500(dif, false);
  EXPECT_EQ(out[kS500Bin1], std::string(0x10, '\xFF') + "aaBBaa\xFF\xFF" + "c");
  EXPECT_EQ(out[kS500Ogm1], "");
}

TEST(S500SplitTest, HostileBlocksCostNothing) {
  // A block at the top of the address space, one running past it, and an empty
  // block inside a window: none of them may extend a window or allocate gigabytes.
  const TDIFFile dif =
      DifOf({Nord(0xFFFFFFF0, std::string(64, 'h')), Nord(0xF00000, std::string(32, 'e')),
             Nord(0x800100, ""), Nord(0x700010, "o")});
  const S500Images out = SplitS500(dif, false);
  EXPECT_EQ(out[kS500Bin1], "");
  EXPECT_EQ(out[kS500Ogm1], std::string(0x10, '\xFF') + "o");
  EXPECT_EQ(out[kS500Bin2], "");
  EXPECT_EQ(out[kS500Ogm2], "");
}

TEST(S500SplitTest, WhatLiesBeyondTheFirmwareAreaIsNamed) {
  TDIFFile dif;
  uint32_t first = 0, last = 0;
  EXPECT_FALSE(S500LeftOut(dif, first, last));
  dif.Blocks.push_back(Nord(0xEFFFF0, std::string(0x10, 'a')));  // ends at the area's end
  EXPECT_FALSE(S500LeftOut(dif, first, last));
  dif.Blocks.push_back(Nord(0xEFFFF8, std::string(0x10, 'b')));  // reaches 8 bytes beyond
  ASSERT_TRUE(S500LeftOut(dif, first, last));
  EXPECT_EQ(first, 0xF00000u);
  EXPECT_EQ(last, 0xF00007u);
  dif.Blocks.push_back(Nord(0xFFFFF0, std::string(0x10, 'c')));
  dif.Blocks.push_back(Nord(0xF80000, std::string(0x10, 'd')));
  ASSERT_TRUE(S500LeftOut(dif, first, last));
  EXPECT_EQ(first, 0xF00000u);
  EXPECT_EQ(last, 0xFFFFFFu);
}

TEST(S500NamingTest, StemFromTheLastChosenFileOrTheFirstName) {
  S500Names names;
  EXPECT_EQ(S500Stem("", names), "");
  EXPECT_EQ(S500ProposedNames(""), S500Names());

  EXPECT_EQ(S500Stem("/home/u/s500xedh1_2.ogm", names), "s500xedh1");
  EXPECT_EQ(S500Stem("/home/u.v/fw", names), "fw");
  EXPECT_EQ(S500Stem("fw_3.bin", names), "fw_3");
  names[kS500Ogm1] = "/a/third_1.ogm";
  names[kS500Bin2] = "/a/second.x_2.bin";
  EXPECT_EQ(S500Stem("", names), "second.x");
  names[kS500Bin1] = "/a/first_1.bin";
  EXPECT_EQ(S500Stem("", names), "first");
  EXPECT_EQ(S500Stem("/b/chosen_1.ogm", names), "chosen");

  S500Names proposed;
  proposed[kS500Bin1] = "s500xedh1_1.bin";
  proposed[kS500Ogm1] = "s500xedh1_1.ogm";
  proposed[kS500Bin2] = "s500xedh1_2.bin";
  proposed[kS500Ogm2] = "s500xedh1_2.ogm";
  EXPECT_EQ(S500ProposedNames("s500xedh1"), proposed);
}

}  // namespace
}  // namespace brantle
