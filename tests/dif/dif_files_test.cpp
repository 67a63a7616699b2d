// The DIF container: exact file bytes, round trips through both storage forms, the
// kind check, error texts, and files that lie.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "dif/DIFFiles.h"
#include "dif_helpers.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

// The largest single allocation while a test watches: a lying length must not turn
// into a buffer of that size.
namespace {
std::atomic<bool> gWatching{false};
std::atomic<size_t> gLargest{0};
}  // namespace

// GCC pairs its own inlined allocations with our free() and warns; the pair is ours.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
  if (gWatching && size > gLargest) gLargest = size;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, size_t) noexcept {
  std::free(p);
}

namespace brantle::test {

AllocationWatch::AllocationWatch() {
  gLargest = 0;
  gWatching = true;
}
AllocationWatch::~AllocationWatch() {
  gWatching = false;
}
size_t AllocationWatch::Largest() const {
  return gLargest;
}

namespace {

const std::string kCreator(" BRNTL v0.68\0\0\0\0", 16);

std::string ZlibCompress(const std::string& plain, int level) {
  uLongf size = compressBound(plain.size());
  std::string out(size, '\0');
  EXPECT_EQ(Z_OK, compress2(reinterpret_cast<Bytef*>(&out[0]), &size,
                            reinterpret_cast<const Bytef*>(plain.data()), plain.size(), level));
  out.resize(size);
  return out;
}

std::string ZlibUncompress(const std::string& packed, size_t expected) {
  uLongf size = expected;
  std::string out(expected + 1, '\0');
  EXPECT_EQ(Z_OK, uncompress(reinterpret_cast<Bytef*>(&out[0]), &size,
                             reinterpret_cast<const Bytef*>(packed.data()), packed.size()));
  out.resize(size);
  return out;
}

TDIFFile Sample() {
  return Dif({Comment("{\\rtf1 hello}"), Nord(0x10, "\x01\x02\x03"),
              Rev(0x10, std::string("\xFF\x00\xFF", 3)), Tfs("/a/b.txt", "contents"),
              Block("xyZz", "kept"), Nord(0xE00000, Pattern(70000, 1))});
}

std::string SampleStream() {
  std::string s;
  for (const TDIFBlock& b : Sample().Blocks) s += Record(b.Kind, b.Data);
  return s;
}

// ---- layout ----------------------------------------------------------------------

TEST(DIFLayout, EmptyDIFIsTheHeaderAloneOrWithAnEmptyZlibStream) {
  TDIFFile dif = Dif({});
  const std::string header = Header("KTZD", 0);
  ASSERT_EQ(32u, header.size());
  EXPECT_EQ(header, SerializeDIF(dif, 0));
  EXPECT_EQ(header, SerializeDIF(dif, 2));  // anything but 1 is plain

  const std::string packed = SerializeDIF(dif, 1);
  EXPECT_EQ(Header("KTZZ", 0), packed.substr(0, 32));
  EXPECT_EQ(ZlibCompress("", Z_DEFAULT_COMPRESSION), packed.substr(32));

  TDIFFile loaded;
  EXPECT_EQ(0, ParseDIF(packed, loaded));
  EXPECT_TRUE(loaded.Blocks.empty());
}

TEST(DIFLayout, PlainFileBytesFollowTheLayout) {
  EXPECT_EQ(Header("KTZD", 6) + SampleStream(), SerializeDIF(Sample(), 0));
}

TEST(DIFLayout, CompressedStreamIsWhatIndependentZlibProducesAndInflates) {
  const std::string packed = SerializeDIF(Sample(), 1);
  const std::string stream = SampleStream();
  EXPECT_EQ(Header("KTZZ", 6), packed.substr(0, 32));
  EXPECT_EQ(stream, ZlibUncompress(packed.substr(32), stream.size()));
  // Default level, 32 KB window, memory level 8: the same stream compress2 makes.
  EXPECT_EQ(ZlibCompress(stream, Z_DEFAULT_COMPRESSION), packed.substr(32));
}

TEST(DIFLayout, StreamsOfAnyCompressionLevelLoad) {
  for (int level : {0, 1, 9}) {
    TDIFFile loaded;
    ASSERT_EQ(0, ParseDIF(Header("KTZZ", 6) + ZlibCompress(SampleStream(), level), loaded));
    EXPECT_EQ(ContentsOf(Sample()), ContentsOf(loaded)) << level;
  }
}

TEST(DIFLayout, PlainAndCompressedFilesLoadIntoIdenticalObjects) {
  TempDir dir;
  const TDIFFile original = Sample();
  ASSERT_EQ(0, original.SaveToFile(dir.File("plain.dif"), 0));
  ASSERT_EQ(0, original.SaveToFile(dir.File("packed.dif"), 1));
  TDIFFile plain;
  TDIFFile packed;
  ASSERT_EQ(0, plain.LoadFromFile(dir.File("plain.dif")));
  ASSERT_EQ(0, packed.LoadFromFile(dir.File("packed.dif")));
  EXPECT_EQ(ContentsOf(original), ContentsOf(plain));
  EXPECT_EQ(ContentsOf(plain), ContentsOf(packed));
  EXPECT_EQ("BRNA", packed.PhoneID);
  EXPECT_EQ(kCreator, packed.CreatorText);
  for (size_t i = 0; i < plain.Blocks.size(); ++i) {
    EXPECT_EQ(plain.Blocks[i].Optional, packed.Blocks[i].Optional);
    EXPECT_EQ(plain.Blocks[i].KeepUnknown, packed.Blocks[i].KeepUnknown);
  }
}

TEST(DIFLayout, ReservedWordIsIgnoredAndTrailingPlainBytesToo) {
  TDIFFile loaded;
  ASSERT_EQ(0, ParseDIF(Header("KTZD", 6, "\xDE\xAD\xBE\xEF") + SampleStream() + "junk", loaded));
  EXPECT_EQ(ContentsOf(Sample()), ContentsOf(loaded));
}

TEST(DIFLayout, EdgePayloads) {
  TDIFFile loaded;
  ASSERT_EQ(0, ParseDIF(Header("KTZD", 2) + Record("TFSF", Le32(0) + "whole rest") +
                            Record("NORD", Le32(0x1234)),
                        loaded));
  std::string name, contents;
  TDIFFile::GetTFSFile(loaded.Blocks[0], name, contents);
  EXPECT_EQ("", name);
  EXPECT_EQ("whole rest", contents);
  uint32_t address = 0;
  std::string bytes = "x";
  TDIFFile::GetNORData(loaded.Blocks[1], address, bytes);
  EXPECT_EQ(0x1234u, address);
  EXPECT_EQ("", bytes);
}

// ---- the object ------------------------------------------------------------------

TEST(DIFObject, SettersGettersAndFlags) {
  TDIFFile dif;
  EXPECT_EQ("    ", dif.PhoneID);
  EXPECT_EQ(std::string(16, ' '), dif.CreatorText);

  const size_t nor = dif.AddBlock();
  EXPECT_EQ("aAAA", dif.Blocks[nor].Kind);
  EXPECT_TRUE(dif.Blocks[nor].Optional);
  EXPECT_TRUE(dif.Blocks[nor].KeepUnknown);
  dif.SetNORData(nor, 0xA1B2C3D4, "xy");
  EXPECT_EQ(std::string("\xD4\xC3\xB2\xA1xy"), dif.Blocks[nor].Data);
  EXPECT_FALSE(dif.Blocks[nor].Optional);
  EXPECT_TRUE(dif.Blocks[nor].KeepUnknown);

  const size_t rev = dif.AddBlock();
  dif.SetReverseData(rev, 7, "ab");
  EXPECT_EQ("nOrR", dif.Blocks[rev].Kind);
  EXPECT_TRUE(dif.Blocks[rev].Optional);
  EXPECT_FALSE(dif.Blocks[rev].KeepUnknown);

  const size_t tfs = dif.AddBlock();
  dif.SetTFSFile(tfs, "/x/y", std::string("\0z", 2));
  EXPECT_EQ(Le32(4) + "/x/y" + std::string("\0z", 2), dif.Blocks[tfs].Data);
  std::string name, contents;
  TDIFFile::GetTFSFile(dif.Blocks[tfs], name, contents);
  EXPECT_EQ("/x/y", name);
  EXPECT_EQ(std::string("\0z", 2), contents);

  EXPECT_EQ(0u, dif.InsertBlock(0));
  dif.SetComment(0, "note");
  EXPECT_EQ("dIFC", dif.Blocks[0].Kind);
  EXPECT_EQ("note", TDIFFile::GetComment(dif.Blocks[0]));
  EXPECT_EQ("NORD", dif.Blocks[1].Kind);

  // Overwriting the kind in place leaves the flags as they were.
  dif.Blocks[2].Kind = "NORD";
  EXPECT_TRUE(dif.Blocks[2].Optional);

  dif.Clear();
  EXPECT_TRUE(dif.Blocks.empty());
  EXPECT_EQ("    ", dif.PhoneID);
}

TEST(DIFObject, GettersOfShortPayloadsStayInsideTheBlock) {
  const TDIFBlock shortNor = Block("NORD", "\x05");
  uint32_t address = 99;
  std::string bytes = "?";
  TDIFFile::GetNORData(shortNor, address, bytes);
  EXPECT_EQ(5u, address);
  EXPECT_EQ("", bytes);
  const TDIFBlock lyingTfs = Block("TFSF", Le32(1000) + "abc");
  std::string name, contents;
  TDIFFile::GetTFSFile(lyingTfs, name, contents);
  EXPECT_EQ("abc", name);
  EXPECT_EQ("", contents);
}

// ---- kind check and messages -----------------------------------------------------

TEST(DIFKinds, UnknownKindsAreKeptDroppedOrRefused) {
  TDIFFile dif = Dif({Nord(0, "a"), Block("abCd", "kept"), Block("abcd", "dropped"),
                      Block("xxxx", "dropped too"), Block("qqQq", "kept too"), Tfs("/f", "")});
  EXPECT_EQ(0, dif.CheckBlockKinds(KnownDIFKinds()));
  EXPECT_EQ((Contents{{"NORD", Le32(0) + "a"},
                      {"abCd", "kept"},
                      {"qqQq", "kept too"},
                      {"TFSF", Le32(2) + "/f"}}),
            ContentsOf(dif));

  // A kept unknown block goes back to the file unchanged.
  TDIFFile reloaded;
  ASSERT_EQ(0, ParseDIF(SerializeDIF(dif, 1), reloaded));
  EXPECT_EQ(ContentsOf(dif), ContentsOf(reloaded));

  TDIFFile critical = Dif({Nord(0, "a"), Block("abcd", "gone"), Block("Qx y", "bad")});
  EXPECT_EQ(-3, critical.CheckBlockKinds(KnownDIFKinds()));
  EXPECT_EQ("Qx y", critical.Blocks[0].Kind);
  EXPECT_EQ("block 'Qx y' is not supported by this BRNTL version", DIFErrorText(-3, critical));
}

TEST(DIFKinds, FlagsComeFromTheKindAsLoaded) {
  TDIFFile loaded;
  ASSERT_EQ(0, ParseDIF(Header("KTZD", 1) + Record("NoRX", "n"), loaded));
  EXPECT_FALSE(loaded.Blocks[0].Optional);
  EXPECT_EQ(-3, loaded.CheckBlockKinds(KnownDIFKinds()));
}

TEST(DIFMessages, ErrorTextsAndTheErrorBox) {
  TDIFFile dif;
  dif.PhoneID = " XY ";
  EXPECT_EQ("No error (strange)", DIFErrorText(0, dif));
  EXPECT_EQ("could not open file", DIFErrorText(-1, dif));
  EXPECT_EQ("invalid DIF file", DIFErrorText(-2, dif));
  EXPECT_EQ("phone ID 'XY' is not supported by this BRNTL version", DIFErrorText(-4, dif));

  RecordingUi ui;
  ShowDIFError(ui, "DIF creation aborted:", -2, dif);
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ(MessageKind::Error, ui.messages[0].kind);
  EXPECT_EQ(Buttons::Ok, ui.messages[0].buttons);
  EXPECT_EQ("DIF creation aborted: invalid DIF file", ui.messages[0].text);
}

// ---- files that lie --------------------------------------------------------------

TEST(DIFHostile, EveryTruncationIsInvalid) {
  for (int compress : {0, 1}) {
    const std::string whole = SerializeDIF(Sample(), compress);
    std::vector<size_t> cuts;
    for (size_t cut = 0; cut < whole.size(); cut += (cut < 200 ? 1 : 97)) cuts.push_back(cut);
    for (size_t back = 1; back <= 8; ++back) cuts.push_back(whole.size() - back);
    for (size_t cut : cuts) {
      TDIFFile loaded;
      EXPECT_EQ(-2, ParseDIF(whole.substr(0, cut), loaded)) << compress << " cut " << cut;
    }
  }
}

TEST(DIFHostile, DamagedStructureIsInvalid) {
  TDIFFile loaded;
  EXPECT_EQ(-2, ParseDIF("KTZX" + Header("KTZD", 0).substr(4), loaded));
  EXPECT_EQ(-2, ParseDIF(Header("KTZD", 1) + "FBLX" + "NORD" + Le32(4) + Le32(0), loaded));
  // One more record declared than present.
  EXPECT_EQ(-2, ParseDIF(Header("KTZD", 7) + SampleStream(), loaded));
}

TEST(DIFHostile, DamagedZlibStreamIsInvalid) {
  const std::string packed = SerializeDIF(Sample(), 1);
  std::string body = packed;
  body[packed.size() / 2] ^= 0x55;  // deflate data
  TDIFFile loaded;
  EXPECT_EQ(-2, ParseDIF(body, loaded));
  std::string trailer = packed;
  trailer[packed.size() - 1] ^= 0x01;  // Adler-32
  EXPECT_EQ(-2, ParseDIF(trailer, loaded));
  // A stream that inflates to more than the declared records.
  EXPECT_EQ(-2, ParseDIF(Header("KTZZ", 5) + ZlibCompress(SampleStream(), 6), loaded));
}

TEST(DIFHostile, DeclaredLengthsBeyondTheDataAreInvalid) {
  TDIFFile loaded;
  // 44 bytes claiming a 4 GiB block, and four billion records.
  const std::string huge = Header("KTZD", 1) + "FBLK" + "dIFC" + Le32(0xFFFFFFFF);
  const std::string packedHuge = Header("KTZZ", 1) + ZlibCompress(huge.substr(32) + "short", 6);
  const std::string manyRecords = Header("KTZD", 0xFFFFFFFF) + Record("dIFC", "x");
  {
    AllocationWatch watch;
    EXPECT_EQ(-2, ParseDIF(huge, loaded));
    EXPECT_EQ(-2, ParseDIF(manyRecords, loaded));
    EXPECT_EQ(-2, ParseDIF(packedHuge, loaded));
    EXPECT_LT(watch.Largest(), 1u << 20);
  }
  // A small file whose stream inflates to 16 MiB of zeros behind a 4 GiB claim runs dry.
  const std::string bomb =
      Header("KTZZ", 1) + ZlibCompress(huge.substr(32) + std::string(16 << 20, '\0'), 9);
  EXPECT_LT(bomb.size(), 64u * 1024);
  AllocationWatch watch;
  EXPECT_EQ(-2, ParseDIF(bomb, loaded));
  EXPECT_LT(watch.Largest(), 64u << 20);  // grows with what arrived, not with the claim
}

TEST(DIFHostile, AddressesMustStayInsideFourGiB) {
  TDIFFile loaded;
  const std::string sixteen(16, 'x');
  EXPECT_EQ(0, ParseDIF(Header("KTZD", 1) + Record("NORD", Le32(0xFFFFFFF0) + sixteen), loaded));
  EXPECT_EQ(0, ParseDIF(Header("KTZD", 1) + Record("nOrR", Le32(0xFFFFFFF0) + sixteen), loaded));
  EXPECT_EQ(-2, ParseDIF(Header("KTZD", 1) + Record("NORD", Le32(0xFFFFFFF1) + sixteen), loaded));
  EXPECT_EQ(-2, ParseDIF(Header("KTZD", 1) + Record("nOrR", Le32(0xFFFFFFFF) + "ab"), loaded));
  // Payloads too short for their own layout.
  EXPECT_EQ(-2, ParseDIF(Header("KTZD", 1) + Record("NORD", "abc"), loaded));
  EXPECT_EQ(-2, ParseDIF(Header("KTZD", 1) + Record("TFSF", Le32(5) + "abcd"), loaded));
}

// ---- files -----------------------------------------------------------------------

TEST(DIFFileIO, LoadFailuresLeaveTheObjectCleared) {
  TempDir dir;
  TDIFFile dif = Sample();
  EXPECT_EQ(-1, dif.LoadFromFile(dir.File("missing.dif")));
  EXPECT_TRUE(dif.Blocks.empty());
  EXPECT_EQ("    ", dif.PhoneID);
  EXPECT_EQ(-1, dif.LoadFromFile(dir.path()));
  dir.Write("short.dif", "KTZD");
  EXPECT_EQ(-2, dif.LoadFromFile(dir.File("short.dif")));
  dir.Write("lying.dif", Header("KTZD", 1) + "FBLK" + "dIFC" + Le32(0xFFFFFFF0) + "abcd");
  EXPECT_EQ(-2, dif.LoadFromFile(dir.File("lying.dif")));
}

TEST(DIFFileIO, SaveReplacesTheTargetAndLeavesNothingElse) {
  TempDir dir;
  const std::string target = dir.File("out.dif");
  dir.Write("out.dif", std::string(100000, 'o'));
  ASSERT_EQ(0, Sample().SaveToFile(target, 0));
  EXPECT_EQ(SerializeDIF(Sample(), 0), ReadFile(target));
  ASSERT_EQ(0, Dif({}).SaveToFile(target, 1));
  EXPECT_EQ(SerializeDIF(Dif({}), 1), ReadFile(target));
  size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(1u, entries);
}

TEST(DIFFileIO, SaveFailuresLeaveWhatWasThere) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  EXPECT_EQ(-1, Sample().SaveToFile(dir.File("folder"), 0));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
  EXPECT_EQ(-1, Sample().SaveToFile(dir.File("no/such/folder/x.dif"), 0));
}

TEST(DIFFileIO, WriteProtectedTargetIsNotReplaced) {
  TempDir dir;
  dir.Write("locked.dif", "old");
  ::chmod(dir.File("locked.dif").c_str(), 0444);
  EXPECT_EQ(-1, Sample().SaveToFile(dir.File("locked.dif"), 0));
  EXPECT_EQ("old", ReadFile(dir.File("locked.dif")));
}

}  // namespace
}  // namespace brantle::test
