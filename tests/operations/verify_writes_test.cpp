// Verification after writing against virtual phones that store one byte of a program
// command changed: caught and written again, or the operation stops naming the byte;
// without verification the change goes unnoticed.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "dif/DIFCore.h"
#include "operations/erase_workflow.h"
#include "operations/flash_pages.h"
#include "operations/flash_workflow.h"
#include "operations/verified_write.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;

constexpr uint32_t kSector = 0x10000;
// Sectors 2 to 4: whole 64 KB blocks on the virtual phone's chip.
constexpr uint32_t kAt = 0x20000;
constexpr uint32_t kLength = 3 * kSector;

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string out(n, '\0');
  for (char& c : out) c = static_cast<char>(gen());
  return out;
}

std::vector<uint8_t> Patched(std::vector<uint8_t> nor, uint32_t address, const std::string& bytes) {
  std::copy(bytes.begin(), bytes.end(), nor.begin() + address);
  return nor;
}

TDIFFile ImageOf(uint32_t address, const std::string& bytes) {
  TDIFFile image;
  image.SetNORData(image.AddBlock(), address, bytes);
  return image;
}

// The virtual phone changes the middle byte of a program command's data.
std::string ExpectedFailure(uint32_t blockAddress, uint32_t blockLength, const std::string& image,
                            uint32_t imageAddress) {
  const uint32_t at = blockAddress + blockLength / 2;
  const auto wanted = static_cast<uint8_t>(image[at - imageAddress]);
  return "Flashing aborted: " + VerifyFailedText(at, wanted, static_cast<uint8_t>(~wanted));
}

TEST(VerifyWritesTest, EOneCorruptedProgramIsWrittenAgainAndTheFlashCompletes) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetVerifyWrites(true);
  const std::vector<uint8_t> before = rig.Nor();
  const std::string bytes = RandomBytes(kLength, 1);
  rig.ePhone->CorruptProgram();

  TDIFFile image = ImageOf(kAt, bytes);
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", nullptr, "nOrR", nullptr));

  EXPECT_EQ(rig.Nor(), Patched(before, kAt, bytes));
  // Three sectors, the first twice; each program read back.
  EXPECT_EQ(rig.ePhone->Stats().programs, 4);
  EXPECT_EQ(rig.ePhone->Stats().reads, 4);
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Error).empty());
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Flashing completed."});
  // The bar counts each sector's write and its verification read.
  EXPECT_EQ(rig.ui.progressMax, 2 * int64_t{kLength});
}

TEST(VerifyWritesTest, ECorruptionEveryTimeStopsNamingTheByteAndTheUndoIsStillOffered) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetVerifyWrites(true);
  const std::vector<uint8_t> before = rig.Nor();
  const std::string bytes = RandomBytes(kLength, 2);
  const std::string undoFile = rig.dir.File("undo.dif");
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{undoFile}});
  rig.ePhone->CorruptProgram(true);

  FlashUndoChoice undo;
  undo.Make = true;
  FlashHexPage(rig.frame, rig.driver, "20000", bytes, undo);

  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>{ExpectedFailure(kAt, kSector, bytes, kAt)});
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Information).empty());
  // The first sector was programmed twice; nothing after it.
  EXPECT_EQ(rig.ePhone->Stats().programs, 2);
  const std::vector<uint8_t> nor = rig.Nor();
  EXPECT_EQ(std::vector<uint8_t>(nor.begin() + kAt + kSector, nor.end()),
            std::vector<uint8_t>(before.begin() + kAt + kSector, before.end()));
  // The undo recorded before the writes is offered and puts the old bytes back.
  ASSERT_EQ(rig.ui.fileDialogs.size(), 1u);
  TDIFFile saved;
  ASSERT_EQ(saved.LoadFromFile(undoFile), kDIFOk);
  std::string restored(reinterpret_cast<const char*>(nor.data()), nor.size());
  for (const TDIFBlock& block : saved.Blocks) {
    if (block.Kind != "NORD") continue;
    restored.replace(NORAddress(block), NORDataLength(block), NORDataBytes(block),
                     NORDataLength(block));
  }
  EXPECT_EQ(restored, std::string(before.begin(), before.end()));
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(VerifyWritesTest, WithoutVerificationTheCorruptionPassesUnnoticed) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  const std::string bytes = RandomBytes(kLength, 3);
  rig.ePhone->CorruptProgram();

  TDIFFile image = ImageOf(kAt, bytes);
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", nullptr, "nOrR", nullptr));

  std::vector<uint8_t> expected = Patched(before, kAt, bytes);
  expected[kAt + kSector / 2] = static_cast<uint8_t>(~expected[kAt + kSector / 2]);
  EXPECT_EQ(rig.Nor(), expected);
  EXPECT_EQ(rig.ePhone->Stats().programs, 3);
  EXPECT_EQ(rig.ePhone->Stats().reads, 0);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Flashing completed."});
}

TEST(VerifyWritesTest, OptiOneCorruptedPieceIsWrittenAgain) {
  PhoneRig rig("Opti", 0);
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetVerifyWrites(true);
  const std::vector<uint8_t> before = rig.Nor();
  // Two pieces: up to the 128 KB boundary and on from it.
  const std::string bytes = RandomBytes(0x30000, 4);
  rig.optiPhone->CorruptProgram();

  TDIFFile image = ImageOf(0x30000, bytes);
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", nullptr, "nOrR", nullptr));

  EXPECT_EQ(rig.Nor(), Patched(before, 0x30000, bytes));
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Error).empty());
  EXPECT_EQ(rig.ui.progressMax, 2 * 0x30000);
}

TEST(VerifyWritesTest, OptiCorruptionEveryTimeStopsNamingTheByte) {
  PhoneRig rig("Opti", 0);
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetVerifyWrites(true);
  const std::string bytes = RandomBytes(0x1000, 5);
  rig.optiPhone->CorruptProgram(true);

  TDIFFile image = ImageOf(0x40100, bytes);
  EXPECT_FALSE(FlashImage(rig.frame, rig.driver, image, "NORD", nullptr, "nOrR", nullptr));

  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>{ExpectedFailure(0x40100, 0x1000, bytes, 0x40100)});
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(VerifyWritesTest, EraseReadsEachErasedSectorBack) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.settings.SetVerifyWrites(true);
  const std::vector<uint8_t> before = rig.Nor();

  EXPECT_TRUE(EraseRegion(rig.frame, rig.driver, 0x20000, 0x4FFFF, nullptr, "nOrR"));

  EXPECT_EQ(rig.ePhone->Stats().erases, 3);
  EXPECT_EQ(rig.ePhone->Stats().reads, 3);
  std::vector<uint8_t> expected = before;
  std::fill(expected.begin() + 0x20000, expected.begin() + 0x50000, uint8_t{0xFF});
  EXPECT_EQ(rig.Nor(), expected);
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Error).empty());
}

}  // namespace
}  // namespace brantle
