// brantle-cli's offline commands as a script would run them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli_helpers.h"
#include "dif/DIFFiles.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::kCli;
using test::LastLine;
using test::ReadFile;

class CliOffline : public ::testing::Test {
 protected:
  CliOffline() {
    original.assign(50000, '\0');
    for (size_t i = 0; i < original.size(); ++i) original[i] = static_cast<char>(i * 13 + 1);
    target = original;
    target[7] ^= 0x40;
    target.replace(30000, 5, "PATCH");
    dir.Write("a.bin", original);
    dir.Write("b.bin", target);
  }
  test::ProgramResult Run(std::vector<std::string> args) { return test::RunProgram(kCli, args); }

  test::TempDir dir;
  std::string original, target;
};

TEST_F(CliOffline, CreateInfoApplyAndUndo) {
  dir.Write("note.txt", "Menu fix\n");
  auto r = Run({"dif", "create", "--original", dir.File("a.bin"), "--target", dir.File("b.bin"),
                "--reversal", "embed", "--zlib", "--comment", dir.File("note.txt"), "-o",
                dir.File("p.dif")});
  ASSERT_EQ(r.status, 0) << r.err;

  r = Run({"dif", "info", dir.File("p.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("zlib-compressed, phone ID 'BRNA'"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("NORD at 00000007  1 bytes"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("nOrR at 00007530  5 bytes"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("comment:\nMenu fix"), std::string::npos) << r.out;

  dir.Write("work.bin", original);
  r = Run({"dif", "apply", dir.File("p.dif"), "--bin", dir.File("work.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), target);

  // The same file applied backwards restores the original.
  r = Run({"dif", "apply", dir.File("p.dif"), "--undo", dir.File("p.dif"), "--bin",
           dir.File("work.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), original);
}

// Every input that cannot be used is named with the system's reason, and the command
// stops (exit 2) before it writes anything.
TEST_F(CliOffline, AnInputThatCannotBeUsedIsNamedWithItsReasonAndNothingIsWritten) {
  dir.Write("empty.bin", "");
  dir.Write("locked.bin", original);
  const std::string missing = dir.File("fw.bin"), folder = dir.path();
  struct Case {
    std::vector<std::string> args;
    std::string said;
  };
  const std::vector<Case> cases = {
      {{"convert", "bin-to-s3", missing, dir.File("fw.s3")},
       missing + ": No such file or directory"},
      {{"dif", "info", dir.File("patch.dif")},
       dir.File("patch.dif") + ": No such file or directory"},
      // The file that is missing is the one named, not the other input.
      {{"dif", "create", "--original", dir.File("old.bin"), "--target", dir.File("b.bin"), "-o",
        dir.File("p.dif")},
       dir.File("old.bin") + ": No such file or directory"},
      {{"convert", "s3-to-bin", folder, dir.File("out.bin")}, folder + ": is a folder"},
      {{"convert", "bin-to-s3", dir.File("empty.bin"), dir.File("fw.s3")},
       dir.File("empty.bin") + ": is empty"},
      {{"dif", "apply", dir.File("none.dif"), "--bin", dir.File("work.bin")},
       dir.File("none.dif") + ": No such file or directory"},
      {{"dif", "create", "--target", dir.File("b.bin"), "--comment", dir.File("notes.txt"), "-o",
        dir.File("p.dif")},
       dir.File("notes.txt") + ": No such file or directory"},
  };
  for (const Case& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(c.said + "\n"), std::string::npos) << c.said << "\n" << r.err;
    EXPECT_EQ(r.err.find("Completed"), std::string::npos) << r.err;
  }
  for (const char* never : {"fw.s3", "p.dif", "out.bin", "work.bin"})
    EXPECT_FALSE(std::ifstream(dir.File(never)).good()) << never;

  // A file this user may not read, as someone without the rights to it: root reads
  // everything, so a root test runs the program as nobody.
  std::vector<std::string> program = {kCli};
  if (geteuid() == 0)
    program = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", kCli};
  else
    chmod(dir.File("locked.bin").c_str(), 0);
  std::vector<std::string> args(program.begin() + 1, program.end());
  for (const std::string& a : {std::string("convert"), std::string("bin-to-s3"),
                               dir.File("locked.bin"), std::string("/tmp/never.s3")})
    args.push_back(a);
  const auto r = test::RunProgram(program[0], args);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(dir.File("locked.bin") + ": permission denied"), std::string::npos) << r.err;
}

TEST_F(CliOffline, ConversionsRoundTrip) {
  ASSERT_EQ(Run({"convert", "bin-to-s3", dir.File("b.bin"), dir.File("b.s3")}).status, 0);
  ASSERT_EQ(Run({"convert", "s3-to-dif", dir.File("b.s3"), dir.File("b.dif")}).status, 0);
  ASSERT_EQ(Run({"convert", "dif-to-s500", dir.File("b.dif"), dir.File("set")}).status, 0);
  ASSERT_EQ(Run({"convert", "s500-to-bin", dir.File("set"), dir.File("c.bin")}).status, 0);
  EXPECT_EQ(ReadFile(dir.File("c.bin")), target);
  EXPECT_EQ(ReadFile(dir.File("set_1.bin")), target);
  EXPECT_EQ(ReadFile(dir.File("set_2.ogm")), "");
}

TEST_F(CliOffline, BadInputGetsTheWindowsMessageAndAnExitStatus) {
  dir.Write("junk.dif", "KTZDnot really a DIF");
  auto r = Run({"dif", "apply", dir.File("junk.dif"), "--bin", dir.File("x.bin")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(dir.File("junk.dif") + ": invalid DIF file"), std::string::npos) << r.err;

  dir.Write("bad.s3", "S00600004844521B\nS3XX\n");
  r = Run({"convert", "s3-to-bin", dir.File("bad.s3"), dir.File("x.bin")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Error: invalid S3 file, line 1"), std::string::npos) << r.err;
  EXPECT_FALSE(std::ifstream(dir.File("x.bin")).good());

  r = Run({"dif", "create", "--target", dir.File("b.bin"), "--reversal", "separate", "-o",
           dir.File("p.dif")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--undo-out"), std::string::npos);
  r = Run({"dif", "create", "--target", dir.File("missing.bin"), "-o", dir.File("p.dif")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(dir.File("missing.bin") + ": No such file or directory"), std::string::npos)
      << r.err;
  EXPECT_EQ(Run({"convert", "bin-to-bin", "a", "b"}).status, 2);
  EXPECT_EQ(Run({"dif", "frobnicate"}).status, 2);
}

// A patch and a DIF of TFS files only, made by the library rather than the program.
void WriteDif(const std::string& path, const std::vector<TDIFBlock>& blocks) {
  TDIFFile dif;
  dif.PhoneID = kDIFPhoneID;
  dif.CreatorText = kDIFCreatorText;
  dif.Blocks = blocks;
  ASSERT_EQ(dif.SaveToFile(path, 0), kDIFOk);
}

TDIFBlock NorBlock(uint32_t address, const std::string& bytes) {
  TDIFBlock block;
  TDIFFile::SetBlockKind(block, "NORD");
  TDIFFile::SetNORData(block, address, bytes);
  return block;
}

TDIFBlock TfsBlock(const std::string& path, const std::string& contents) {
  TDIFBlock block;
  TDIFFile::SetBlockKind(block, "TFSF");
  TDIFFile::SetTFSFile(block, path, contents);
  return block;
}

TEST_F(CliOffline, ApplyWritesNothingWhenAnyDifCannotBeUsed) {
  WriteDif(dir.File("good.dif"), {NorBlock(16, "GOOD")});
  dir.Write("random.dif", std::string(300, '\x5A'));
  dir.Write("work.bin", original);
  auto r = Run({"dif", "apply", dir.File("good.dif"), dir.File("random.dif"), "--bin",
                dir.File("work.bin")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(dir.File("random.dif") + ": invalid DIF file"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Nothing was written."), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Completed"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), original);

  r = Run({"dif", "apply", dir.File("good.dif"), dir.File("missing.dif"), "--bin",
           dir.File("work.bin")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(dir.File("missing.dif") + ": No such file or directory"), std::string::npos)
      << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), original);

  // A DIF of TFS files only has nothing for a BIN: it would not be applied at all.
  WriteDif(dir.File("files.dif"), {TfsBlock("/user/a.txt", "text")});
  r = Run(
      {"dif", "apply", dir.File("good.dif"), dir.File("files.dif"), "--bin", dir.File("work.bin")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("files.dif: its TFS files are left out (no --tfs OUT.tfs given)"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("files.dif: nothing in it can be used here"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), original);

  // Both used: both counted.
  r = Run({"dif", "apply", dir.File("good.dif"), dir.File("files.dif"), "--bin",
           dir.File("work.bin"), "--tfs", dir.File("out.tfs")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Completed: " + dir.File("work.bin") + " and " + dir.File("out.tfs") +
                       " with " + dir.File("out.cfg") + " written (2 DIF files applied)."),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), std::string(original).replace(16, 4, "GOOD"));
  EXPECT_EQ(ReadFile(dir.File("out.tfs")), "text");
}

TEST_F(CliOffline, UndoOfAFileWithoutUndoDataIsRefused) {
  auto r = Run({"dif", "create", "--original", dir.File("a.bin"), "--target", dir.File("b.bin"),
                "--reversal", "separate", "--undo-out", dir.File("undo.dif"), "-o",
                dir.File("patch.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  dir.Write("work.bin", target);
  r = Run({"dif", "apply", dir.File("patch.dif"), "--undo", dir.File("patch.dif"), "--bin",
           dir.File("work.bin")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(dir.File("patch.dif") + " holds no undo data"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--undo-out"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), target);

  // The undo data is where the message says: the undo DIF, applied forwards.
  r = Run({"dif", "apply", dir.File("undo.dif"), "--bin", dir.File("work.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), original);

  // An --undo that names none of the files would be ignored.
  r = Run({"dif", "apply", dir.File("undo.dif"), "--undo", dir.File("other.dif"), "--bin",
           dir.File("work.bin")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), original);
}

// Two DIFs of one name in two folders: an --undo for one of them would have turned
// both backwards.
TEST_F(CliOffline, AnUndoChoiceThatNamesTwoFilesIsRefused) {
  ASSERT_EQ(system(("mkdir " + dir.File("x") + " " + dir.File("y")).c_str()), 0);
  auto r = Run({"dif", "create", "--original", dir.File("a.bin"), "--target", dir.File("b.bin"),
                "--reversal", "embed", "-o", dir.File("x/patch.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run({"dif", "create", "--original", dir.File("a.bin"), "--target", dir.File("b.bin"),
           "--reversal", "embed", "-o", dir.File("y/patch.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  dir.Write("work.bin", target);
  r = Run({"dif", "apply", dir.File("x/patch.dif"), dir.File("y/patch.dif"), "--undo",
           dir.File("x/patch.dif"), "--bin", dir.File("work.bin")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("--undo " + dir.File("x/patch.dif") +
                       " names more than one of the DIF files given (patch.dif)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), target);
  // One of them alone goes backwards as asked.
  r = Run({"dif", "apply", dir.File("x/patch.dif"), "--undo", dir.File("x/patch.dif"), "--bin",
           dir.File("work.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir.File("work.bin")), original);
}

TEST_F(CliOffline, CreateFromMergedDifsKeepsTheirCommentUnlessOneIsGiven) {
  dir.Write("note.txt", "Menu fix\n");
  dir.Write("other.txt", "Other words\n");
  auto r = Run({"dif", "create", "--target", dir.File("b.bin"), "--comment", dir.File("note.txt"),
                "-o", dir.File("c.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run({"dif", "create", "--merge", dir.File("c.dif"), "-o", dir.File("kept.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run({"dif", "info", dir.File("kept.dif")});
  EXPECT_NE(r.out.find("comment:\nMenu fix"), std::string::npos) << r.out;

  r = Run({"dif", "create", "--merge", dir.File("c.dif"), "--comment", dir.File("other.txt"), "-o",
           dir.File("replaced.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run({"dif", "info", dir.File("replaced.dif")});
  EXPECT_NE(r.out.find("comment:\nOther words"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Menu fix"), std::string::npos) << r.out;
}

TEST_F(CliOffline, SeparateReversalWithoutAnOriginalSaysNoUndoDifWasWritten) {
  const auto r = Run({"dif", "create", "--target", dir.File("b.bin"), "--reversal", "separate",
                      "--undo-out", dir.File("nu.dif"), "-o", dir.File("p.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LastLine(r.err), "Completed: " + dir.File("p.dif") +
                                 " written; no undo DIF written: no --original IMAGE to take the "
                                 "original bytes from.");
  EXPECT_FALSE(std::ifstream(dir.File("nu.dif")).good());
}

// The directories of a written CFG file, in their order.
std::vector<std::string> CfgDirectories(const std::string& cfg) {
  std::vector<std::string> dirs;
  std::istringstream lines(cfg);
  const std::string key = "DIR_NAME : ";
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, key.size(), key) == 0) dirs.push_back(line.substr(key.size()));
  }
  return dirs;
}

TEST_F(CliOffline, CfgDirectoryOrderFollowsTheCollationOfTheEnvironment) {
  // en_US.UTF-8 puts "a" before "B", byte order "B" first. Where the system lacks
  // the locale, it is built from the locale sources for this test.
  std::vector<std::string> env = {"LC_ALL=", "LANG="};
  if (const locale_t installed = newlocale(LC_COLLATE_MASK, "en_US.UTF-8", nullptr)) {
    freelocale(installed);
  } else {
    ASSERT_EQ(
        std::system(("localedef -i en_US -f UTF-8 " + dir.File("en_US.UTF-8") + " >/dev/null 2>&1")
                        .c_str()),
        0)
        << "no en_US.UTF-8 locale, and localedef could not build one (scripts/install-deps "
           "generates it)";
    env.push_back("LOCPATH=" + dir.path());
  }
  WriteDif(dir.File("files.dif"),
           {TfsBlock("/b/f", "1"), TfsBlock("/a/f", "2"), TfsBlock("/B/f", "3")});
  const auto apply = [&](const std::string& collation, const std::string& out) {
    std::vector<std::string> withCollation = env;
    withCollation.push_back("LC_COLLATE=" + collation);
    const auto r = test::RunProgram(
        kCli, {"dif", "apply", dir.File("files.dif"), "--tfs", dir.File(out + ".tfs")}, {},
        withCollation);
    EXPECT_EQ(r.status, 0) << r.err;
    return CfgDirectories(ReadFile(dir.File(out + ".cfg")));
  };
  EXPECT_EQ(apply("en_US.UTF-8", "us"), (std::vector<std::string>{"/a", "/b", "/B"}));
  EXPECT_EQ(apply("C", "c"), (std::vector<std::string>{"/B", "/a", "/b"}));
}

TEST_F(CliOffline, CreateWritesNothingWhenAMergedDifCannotBeUsed) {
  WriteDif(dir.File("good.dif"), {NorBlock(16, "GOOD")});
  dir.Write("random.dif", std::string(300, '\x5A'));
  const auto r = Run({"dif", "create", "--merge", dir.File("good.dif"), "--merge",
                      dir.File("random.dif"), "-o", dir.File("out.dif")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find(dir.File("random.dif") + ": invalid DIF file"), std::string::npos) << r.err;
  EXPECT_FALSE(std::ifstream(dir.File("out.dif")).good());
}

TEST_F(CliOffline, AnS500SetSaysWhatItLeavesOut) {
  std::string image(16u << 20, '\x11');
  image.replace(0xEFFFFF, 2, "FE");  // the firmware area's last byte and the EEPROM's first
  dir.Write("full.bin", image);
  auto r = Run({"convert", "bin-to-s500", dir.File("full.bin"), dir.File("set")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string set = dir.File("set_1.bin") + ", " + dir.File("set_2.bin") + ", " +
                          dir.File("set_1.ogm") + " and " + dir.File("set_2.ogm");
  EXPECT_EQ(LastLine(r.err), "Completed: " + set + " written from " + dir.File("full.bin") +
                                 "; NOR F00000-FFFFFF was left out (a 2BIN+2OGM set holds the "
                                 "firmware area 0-EFFFFF only).");
  EXPECT_EQ(ReadFile(dir.File("set_2.ogm")), image.substr(0xC70000, 0x290000));

  // A firmware image has nothing to leave out.
  dir.Write("fw.bin", image.substr(0, 0xF00000));
  r = Run({"convert", "bin-to-s500", dir.File("fw.bin"), dir.File("fw")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LastLine(r.err), "Completed: " + dir.File("fw_1.bin") + ", " + dir.File("fw_2.bin") +
                                 ", " + dir.File("fw_1.ogm") + " and " + dir.File("fw_2.ogm") +
                                 " written from " + dir.File("fw.bin") + ".");
}

// An S3 file of only a header and an end record is a valid empty image: the result is
// empty too, and the run says why rather than just "Converted".
TEST_F(CliOffline, AConversionOfNoDataSaysSo) {
  dir.Write("empty.s3", "S00600004844521B\r\nS70500000000FA\r\n");
  auto r = Run({"convert", "s3-to-bin", dir.File("empty.s3"), dir.File("out.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(LastLine(r.err), "Completed: " + dir.File("out.bin") + " written from " +
                                 dir.File("empty.s3") + "; " + dir.File("empty.s3") +
                                 " holds no NOR data, so the result holds none either.");
  EXPECT_EQ(ReadFile(dir.File("out.bin")), "");
  // A set of which no file exists is named in full.
  r = Run({"convert", "s500-to-bin", dir.File("none"), dir.File("x.bin")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("no file of the set " + dir.File("none_1.bin") + ", "), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find(dir.File("none_2.ogm") + " exists"), std::string::npos) << r.err;
}

TEST_F(CliOffline, ApplyingToAnImageThatDoesNotExistSaysItStartsFromFF) {
  auto r = Run({"dif", "create", "--original", dir.File("a.bin"), "--target", dir.File("b.bin"),
                "-o", dir.File("p.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  r = Run({"dif", "apply", dir.File("p.dif"), "--bin", dir.File("new.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find(dir.File("new.bin") +
                       " does not exist yet: it is made from the DIFs alone, every byte they do "
                       "not write being FF.\n"),
            std::string::npos)
      << r.err;
  const std::string made = ReadFile(dir.File("new.bin"));
  ASSERT_EQ(made.size(), 30005u);
  EXPECT_EQ(made.substr(30000), "PATCH");
  EXPECT_EQ(made.substr(8, 100), std::string(100, '\xFF'));
  // An image that exists is changed without a word about it.
  r = Run({"dif", "apply", dir.File("p.dif"), "--bin", dir.File("a.bin")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("does not exist"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("a.bin")), target);
}

TEST_F(CliOffline, ComparingShowsAsAProgressLineWithItsCount) {
  const auto r = Run({"dif", "create", "--original", dir.File("a.bin"), "--target",
                      dir.File("b.bin"), "-o", dir.File("p.dif")});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.err);
  std::string line, last;
  while (std::getline(lines, line)) {
    if (line.find("Processing BIN part of DIF file:") == std::string::npos) continue;
    EXPECT_EQ(line.rfind("Processing BIN part of DIF file: ", 0), 0u) << line;
    EXPECT_NE(line.find(" of 50000 bytes done"), std::string::npos) << line;
    last = line;
  }
  EXPECT_EQ(last, "Processing BIN part of DIF file: 50000 of 50000 bytes done") << r.err;
}

}  // namespace
}  // namespace brantle
