// The six offline buttons on real files with scripted dialogs: the files they write,
// the dialogs and parameters they ask for, the folders they remember, and that a
// cancelled or failed step writes nothing.

#include "operations/offline_handlers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "dif/DIFCore.h"
#include "formats/s3_file.h"
#include "formats/tfs_pair.h"
#include "operations/output_kind.h"
#include "support/fake_clock.h"
#include "support/frame_rig.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using Answer = test::RecordingUi::FileAnswer;
using test::ReadFile;

std::string Image(size_t size, uint8_t seed) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>(seed + i * 13 + (i >> 8));
  return s;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// Address -> bytes of the blocks of one kind.
std::map<uint32_t, std::string> Blocks(const TDIFFile& dif, const std::string& kind) {
  std::map<uint32_t, std::string> out;
  for (const TDIFBlock& b : dif.Blocks)
    if (b.Kind == kind) out[NORAddress(b)] = std::string(NORDataBytes(b), NORDataLength(b));
  return out;
}

std::vector<std::string> Kinds(const TDIFFile& dif) {
  std::vector<std::string> kinds;
  for (const TDIFBlock& b : dif.Blocks) kinds.push_back(b.Kind);
  return kinds;
}

struct OfflineHandlersTest : ::testing::Test, test::FrameRig {
  void Choose(const std::string& name, int filter = 1) {
    ui.fileAnswers.push_back(Answer{{dir.File(name)}, filter});
  }
  void Cancel() { ui.fileAnswers.push_back(std::nullopt); }

  TDIFFile Load(const std::string& name) {
    TDIFFile dif;
    EXPECT_EQ(dif.LoadFromFile(dir.File(name)), kDIFOk) << name;
    return dif;
  }
  void Save(const std::string& name, TDIFFile& dif, const char* phoneId = kDIFPhoneID) {
    dif.PhoneID = phoneId;
    ASSERT_EQ(dif.SaveToFile(dir.File(name), 0), kDIFOk);
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const FileDialog& d : ui.fileDialogs) titles.push_back(d.Title);
    return titles;
  }
  std::string Folder(const std::string& key) const { return settings.Folder(key); }

  TKTZDCF dialog;
};

// ---- Create DIF ----------------------------------------------------------------

TEST_F(OfflineHandlersTest, CreateFromTargetOnlyIsTheWholeTargetWithoutReversal) {
  const std::string target = Image(70000, 3);
  dir.Write("b.bin", target);
  Choose("b.bin");
  ASSERT_TRUE(dialog.SelectBIN2(frame));
  // Left at "separate" from an earlier use; without an original it does not apply.
  dialog.Parameters.RType = kReversalSeparate;
  EXPECT_FALSE(CreateDIFClick(frame, dialog));  // not confirmed: nothing happens
  EXPECT_EQ(ui.fileDialogs.size(), 1u);

  ASSERT_TRUE(dialog.Confirm());
  Choose("p.dif");
  ASSERT_TRUE(CreateDIFClick(frame, dialog));
  const TDIFFile dif = Load("p.dif");
  EXPECT_EQ(Kinds(dif), std::vector<std::string>{"NORD"});
  EXPECT_EQ(Blocks(dif, "NORD"), (std::map<uint32_t, std::string>{{0, target}}));
  EXPECT_EQ(dif.PhoneID, "BRNA");
  EXPECT_EQ(Titles().back(), "Choose DIF file to write...");  // and no reverse dialog
  EXPECT_EQ(Folder("CreateDIF_DIF"), dir.path() + "/");
  EXPECT_TRUE(ui.statuses.end() != std::find(ui.statuses.begin(), ui.statuses.end(),
                                             "Processing BIN part of DIF file:"));
  EXPECT_FALSE(frame.Busy);
}

TEST_F(OfflineHandlersTest, SeparateReversalHoldsTheOriginalBytesAsData) {
  std::string original = Image(5000, 1), target = original;
  target[100] ^= 0x55;
  target.replace(3000, 3, "xyz");
  dir.Write("a.bin", original);
  dir.Write("b.bin", target);
  Choose("a.bin");
  Choose("b.bin");
  ASSERT_TRUE(dialog.SelectBIN1(frame) && dialog.SelectBIN2(frame));
  ui.editParameters = [](DifParametersDialog& d) { d.RType = kReversalSeparate; };
  dialog.EditParameters(frame);
  ASSERT_TRUE(dialog.Confirm());

  // The undo DIF gets its own comment and compression.
  ui.editParameters = [](DifParametersDialog& d) {
    d.Comment = "{\\rtf1 undo}";
    d.Compress = kCompressionZLib;
  };
  Choose("p.dif");
  Choose("r.dif");
  ASSERT_TRUE(CreateDIFClick(frame, dialog));

  const TDIFFile dif = Load("p.dif");
  const TDIFFile undo = Load("r.dif");
  EXPECT_EQ(Kinds(dif), (std::vector<std::string>{"NORD", "NORD"}));
  EXPECT_EQ(Blocks(dif, "NORD"),
            (std::map<uint32_t, std::string>{{100, target.substr(100, 1)}, {3000, "xyz"}}));
  EXPECT_EQ(Blocks(undo, "NORD"),
            (std::map<uint32_t, std::string>{{100, original.substr(100, 1)},
                                             {3000, original.substr(3000, 3)}}));
  EXPECT_EQ(Kinds(undo).front(), "dIFC");
  EXPECT_EQ(ReadFile(dir.File("r.dif")).substr(0, 4), "KTZZ");
  EXPECT_NE(ReadFile(dir.File("p.dif")).substr(0, 4), "KTZZ");

  EXPECT_EQ(ui.fileDialogs.back().Title, "Choose reverse DIF file to write...");
  EXPECT_EQ(Folder("CreateDIF_RDIF"), dir.path() + "/");
  const DifParametersDialog& reverse = ui.parameterDialogs.back();
  EXPECT_EQ(reverse.Caption, "Reverse DIF file creation parameters...");
  EXPECT_FALSE(reverse.ComparisonEnabled || reverse.ReversalEnabled);
  EXPECT_EQ(reverse.RType, kReversalNone);
  EXPECT_EQ(dialog.Parameters.RType, kReversalSeparate);
}

TEST_F(OfflineHandlersTest, ReverseDifIsOfferedWhenThePatchIsNotSaved) {
  dir.Write("a.bin", "aaaa");
  dir.Write("b.bin", "abba");
  Choose("a.bin");
  Choose("b.bin");
  ASSERT_TRUE(dialog.SelectBIN1(frame) && dialog.SelectBIN2(frame));
  dialog.Parameters.RType = kReversalSeparate;
  ASSERT_TRUE(dialog.Confirm());
  Cancel();
  Choose("r.dif");
  ASSERT_TRUE(CreateDIFClick(frame, dialog));
  EXPECT_EQ(Blocks(Load("r.dif"), "NORD"), (std::map<uint32_t, std::string>{{1, "aa"}}));

  // The reverse dialog's disabled selectors did not erase the reversal choice: the
  // next click offers the undo DIF again. Both cancelled: nothing is written.
  Cancel();
  Cancel();
  EXPECT_FALSE(CreateDIFClick(frame, dialog));
  EXPECT_EQ(ui.fileDialogs.size(), 6u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OfflineHandlersTest, TfsOnlyGivesFilesSortedByName) {
  TDIFFile files;
  files.SetTFSFile(files.AddBlock(), "/z/last.txt", "zz");
  files.SetTFSFile(files.AddBlock(), "/a/first.txt", "aa");
  ASSERT_TRUE(WriteTfsPair(ui, files, dir.File("fw.tfs"), nullptr));
  Choose("fw.tfs");
  ASSERT_TRUE(dialog.SelectTFS(frame));
  ASSERT_TRUE(dialog.Confirm());
  Choose("t.dif");
  ASSERT_TRUE(CreateDIFClick(frame, dialog));

  std::vector<std::string> names;
  for (const TDIFBlock& b : Load("t.dif").Blocks) {
    std::string name, bytes;
    ASSERT_EQ(b.Kind, "TFSF");
    TDIFFile::GetTFSFile(b, name, bytes);
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"/a/first.txt", "/z/last.txt"}));
}

TEST_F(OfflineHandlersTest, MergedReversalIsKeptNotRecomputedFromTheOriginal) {
  TDIFFile patch;
  patch.SetNORData(patch.AddBlock(), 8, "NEW");
  patch.SetReverseData(patch.AddBlock(), 8, "OLD");
  Save("m.dif", patch);
  dir.Write("a.bin", std::string(32, 'a'));  // would give "aaa" as reversal
  Choose("a.bin");
  Choose("m.dif");
  ASSERT_TRUE(dialog.SelectBIN1(frame) && dialog.SelectDIFs(frame));
  EXPECT_EQ(dialog.State().Summary, "1 DIF file(s) selected, reversal possible");
  dialog.Parameters.RType = kReversalEmbed;
  ASSERT_TRUE(dialog.Confirm());
  Choose("out.dif");
  ASSERT_TRUE(CreateDIFClick(frame, dialog));
  const TDIFFile dif = Load("out.dif");
  EXPECT_EQ(Blocks(dif, "NORD"), (std::map<uint32_t, std::string>{{8, "NEW"}}));
  EXPECT_EQ(Blocks(dif, "nOrR"), (std::map<uint32_t, std::string>{{8, "OLD"}}));
}

TEST_F(OfflineHandlersTest, MergedPatchWithoutReversalGetsItFromTheOriginal) {
  TDIFFile patch;
  patch.SetNORData(patch.AddBlock(), 8, "NEW");
  Save("m.dif", patch);
  dir.Write("a.bin", Image(32, 9));
  Choose("a.bin");
  Choose("m.dif");
  ASSERT_TRUE(dialog.SelectBIN1(frame) && dialog.SelectDIFs(frame));
  dialog.Parameters.RType = kReversalEmbed;
  ASSERT_TRUE(dialog.Confirm());
  Choose("out.dif");
  ASSERT_TRUE(CreateDIFClick(frame, dialog));
  EXPECT_EQ(Blocks(Load("out.dif"), "nOrR"),
            (std::map<uint32_t, std::string>{{8, Image(32, 9).substr(8, 3)}}));
}

TEST_F(OfflineHandlersTest, CreateFailuresCarryTheCreationPrefix) {
  Choose("b.bin");  // chosen, then gone before the click
  ASSERT_TRUE(dialog.SelectBIN2(frame));
  ASSERT_TRUE(dialog.Confirm());
  EXPECT_FALSE(CreateDIFClick(frame, dialog));
  ASSERT_EQ(ui.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(ui.Texts(MessageKind::Error)[0].rfind("DIF creation aborted: ", 0), 0u);
  EXPECT_EQ(ui.fileDialogs.size(), 1u);  // no save dialog after a failed read

  dir.Write("b.bin", "target");
  ui.fileAnswers.push_back(Answer{{dir.File("no/such/folder/p.dif")}});
  EXPECT_FALSE(CreateDIFClick(frame, dialog));
  EXPECT_EQ(ui.Texts(MessageKind::Error).back(), "DIF creation aborted: could not open file");
  EXPECT_FALSE(frame.Busy);
}

// ---- Apply DIF -----------------------------------------------------------------

TEST_F(OfflineHandlersTest, ApplyToANewBinFillsTheGapsWithFF) {
  TDIFFile patch;
  patch.SetNORData(patch.AddBlock(), 0x10, "abcd");
  patch.SetNORData(patch.AddBlock(), 0x100, "yz");
  Save("p.dif", patch);
  Choose("p.dif");
  Choose("new.bin");
  ASSERT_TRUE(UnpackDIFClick(frame));

  std::string expected(0x102, '\xFF');
  expected.replace(0x10, 4, "abcd");
  expected.replace(0x100, 2, "yz");
  EXPECT_EQ(ReadFile(dir.File("new.bin")), expected);
  EXPECT_EQ(Titles(),
            (std::vector<std::string>{"Choose DIF file...",
                                      "Choose BIN file to create or to apply changes to..."}));
  EXPECT_EQ(ui.fileDialogs[1].DefaultExt, "bin");
  EXPECT_EQ(Folder("ApplyDIF"), dir.path() + "/");
  EXPECT_EQ(Folder("ApplyDIF_BIN"), dir.path() + "/");

  // An existing image keeps what the patch does not touch.
  dir.Write("old.bin", std::string(8, 'o'));
  Choose("p.dif");
  Choose("old.bin");
  ASSERT_TRUE(UnpackDIFClick(frame));
  expected.replace(0, 8, "oooooooo");
  EXPECT_EQ(ReadFile(dir.File("old.bin")), expected);
}

TEST_F(OfflineHandlersTest, ApplyWritesTheTfsPartAfterItsOwnDialog) {
  TDIFFile patch;
  patch.SetNORData(patch.AddBlock(), 0, "nor");
  patch.SetTFSFile(patch.AddBlock(), "/f.txt", "file");
  Save("p.dif", patch);
  Choose("p.dif");
  Cancel();  // no BIN
  Choose("out.tfs");
  ASSERT_TRUE(UnpackDIFClick(frame));
  EXPECT_EQ(ui.fileDialogs[2].Title, "Choose TFS file to write...");
  EXPECT_EQ(Folder("ApplyDIF_TFS"), dir.path() + "/");
  TDIFFile back;
  ASSERT_TRUE(ReadTfsPair(ui, back, dir.File("out.tfs"), nullptr));
  ASSERT_EQ(back.Blocks.size(), 1u);
  std::string name, bytes;
  TDIFFile::GetTFSFile(back.Blocks[0], name, bytes);
  EXPECT_EQ(name + "=" + bytes, "/f.txt=file");
}

// ---- S3 to BIN/DIF -------------------------------------------------------------

struct S3Conversion : OfflineHandlersTest {
  S3Conversion() {
    TDIFFile src;
    src.SetNORData(src.AddBlock(), 4, "s3data");
    ui.fileAnswers.clear();
    EXPECT_TRUE(WriteS3File(ui, src, dir.File("fw.s3"), "x"));
  }
  const std::string kImage = std::string(4, '\xFF') + "s3data";
};

TEST_F(S3Conversion, UpperCaseBinWithTheDifFilterWritesADif) {
  dialog.Parameters.Comment = "{\\rtf1 from S3}";
  ui.editParameters = [this](DifParametersDialog&) {
    EXPECT_FALSE(Exists(dir.File("X.BIN")));  // nothing written before this dialog closes
  };
  Choose("fw.s3");
  ui.fileAnswers.push_back(Answer{{dir.File("X.BIN  ")}, kDifFilter});
  ASSERT_TRUE(S3toBDClick(frame, dialog.Parameters));
  const TDIFFile dif = Load("X.BIN");
  EXPECT_EQ(Kinds(dif), (std::vector<std::string>{"dIFC", "NORD"}));
  EXPECT_EQ(Blocks(dif, "NORD"), (std::map<uint32_t, std::string>{{4, "s3data"}}));
  ASSERT_EQ(ui.parameterDialogs.size(), 1u);
  EXPECT_EQ(ui.parameterDialogs[0].Caption, "DIF file creation parameters...");
  EXPECT_FALSE(ui.parameterDialogs[0].ComparisonEnabled || ui.parameterDialogs[0].ReversalEnabled);
  EXPECT_EQ(Titles(),
            (std::vector<std::string>{"Choose S3 file...", "Choose DIF or BIN file to write..."}));
  EXPECT_EQ(Folder("OptiS3toBDSrc"), dir.path() + "/");
  EXPECT_EQ(Folder("OptiS3toBDTgt"), dir.path() + "/");
}

TEST_F(S3Conversion, LowerCaseBinWritesTheImage) {
  Choose("fw.s3");
  Choose("x.bin", kDifFilter);
  ASSERT_TRUE(S3toBDClick(frame, dialog.Parameters));
  EXPECT_EQ(ReadFile(dir.File("x.bin")), kImage);
  EXPECT_TRUE(ui.parameterDialogs.empty());

  Choose("fw.s3");
  Choose("bare", kBinFilter);  // a bare name with the BIN filter becomes a BIN
  ASSERT_TRUE(S3toBDClick(frame, dialog.Parameters));
  EXPECT_EQ(ReadFile(dir.File("bare.bin")), kImage);
}

TEST_F(S3Conversion, MissingSourceIsReportedAndNothingIsAskedFurther) {
  Choose("none.s3");
  EXPECT_FALSE(S3toBDClick(frame, dialog.Parameters));
  EXPECT_EQ(ui.Texts(MessageKind::Error),
            std::vector<std::string>{"Operation aborted: " + dir.File("none.s3") +
                                     ": No such file or directory"});
  EXPECT_EQ(ui.fileDialogs.size(), 1u);
  EXPECT_FALSE(frame.Busy);
}

TEST(OutputKindTest, NameAndFilterDecideTheKind) {
  struct Case {
    const char* name;
    int filter;
    const char* file;
    bool dif;
  };
  const Case cases[] = {
      {"a", kDifFilter, "a.dif", true},         {"a.BIN", kDifFilter, "a.BIN", true},
      {"a.bin", kDifFilter, "a.bin", false},    {"a.s3", kDifFilter, "a.s3", true},
      {"a", kBinFilter, "a.bin", false},        {"a.DIF", kBinFilter, "a.DIF", false},
      {"a.dif", kBinFilter, "a.dif", true},     {"a", kAnyFilter, "a", false},
      {"a.DiF", kAnyFilter, "a.DiF", true},     {"a.cla", kAnyFilter, "a.cla", false},
      {"d.x/a", kDifFilter, "d.x/a.dif", true}, {"  a.bin\t", kDifFilter, "a.bin", false},
  };
  for (const Case& c : cases) {
    const OutputChoice out = DecideOutputKind(c.name, c.filter);
    EXPECT_EQ(out.FileName, c.file) << c.name << " " << c.filter;
    EXPECT_EQ(out.Dif, c.dif) << c.name << " " << c.filter;
  }
  EXPECT_EQ(FileBaseName("/x.y/fw.v2.bin"), "fw.v2");
  EXPECT_EQ(FileBaseName("/x.y/fw"), "fw");
}

// ---- BIN/DIF to S3 and to BIN+OGM ----------------------------------------------

TEST_F(OfflineHandlersTest, BinToS3CoversTheWholeImage) {
  const std::string image = std::string(40, '\xFF') + Image(300, 5) + std::string(20, '\xFF');
  dir.Write("fw.bin", image);
  Choose("fw.bin");
  Choose("fw.s3");
  ASSERT_TRUE(BDtoS3Click(frame));
  EXPECT_EQ(Titles(),
            (std::vector<std::string>{"Choose DIF or BIN file...", "Choose S3 file to write..."}));
  EXPECT_EQ(Folder("OptiBDToS3Src"), dir.path() + "/");
  EXPECT_EQ(Folder("OptiBDtoS3Tgt"), dir.path() + "/");
  std::vector<TDIFBlock> blocks;
  ASSERT_EQ(ParseS3Text(ReadFile(dir.File("fw.s3")), blocks), kS3AllLinesValid);
  TDIFFile back;
  back.Blocks = std::move(blocks);
  EXPECT_EQ(Blocks(back, "NORD"), (std::map<uint32_t, std::string>{{0, image}}));
}

TEST_F(OfflineHandlersTest, ForeignDifIsRefusedBeforeAnyTargetIsAsked) {
  TDIFFile foreign;
  foreign.SetNORData(foreign.AddBlock(), 0, "data");
  Save("f.dif", foreign, "XXXX");
  Choose("f.dif");
  EXPECT_FALSE(BDtoS3Click(frame));
  Choose("f.dif");
  EXPECT_FALSE(BDtoS500Click(frame));
  const std::string refusal =
      "Operation aborted: phone ID 'XXXX' is not supported by this BRNTL version";
  EXPECT_EQ(ui.Texts(MessageKind::Error), (std::vector<std::string>{refusal, refusal}));
  EXPECT_EQ(ui.fileDialogs.size(), 2u);
}

TEST_F(OfflineHandlersTest, BinOgmSetProposesNamesAndSkipsOnlyACancelledPart) {
  TDIFFile set;
  set.SetNORData(set.AddBlock(), 0x000010, "bin1");
  set.SetNORData(set.AddBlock(), 0x700000, "ogm1");
  set.SetNORData(set.AddBlock(), 0x800000, "bin2");
  set.SetNORData(set.AddBlock(), 0xC70000, "ogm2");
  Save("fw.v1.dif", set);
  Choose("fw.v1.dif");
  Choose("one.bin");
  Cancel();  // second BIN
  Choose("one.ogm");
  Choose("two.ogm");
  ASSERT_TRUE(BDtoS500Click(frame));

  std::vector<std::string> proposed, exts;
  for (size_t i = 1; i < ui.fileDialogs.size(); ++i) {
    proposed.push_back(ui.fileDialogs[i].InitialName);
    exts.push_back(ui.fileDialogs[i].DefaultExt + ":" + ui.fileDialogs[i].Title);
  }
  EXPECT_EQ(proposed,
            (std::vector<std::string>{"fw.v1_1.bin", "fw.v1_2.bin", "fw.v1_1.ogm", "fw.v1_2.ogm"}));
  // Each dialog says which file of the set it asks for.
  EXPECT_EQ(exts, (std::vector<std::string>{
                      "bin:Choose BIN 1 file to write...", "bin:Choose BIN 2 file to write...",
                      "ogm:Choose OGM 1 file to write...", "ogm:Choose OGM 2 file to write..."}));
  EXPECT_EQ(ReadFile(dir.File("one.bin")), std::string(0x10, '\xFF') + "bin1");
  EXPECT_EQ(ReadFile(dir.File("one.ogm")), "ogm1");
  EXPECT_EQ(ReadFile(dir.File("two.ogm")), "ogm2");
  EXPECT_EQ(Folder("S500Unpack_Src"), dir.path() + "/");
  EXPECT_EQ(Folder("S500Unpack_Tgt"), dir.path() + "/");
}

// ---- BIN+OGM to BIN/DIF --------------------------------------------------------

TEST_F(OfflineHandlersTest, BinOgmToDifTakesAnySubsetAndAFreshComment) {
  dir.Write("fw_1.bin", "first");
  dir.Write("fw_1.ogm", "media");
  Choose("fw_1.bin");
  Cancel();  // no second BIN
  Choose("fw_1.ogm");
  Cancel();  // no second OGM
  Choose("fw.dif", 1);
  dialog.Parameters.Comment = "{\\rtf1 left from before}";
  ASSERT_TRUE(S500toBDClick(frame, dialog.Parameters));

  const TDIFFile dif = Load("fw.dif");
  EXPECT_EQ(Blocks(dif, "NORD"),
            (std::map<uint32_t, std::string>{{0, "first"}, {0x700000, "media"}}));
  EXPECT_EQ(Kinds(dif).front(), "NORD");  // the comment was cleared
  ASSERT_EQ(ui.parameterDialogs.size(), 1u);
  EXPECT_EQ(ui.parameterDialogs[0].Comment, "");
  EXPECT_EQ(ui.parameterDialogs[0].Caption, "DIF file creation parameters...");
  EXPECT_EQ(ui.fileDialogs.back().InitialName, "fw.bin");
  EXPECT_EQ(ui.fileDialogs.back().Title, "Choose BIN file to write...");
  EXPECT_EQ(Folder("S500Pack_Src"), dir.path() + "/");
  EXPECT_EQ(Folder("S500Pack_TGT"), dir.path() + "/");

  // The same set as a flat image.
  Choose("fw_1.bin");
  Cancel();
  Cancel();
  Cancel();
  Choose("flat", 1);
  ASSERT_TRUE(S500toBDClick(frame, dialog.Parameters));
  EXPECT_EQ(ReadFile(dir.File("flat.bin")), "first");
}

TEST_F(OfflineHandlersTest, BinOgmWithNoFileChosenAsksForNoTarget) {
  for (int i = 0; i < 4; ++i) Cancel();
  EXPECT_FALSE(S500toBDClick(frame, dialog.Parameters));
  // The four files asked for one by one, each by its own title.
  std::vector<std::string> asked;
  for (const FileDialog& d : ui.fileDialogs) asked.push_back(d.DefaultExt + ":" + d.Title);
  EXPECT_EQ(asked,
            (std::vector<std::string>{"bin:Choose BIN 1 file...", "bin:Choose BIN 2 file...",
                                      "ogm:Choose OGM 1 file...", "ogm:Choose OGM 2 file..."}));
}

}  // namespace
}  // namespace brantle
