// brantle-cli tfs: raw NAND dumps listed and decoded into TFS/CFG pairs.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli_helpers.h"
#include "sim/tfs_volume_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::kCli;
using test::ReadFile;

class CliTfs : public ::testing::Test {
 protected:
  CliTfs() {
    sim::TfsVolumeBuilder builder;
    builder.AddDirectory("/empty");
    builder.AddFile("/a/b/f.txt", "hello");
    builder.AddFile("/a/z", std::string(40000, 'z'));
    const std::vector<uint8_t> image = builder.Build(32768);
    dir.Write("nand.tfr", std::string(image.begin(), image.end()));
  }
  test::TempDir dir;
};

TEST_F(CliTfs, ListShowsTheTreeWithSizes) {
  const auto r = test::RunProgram(kCli, {"tfs", "ls", dir.File("nand.tfr")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "           /a/\n"
            "           /a/b/\n"
            "         5 /a/b/f.txt\n"
            "     40000 /a/z\n"
            "           /empty/\n");
}

TEST_F(CliTfs, DecodeWritesThePairWithEmptyDirectories) {
  const auto r = test::RunProgram(kCli, {"tfs", "decode", dir.File("nand.tfr"), dir.File("o.tfs")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir.File("o.tfs")), "hello" + std::string(40000, 'z'));
  const std::string cfg = ReadFile(dir.File("o.cfg"));
  EXPECT_NE(cfg.find("DIR_NAME : /empty"), std::string::npos) << cfg;
  EXPECT_NE(cfg.find("FILE_NAME : /a/z"), std::string::npos) << cfg;
}

TEST_F(CliTfs, BadDumpsAreReported) {
  dir.Write("junk.tfr", std::string(32768 * 512, '\x5A'));
  auto r = test::RunProgram(kCli, {"tfs", "ls", dir.File("junk.tfr")});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.err.empty());
  // A file that cannot be read at all is refused as any input is.
  r = test::RunProgram(kCli, {"tfs", "ls", dir.File("missing.tfr")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, dir.File("missing.tfr") + ": No such file or directory\n");
  r = test::RunProgram(kCli, {"tfs", "decode", dir.File(""), dir.File("out.tfs")});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(": is a folder"), std::string::npos) << r.err;
  EXPECT_FALSE(std::ifstream(dir.File("out.tfs")).good());
  EXPECT_EQ(test::RunProgram(kCli, {"tfs", "unpack", "x"}).status, 2);
}

}  // namespace
}  // namespace brantle
