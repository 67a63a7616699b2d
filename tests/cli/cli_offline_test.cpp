// brantle-cli's offline commands as a script would run them.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli_helpers.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::kCli;
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
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(dir.File("junk.dif") + " ignored: invalid DIF file"), std::string::npos)
      << r.err;

  dir.Write("bad.s3", "S00600004844521B\nS3XX\n");
  r = Run({"convert", "s3-to-bin", dir.File("bad.s3"), dir.File("x.bin")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error: invalid S3 file, line 1"), std::string::npos) << r.err;

  r = Run({"dif", "create", "--target", dir.File("b.bin"), "--reversal", "separate", "-o",
           dir.File("p.dif")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--undo-out"), std::string::npos);
  r = Run({"dif", "create", "--target", dir.File("missing.bin"), "-o", dir.File("p.dif")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("DIF creation aborted: could not open file"), std::string::npos) << r.err;
  EXPECT_EQ(Run({"convert", "bin-to-bin", "a", "b"}).status, 2);
  EXPECT_EQ(Run({"dif", "frobnicate"}).status, 2);
}

}  // namespace
}  // namespace brantle
