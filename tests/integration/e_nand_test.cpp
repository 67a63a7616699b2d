// The file-system and NAND commands over a real pseudo-terminal against the virtual
// E phone: both write dialects, format, raw reads with their checksum.

#include <gtest/gtest.h>

#include "engine/ktze_flasher.h"
#include "engine/result_codes.h"
#include "formats/stde_decoder.h"
#include "sim/demo_loaders.h"
#include "sim/virtual_e_phone.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

class ENandTest : public ::testing::TestWithParam<const char*> {
 protected:
  ENandTest() : engine(link) {
    std::string error;
    EXPECT_TRUE(sim::WriteDemoLoaders(loaders.path(), error)) << error;
    engine.LoadersFolder = loaders.path();
    sim::EPhoneConfig config;
    config.family = GetParam();
    phone = std::make_unique<sim::VirtualEPhone>(config);
    EXPECT_TRUE(phone->Start()) << phone->error();
    EXPECT_EQ(engine.EInitPort(phone->PortPath(), GetParam()), kOk);
    int r = kErrTimeout;
    for (int i = 0; i < 40 && r != kOk; ++i) r = engine.EWaitBoot(1, 250);
    EXPECT_EQ(engine.EBootCommand(0, 0, 0, 0), kOk);
    EXPECT_EQ(engine.ESendLoader1(), kOk);
    EXPECT_EQ(engine.ESwitchSpeed(806400), kOk);
    EXPECT_EQ(engine.ESendLoader2(), kOk);
  }

  test::TempDir loaders;
  Link link;
  EEngine engine;
  std::unique_ptr<sim::VirtualEPhone> phone;
};

TEST_P(ENandTest, FormatThenWriteATree) {
  ASSERT_EQ(engine.ENANDFormat(), kOk);
  std::string big(20000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  ASSERT_EQ(engine.ETFSBegin(), kOk);
  ASSERT_EQ(engine.ETFSMakeDirs({"/a/", "/a/b"}), kOk);
  ASSERT_EQ(engine.ETFSSendFiles({"/a/empty", "/a/b/big", "/top"}, {"", big, "xyz"}), kOk);
  ASSERT_EQ(engine.ETFSEnd(), kOk);
  const sim::TfsTree tree = phone->NandTree();
  EXPECT_EQ(tree.directories, (std::set<std::string>{"/a", "/a/b"}));
  EXPECT_EQ(tree.files, (std::map<std::string, std::string>{
                            {"/a/empty", ""}, {"/a/b/big", big}, {"/top", "xyz"}}));
  // The phone is still at the command loop afterwards.
  std::string sector(512, '\0');
  EXPECT_EQ(engine.ERead(0, 512, reinterpret_cast<uint8_t*>(sector.data())), kOk);
}

TEST_P(ENandTest, RawReadsAndTheirChecksum) {
  ASSERT_EQ(engine.ENANDOpen(), kOk);
  std::string buf(4 * 512, '\0');
  auto* p = reinterpret_cast<uint8_t*>(buf.data());
  ASSERT_EQ(engine.ENANDRead(100, 4, p), kOk);
  const std::vector<uint8_t> nand = phone->NandSectors();
  EXPECT_TRUE(buf == std::string(nand.begin() + 100 * 512, nand.begin() + 104 * 512));
  phone->FailRawReadChecksums(3);
  EXPECT_EQ(engine.ENANDRead(100, 4, p), kOk);
  phone->FailRawReadChecksums(4);
  EXPECT_EQ(engine.ENANDRead(100, 4, p), kErrCrc);
  // Past the last sector the loader refuses.
  const uint16_t last = static_cast<uint16_t>(phone->NandSectors().size() / 512 - 1);
  EXPECT_EQ(engine.ENANDRead(last, 2, p), kErrUnexpected);
}

// Format, write a tree, read the whole NAND back raw as a dump file would hold it,
// decode it: exactly what was written comes back.
TEST_P(ENandTest, WrittenFilesComeBackFromARawDump) {
  ASSERT_EQ(engine.ENANDFormat(), kOk);
  std::string big(50000, '\0');  // several clusters
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 13 + (i >> 8));
  ASSERT_EQ(engine.ETFSBegin(), kOk);
  ASSERT_EQ(engine.ETFSMakeDirs({"/a/", "/a/b", "/e/"}), kOk);
  ASSERT_EQ(engine.ETFSSendFiles({"/a/empty", "/a/b/big", "/top"}, {"", big, "xyz"}), kOk);
  ASSERT_EQ(engine.ETFSEnd(), kOk);

  ASSERT_EQ(engine.ENANDOpen(), kOk);
  const uint32_t sectors = NandSectorCount(GetParam());
  std::string image(size_t{sectors} * 512, '\0');
  for (uint32_t first = 0; first < sectors; first += 32)
    ASSERT_EQ(engine.ENANDRead(static_cast<uint16_t>(first), 32,
                               reinterpret_cast<uint8_t*>(&image[size_t{first} * 512])),
              kOk)
        << first;
  loaders.Write("nand.tfr", image);

  FileSectorSource source(sectors);
  ASSERT_TRUE(source.Open(loaders.File("nand.tfr")));
  test::RecordingUi ui;
  TDIFFile dif;
  std::vector<std::string> directories;
  TFSDumpOptions options;
  options.ShowCompletion = false;
  ASSERT_TRUE(DumpTFS(ui, source, dif, directories, options));
  std::map<std::string, std::string> files;
  for (const TDIFBlock& b : dif.Blocks) {
    std::string path, contents;
    TDIFFile::GetTFSFile(b, path, contents);
    files[path] = contents;
  }
  EXPECT_EQ(files, (std::map<std::string, std::string>{
                       {"/a/empty", ""}, {"/a/b/big", big}, {"/top", "xyz"}}));
  std::sort(directories.begin(), directories.end());
  EXPECT_EQ(directories, (std::vector<std::string>{"/a/", "/a/b/", "/e/"}));
  EXPECT_TRUE(ui.Texts(MessageKind::Error).empty());
}

INSTANTIATE_TEST_SUITE_P(Dialects, ENandTest, ::testing::Values("E700", "E800"));

}  // namespace
}  // namespace brantle
