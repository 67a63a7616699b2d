// Building blocks from two images, bytewise and in 64K chunks.

#include <gtest/gtest.h>

#include "dif/DIFCore.h"
#include "dif_helpers.h"
#include "support/recording_ui.h"

namespace brantle::test {
namespace {

std::string With(std::string image, std::initializer_list<size_t> positions) {
  for (size_t p : positions) image[p] = static_cast<char>(image[p] ^ 0x5A);
  return image;
}

TEST(CompareBytewise, IdenticalImagesGiveNoBlocks) {
  const std::string image = Pattern(5000, 1);
  TDIFFile dif;
  CompareBytewise(image, image, dif, "NORD", true);
  Compare64K(image, image, dif, true);
  EXPECT_TRUE(dif.Blocks.empty());
}

TEST(CompareBytewise, EmptyOriginalGivesTheWholeTargetWithoutReversal) {
  const std::string target = Pattern(16 << 20, 2);
  for (bool bytewise : {true, false}) {
    TDIFFile dif;
    if (bytewise) {
      CompareBytewise("", target, dif, "NORD", true);
    } else {
      Compare64K("", target, dif, true);
    }
    ASSERT_EQ(1u, dif.Blocks.size());
    EXPECT_EQ("NORD", dif.Blocks[0].Kind);
    EXPECT_TRUE(dif.Blocks[0].Data == Le32(0) + target);
  }
}

TEST(CompareBytewise, EveryRunIsOneBlockFollowedByItsReversal) {
  const std::string original = Pattern(4096, 3);
  // Runs at 10 and 12 (one equal byte between them is not bridged), one across a
  // 1,024-byte progress boundary, one touching the end.
  const std::string target = With(original, {10, 12, 1020, 1021, 1022, 1023, 1024, 1025, 4095});
  TDIFFile dif;
  CompareBytewise(original, target, dif, "NORD", true);
  EXPECT_EQ((Contents{{"NORD", Le32(10) + target.substr(10, 1)},
                      {"nOrR", Le32(10) + original.substr(10, 1)},
                      {"NORD", Le32(12) + target.substr(12, 1)},
                      {"nOrR", Le32(12) + original.substr(12, 1)},
                      {"NORD", Le32(1020) + target.substr(1020, 6)},
                      {"nOrR", Le32(1020) + original.substr(1020, 6)},
                      {"NORD", Le32(4095) + target.substr(4095, 1)},
                      {"nOrR", Le32(4095) + original.substr(4095, 1)}}),
            ContentsOf(dif));
}

TEST(CompareBytewise, KindAndLengthDifferences) {
  const std::string original = Pattern(100, 4);
  TDIFFile dif;
  // A longer target adds its tail without reversal, of the caller's kind.
  CompareBytewise(original, With(original, {50}) + "tail", dif, "nOrR", true);
  EXPECT_EQ((Contents{{"nOrR", Le32(50) + With(original, {50}).substr(50, 1)},
                      {"nOrR", Le32(50) + original.substr(50, 1)},
                      {"nOrR", Le32(100) + "tail"}}),
            ContentsOf(dif));
  // A longer original's excess produces nothing.
  TDIFFile shorter;
  CompareBytewise(original, original.substr(0, 60), shorter, "NORD", true);
  EXPECT_TRUE(shorter.Blocks.empty());
}

TEST(Compare64K, ChangedChunksAreStoredWhole) {
  const std::string original = Pattern(3 * 65536 + 100, 5);
  const std::string target = With(original, {10, 12, 65536 * 3 + 5}) + "xyz";
  TDIFFile dif;
  Compare64K(original, target, dif, true);
  EXPECT_EQ((Contents{{"NORD", Le32(0) + target.substr(0, 65536)},
                      {"nOrR", Le32(0) + original.substr(0, 65536)},
                      {"NORD", Le32(196608) + target.substr(196608, 100)},
                      {"nOrR", Le32(196608) + original.substr(196608, 100)},
                      {"NORD", Le32(196708) + "xyz"}}),
            ContentsOf(dif));

  // Bytes 10 and 12 of a short image: one block of the image length.
  const std::string small = Pattern(300, 6);
  TDIFFile one;
  Compare64K(small, With(small, {10, 12}), one, false);
  ASSERT_EQ(1u, one.Blocks.size());
  EXPECT_EQ(Le32(0) + With(small, {10, 12}), one.Blocks[0].Data);

  // Changes on both sides of a chunk boundary touch two chunks.
  TDIFFile two;
  Compare64K(original, With(original, {65535, 65536}), two, false);
  ASSERT_EQ(2u, two.Blocks.size());
  EXPECT_EQ(0u, NORAddress(two.Blocks[0]));
  EXPECT_EQ(65536u, NORAddress(two.Blocks[1]));
}

TEST(CompareProgress, BytewiseStepsPerKilobyteThenRemainderThenTail) {
  RecordingUi ui;
  const std::string original = Pattern(5000, 7);
  TDIFFile dif;
  CompareBytewise(original, With(original, {3}) + "123", dif, "NORD", false, ui);
  EXPECT_EQ((std::vector<int64_t>{1024, 1024, 1024, 1024, 904, 3}), ui.steps);
  EXPECT_EQ(5, ui.pumps);

  RecordingUi chunks;
  Compare64K(Pattern(150000, 8), Pattern(150000, 9), dif, false, chunks);
  EXPECT_EQ((std::vector<int64_t>{65536, 65536, 18928}), chunks.steps);
  EXPECT_EQ(3, chunks.pumps);
}

// Applying the comparison to the original gives the target; the reversal blocks,
// applied as a plain patch, give the original back.
TEST(CompareRoundTrip, RandomImagesRebuildBothWays) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    std::string original = Pattern(3000 + seed * 37, seed);
    std::string target = original;
    const std::string noise = Pattern(target.size(), seed + 1000);
    for (size_t i = 0; i < target.size(); ++i) {
      if (static_cast<uint8_t>(noise[i]) < 20 + seed) target[i] = noise[i];
    }
    for (bool bytewise : {true, false}) {
      TDIFFile dif;
      if (bytewise) {
        CompareBytewise(original, target, dif, "NORD", true);
      } else {
        Compare64K(original, target, dif, true);
      }
      TDIFFile undo;
      SplitOffReversal(dif, undo);
      std::string image = original;
      ApplyToImage(dif, image);
      ASSERT_EQ(target, image) << seed;
      ApplyToImage(undo, image);
      ASSERT_EQ(original, image) << seed;
    }
  }
}

}  // namespace
}  // namespace brantle::test
