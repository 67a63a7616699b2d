// The canonical form: the cases that define it, and a comparison against the
// painting procedure that defines it on many random block lists.

#include <gtest/gtest.h>

#include <random>

#include "dif/DIFCore.h"
#include "dif_helpers.h"
#include "support/recording_ui.h"

namespace brantle::test {
namespace {

TDIFFile Optimized(TDIFFile dif) {
  OptimizeDIF(dif);
  return dif;
}

TEST(OptimizeDIF, OverlappingAndTouchingDataJoinsButGapsStay) {
  const std::string first = Pattern(10, 1);
  const std::string second = Pattern(10, 2);
  EXPECT_EQ((Contents{{"NORD", Le32(0) + first.substr(0, 5) + second}}),
            ContentsOf(Optimized(Dif({Nord(0, first), Nord(5, second)}))));
  EXPECT_EQ((Contents{{"NORD", Le32(0) + first + second}}),
            ContentsOf(Optimized(Dif({Nord(10, second), Nord(0, first)}))));
  EXPECT_EQ((Contents{{"NORD", Le32(0) + first}, {"NORD", Le32(11) + second.substr(0, 9)}}),
            ContentsOf(Optimized(Dif({Nord(11, second.substr(0, 9)), Nord(0, first)}))));
  // Coverage decides, not the value: 0xFF data is data.
  EXPECT_EQ((Contents{{"NORD", Le32(3) + "\xFF\xFF"}}),
            ContentsOf(Optimized(Dif({Nord(3, "\xFF\xFF")}))));
  // A later block inside an earlier one, and an empty block, which covers nothing.
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "aXYd"}}),
            ContentsOf(Optimized(Dif({Nord(0, "abcd"), Nord(1, "XY"), Nord(2, "")}))));
}

TEST(OptimizeDIF, TFSFilesSortedUniqueLaterWins) {
  EXPECT_EQ((Contents{{"TFSF", Le32(1) + "A" + "a2"}, {"TFSF", Le32(1) + "B" + "b"}}),
            ContentsOf(Optimized(Dif({Tfs("B", "b"), Tfs("A", "a1"), Tfs("A", "a2")}))));
  // Ordinal, case-sensitive: "Z" < "a" < "\xE4".
  EXPECT_EQ(
      (Contents{{"TFSF", Le32(1) + "Z"}, {"TFSF", Le32(1) + "a"}, {"TFSF", Le32(1) + "\xE4"}}),
      ContentsOf(Optimized(Dif({Tfs("\xE4", ""), Tfs("a", ""), Tfs("Z", "")}))));
}

TEST(OptimizeDIF, CommentsMergeIntoOneBlockInFront) {
  const TDIFFile dif = Optimized(Dif({Nord(0, "x"), Comment("{\\rtf1{\\fonttbl f}{\\b one}}"),
                                      Comment("{\\rtf1{\\fonttbl g}{\\i two}}")}));
  EXPECT_EQ((Contents{{"dIFC", "{\\rtf1{\\fonttbl f}{\\b one}{\\fonttbl g}{\\i two}}"},
                      {"NORD", Le32(0) + "x"}}),
            ContentsOf(dif));
  // One "{": what follows it; no "{": the whole comment; no "}" in the first: kept whole.
  EXPECT_EQ("{a}b}", Optimized(Dif({Comment("{a}}"), Comment("{b}")})).Blocks[0].Data);
  EXPECT_EQ("{a}plain", Optimized(Dif({Comment("{a}}"), Comment("plain")})).Blocks[0].Data);
  EXPECT_EQ("plainb}", Optimized(Dif({Comment("plain"), Comment("x{b}")})).Blocks[0].Data);
  EXPECT_TRUE(Optimized(Dif({Comment("")})).Blocks.empty());
}

TEST(OptimizeDIF, PlacementAndOtherBlocks) {
  const TDIFFile dif =
      Optimized(Dif({Block("abCd", "1"), Rev(9, "r"), Tfs("f", ""), Block("aAAA", ""), Nord(4, "n"),
                     Comment("c"), Block("xyZw", "2")}));
  std::vector<std::string> kinds;
  for (const TDIFBlock& b : dif.Blocks) kinds.push_back(b.Kind);
  EXPECT_EQ((std::vector<std::string>{"dIFC", "NORD", "nOrR", "TFSF", "abCd", "aAAA", "xyZw"}),
            kinds);
  // Only unknown kept blocks: the same blocks in the same order.
  const TDIFFile unknown = Dif({Block("zzZz", "b"), Block("abCd", "a"), Block("zzZz", "b")});
  EXPECT_EQ(ContentsOf(unknown), ContentsOf(Optimized(unknown)));
}

TEST(OptimizeDIF, HighAddressesCostWhatThePayloadCosts) {
  const TDIFFile dif = Dif({Nord(0x7FFFFF00, "0123456789"), Rev(0xFFFFFFF6, "0123456789"),
                            Nord(0x7FFFFF05, "abcdefghij")});
  TDIFFile optimized = dif;
  AllocationWatch watch;
  OptimizeDIF(optimized);
  EXPECT_LT(watch.Largest(), 4096u);
  EXPECT_EQ((Contents{{"NORD", Le32(0x7FFFFF00) + "01234abcdefghij"},
                      {"nOrR", Le32(0xFFFFFFF6) + "0123456789"}}),
            ContentsOf(optimized));
  EXPECT_EQ(0x7FFFFF0Fu, NORDataEnd(optimized));
}

TEST(OptimizeDIF, ReportsProgressPerPassOverTheBlocks) {
  TDIFFile dif;
  for (uint32_t i = 0; i < 2500; ++i) dif.Blocks.push_back(Nord(i * 2, "x"));
  RecordingUi ui;
  OptimizeDIF(dif, ui);
  EXPECT_EQ(2500u, dif.Blocks.size());
  EXPECT_EQ(2500, ui.progressMax);
  EXPECT_EQ(3, ui.rangeSets);
  EXPECT_EQ((std::vector<std::string>(3, "Optimizing DIF")), ui.statuses);
  EXPECT_EQ(3 * 2, ui.pumps);    // every 1,024 blocks
  EXPECT_EQ(2500, ui.position);  // the last pass ran to its end
}

// ---- the defining procedure, written out plainly ---------------------------------

void PaintRuns(const std::vector<const TDIFBlock*>& blocks, const char* kind,
               std::vector<TDIFBlock>& out) {
  size_t end = 0;
  for (const TDIFBlock* b : blocks) end = std::max(end, NORAddress(*b) + NORDataLength(*b));
  std::string a(end, '\xFF');
  std::string c(end, '\xFF');
  for (const TDIFBlock* b : blocks) {
    for (size_t i = 0; i < NORDataLength(*b); ++i) {
      a[NORAddress(*b) + i] = NORDataBytes(*b)[i];
      c[NORAddress(*b) + i] = static_cast<char>(NORDataBytes(*b)[i] ^ 0xFF);
    }
  }
  size_t p = 0;
  while (p < end) {
    if (a[p] == c[p]) {
      ++p;
      continue;
    }
    size_t q = p;
    while (q < end && a[q] != c[q]) ++q;
    out.push_back(Block(kind, Le32(static_cast<uint32_t>(p)) + a.substr(p, q - p)));
    p = q;
  }
}

std::string NameOf(const TDIFBlock& b) {
  std::string name, contents;
  TDIFFile::GetTFSFile(b, name, contents);
  return name;
}

TDIFFile Painted(const TDIFFile& dif) {
  std::vector<const TDIFBlock*> nor, rev;
  std::vector<TDIFBlock> files, others;
  std::string comment;
  for (const TDIFBlock& b : dif.Blocks) {
    if (b.Kind == "NORD") {
      nor.push_back(&b);
    } else if (b.Kind == "nOrR") {
      rev.push_back(&b);
    } else if (b.Kind == "TFSF") {
      // Binary insertion, then a neighbour with the same name goes.
      size_t lo = 0, hi = files.size();
      while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (NameOf(files[mid]) < NameOf(b))
          lo = mid + 1;
        else
          hi = mid;
      }
      files.insert(files.begin() + lo, b);
      if (lo + 1 < files.size() && NameOf(files[lo + 1]) == NameOf(b))
        files.erase(files.begin() + lo + 1);
      if (lo > 0 && NameOf(files[lo - 1]) == NameOf(b)) files.erase(files.begin() + lo - 1);
    } else if (b.Kind == "dIFC") {
      comment += b.Data;  // brace-free comments simply concatenate
    } else {
      others.push_back(b);
    }
  }
  TDIFFile out;
  if (!comment.empty()) out.Blocks.push_back(Comment(comment));
  PaintRuns(nor, "NORD", out.Blocks);
  PaintRuns(rev, "nOrR", out.Blocks);
  out.Blocks.insert(out.Blocks.end(), files.begin(), files.end());
  out.Blocks.insert(out.Blocks.end(), others.begin(), others.end());
  return out;
}

TEST(OptimizeDIF, MatchesPaintingOnRandomBlockLists) {
  std::mt19937 rng(20240601);
  const std::vector<std::string> names = {"A", "B", "a", "/x/y", "\xC3\xA4", ""};
  for (int round = 0; round < 3000; ++round) {
    TDIFFile dif;
    const int count = static_cast<int>(rng() % 40);
    const uint32_t span = 16 + rng() % 400;
    for (int i = 0; i < count; ++i) {
      const uint32_t address = rng() % span;
      const std::string bytes = Pattern(rng() % 48, rng());
      switch (rng() % 10) {
        case 0:
        case 1:
        case 2:
        case 3:
          dif.Blocks.push_back(Nord(address, bytes));
          break;
        case 4:
        case 5:
          dif.Blocks.push_back(Rev(address, bytes));
          break;
        case 6:
          dif.Blocks.push_back(Tfs(names[rng() % names.size()], bytes));
          break;
        case 7:
          dif.Blocks.push_back(Comment(std::string(1, static_cast<char>('a' + rng() % 26))));
          break;
        case 8:
          dif.Blocks.push_back(Block("abCd", bytes));
          break;
        default:
          dif.Blocks.push_back(Block("aAAA", ""));
          break;
      }
    }
    const TDIFFile expected = Painted(dif);
    TDIFFile optimized = dif;
    OptimizeDIF(optimized);
    ASSERT_EQ(ContentsOf(expected), ContentsOf(optimized)) << "round " << round;
    TDIFFile again = optimized;
    OptimizeDIF(again);
    ASSERT_EQ(ContentsOf(optimized), ContentsOf(again)) << "round " << round;
  }
}

}  // namespace
}  // namespace brantle::test
