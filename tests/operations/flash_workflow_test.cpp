// Flashing against the virtual phones: what is read and programmed, what the undo
// records, the EEPROM question, the file system upload, cancel and engine errors.

#include "operations/flash_workflow.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "operations/flash_pages.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;

constexpr uint32_t kMiB = 1u << 20;

std::string Bytes(const std::vector<uint8_t>& nor, uint32_t at, uint32_t n) {
  return std::string(reinterpret_cast<const char*>(nor.data()) + at, n);
}

TDIFFile ImageOf(uint32_t address, const std::string& bytes) {
  TDIFFile image;
  image.SetNORData(image.AddBlock(), address, bytes);
  return image;
}

// The NOR with bytes put at address: what the phone should hold after the flash.
std::vector<uint8_t> Patched(std::vector<uint8_t> nor, uint32_t address, const std::string& bytes) {
  std::copy(bytes.begin(), bytes.end(), nor.begin() + address);
  return nor;
}

int Count(const std::vector<std::string>& texts, const std::string& text) {
  return static_cast<int>(std::count(texts.begin(), texts.end(), text));
}

// ---- pieces and the EEPROM area -------------------------------------------------------

TEST(OptiPiecesTest, PiecesEndAtEach128KBoundary) {
  const std::vector<NorPiece> want = {
      {0x1F000, 4096}, {0x20000, 131072}, {0x40000, 131072}, {0x60000, 33760}};
  EXPECT_EQ(OptiPieces(0x1F000, 300000), want);
  EXPECT_EQ(OptiPieces(0x20000, 0x20000), std::vector<NorPiece>({{0x20000, 0x20000}}));
  EXPECT_TRUE(OptiPieces(0x1234, 0).empty());
}

TEST(TouchesEepromTest, OnlyStretchesOverlappingTheArea) {
  const NorAreas areas{14 * kMiB, 2 * kMiB};
  EXPECT_FALSE(TouchesEeprom(14 * kMiB - 0x20000, 0x20000, areas));  // ends exactly at FW
  EXPECT_TRUE(TouchesEeprom(14 * kMiB - 1, 2, areas));
  EXPECT_TRUE(TouchesEeprom(16 * kMiB - 1, 1, areas));
  EXPECT_FALSE(TouchesEeprom(16 * kMiB, 0x20000, areas));  // starts at FW + EE
  EXPECT_FALSE(TouchesEeprom(15 * kMiB, 0, areas));
}

// ---- E families ------------------------------------------------------------------------

TEST(FlashImageETest, FourBytesInSectorOneReadAndProgramOnlyThatSector) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  const std::string bytes = "\x11\x22\x33\x44";

  TDIFFile image = ImageOf(0x10002, bytes);
  TDIFFile undo;
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", &undo, "NORD", nullptr));

  EXPECT_EQ(rig.ePhone->Stats().reads, 1);
  EXPECT_EQ(rig.Nor(), Patched(before, 0x10002, bytes));
  ASSERT_EQ(undo.Blocks.size(), 1u);
  EXPECT_EQ(undo.Blocks[0].Kind, "NORD");
  uint32_t address = 0;
  std::string old;
  TDIFFile::GetNORData(undo.Blocks[0], address, old);
  EXPECT_EQ(address, 0x10002u);
  EXPECT_EQ(old, Bytes(before, 0x10002, 4));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>({"Flashing completed."}));

  // A second sector costs as many program blocks as the first one did.
  const int perSector = rig.ePhone->Stats().programs;
  TDIFFile second = ImageOf(0x30000, std::string(0x10000, '\x5A'));
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, second, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.ePhone->Stats().programs, 2 * perSector);
  EXPECT_EQ(rig.ePhone->Stats().reads, 1) << "a sector covered whole is not read";
}

TEST(FlashImageETest, FullImageSkipsTheEepromOnNoAndUndoRecordsEverySector) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> original = rig.Nor();
  std::string firmware(16 * kMiB, '\0');
  for (size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<char>(original[i] ^ 0x5A);
  rig.dir.Write("full.bin", firmware);

  // Without undo: nothing read, sectors 0..DF programmed, E0..FF skipped.
  rig.ui.answers = {Answer::No};
  FlashBinPage(rig.frame, rig.driver, rig.dir.File("full.bin"), FlashUndoChoice{});
  EXPECT_EQ(rig.ePhone->Stats().reads, 0);
  const std::vector<uint8_t> afterFirst = rig.Nor();
  EXPECT_EQ(Bytes(afterFirst, 0, 14 * kMiB), firmware.substr(0, 14 * kMiB));
  EXPECT_EQ(Bytes(afterFirst, 14 * kMiB, 2 * kMiB), Bytes(original, 14 * kMiB, 2 * kMiB));
  const std::vector<std::string> warnings = rig.ui.Texts(MessageKind::Warning);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].rfind("Warning! You are going to flash system EEPROM area", 0), 0u);
  int skipped = 0;
  for (const std::string& s : rig.ui.statuses) skipped += s.rfind("Skipping EEPROM, ", 0) == 0;
  EXPECT_EQ(skipped, 32);
  EXPECT_EQ(Count(rig.ui.statuses, "Skipping EEPROM, 14745600 of 16777216 bytes done"), 1);
  EXPECT_EQ(Count(rig.ui.statuses, "Skipping EEPROM, 16777216 of 16777216 bytes done"), 1);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>({"Flashing completed."}));

  // With undo: every sector is read first; the saved undo is one block holding what
  // the NOR held before, EEPROM included.
  for (char& c : firmware) c = static_cast<char>(c ^ 0xFF);
  rig.dir.Write("full.bin", firmware);
  rig.ui.answers = {Answer::No};
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{rig.dir.File("undo.dif")}});
  FlashUndoChoice undo;
  undo.Make = true;
  FlashBinPage(rig.frame, rig.driver, rig.dir.File("full.bin"), undo);
  EXPECT_EQ(rig.ePhone->Stats().reads, 256);
  TDIFFile saved;
  ASSERT_EQ(saved.LoadFromFile(rig.dir.File("undo.dif")), kDIFOk);
  ASSERT_EQ(saved.Blocks.size(), 1u);
  uint32_t address = 1;
  std::string old;
  TDIFFile::GetNORData(saved.Blocks[0], address, old);
  EXPECT_EQ(address, 0u);
  EXPECT_TRUE(old == Bytes(afterFirst, 0, 16 * kMiB));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Warning).size(), 2u) << "each operation asks again";
}

TEST(FlashImageETest, AnUndoFlashedBackRestoresTheNor) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> original = rig.Nor();

  // Across a sector boundary, through the hex page with its undo saved.
  rig.ui.fileAnswers.push_back(test::RecordingUi::FileAnswer{{rig.dir.File("undo.dif")}});
  FlashUndoChoice undo;
  undo.Make = true;
  FlashHexPage(rig.frame, rig.driver, " FFFE ", "\xAA\xBB\xCC\xDD", undo);
  EXPECT_EQ(rig.Nor(), Patched(original, 0xFFFE, "\xAA\xBB\xCC\xDD"));

  FlashDifPage page;
  FlashUndoChoice noUndo;
  page.Select(rig.frame, {rig.dir.File("undo.dif")}, noUndo);
  ASSERT_EQ(page.Count(), 1);
  page.Flash(rig.frame, rig.driver, noUndo);
  EXPECT_TRUE(rig.Nor() == original);
}

TEST(FlashImageETest, AnImagePastSixteenMiBIsRefusedBeforeAnythingIsSent) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  // Sector 100 would wrap to sector 0.
  TDIFFile image = ImageOf(16 * kMiB - 2, "\x01\x02\x03\x04");
  EXPECT_FALSE(FlashImage(rig.frame, rig.driver, image, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>(
                {"Flashing aborted: the image reaches beyond the NOR the loader can address"}));
  EXPECT_EQ(rig.ePhone->Stats().reads, 0);
  EXPECT_EQ(rig.ePhone->Stats().programs, 0);
  EXPECT_TRUE(rig.Nor() == before);
  EXPECT_FALSE(rig.frame.Busy);
}

TEST(FlashImageETest, CancelDuringTheReadPhaseWritesNothing) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  rig.ui.answers = {Answer::Yes};  // "Are you sure to cancel?"
  rig.ui.onPump = [&] {
    if (rig.frame.Busy && rig.ePhone->Stats().reads > 0) rig.frame.RequestCancel();
  };
  TDIFFile image = ImageOf(0x20000, std::string(0x40000, '\x77'));
  TDIFFile undo;
  EXPECT_FALSE(FlashImage(rig.frame, rig.driver, image, "NORD", &undo, "NORD", nullptr));

  EXPECT_EQ(rig.ui.Texts(MessageKind::Question),
            std::vector<std::string>({"Are you sure to cancel?"}));
  EXPECT_LT(rig.ePhone->Stats().reads, 4);
  EXPECT_EQ(rig.ePhone->Stats().programs, 0);
  EXPECT_TRUE(rig.Nor() == before);
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Information).empty());
  EXPECT_TRUE(undo.Blocks.empty()) << "sectors never read must not become an undo";
}

TEST(FlashImageETest, EngineErrorsEndTheOperationWithTheirBoxes) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();

  // A read that keeps failing: nothing written, nothing recorded.
  rig.ePhone->FailReadChecksums(1000);
  TDIFFile partial = ImageOf(0x10002, "\x01\x02");
  TDIFFile undo;
  EXPECT_FALSE(FlashImage(rig.frame, rig.driver, partial, "NORD", &undo, "NORD", nullptr));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>({"Reading:  unrecoverable CRC error"}));
  EXPECT_EQ(rig.ePhone->Stats().programs, 0);
  EXPECT_TRUE(undo.Blocks.empty());
  rig.ePhone->FailReadChecksums(0);

  // A program that keeps failing.
  rig.ui.messages.clear();
  rig.ePhone->FailProgramChecksums(1000);
  TDIFFile whole = ImageOf(0, std::string(0x10000, '\x01'));
  EXPECT_FALSE(FlashImage(rig.frame, rig.driver, whole, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>({"Flashing aborted:  unrecoverable CRC error"}));
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Information).empty());
  EXPECT_TRUE(rig.Nor() == before);
}

TEST(FlashImageETest, FilesOnlyDifGoesToTheFileSystemAndDisconnects) {
  PhoneRig rig("E800");
  ASSERT_TRUE(rig.Connect());
  TDIFFile dif;
  dif.PhoneID = kDIFPhoneID;
  dif.SetTFSFile(dif.AddBlock(), "/a/b/setup.cfg", "config");
  dif.SetTFSFile(dif.AddBlock(), "/tone.mid", "MThd");
  dif.SetTFSFile(dif.AddBlock(), "/c/empty.txt", "");
  ASSERT_EQ(dif.SaveToFile(rig.dir.File("files.dif"), 0), kDIFOk);

  FlashDifPage page;
  FlashUndoChoice undo;
  page.Select(rig.frame, {rig.dir.File("files.dif")}, undo);
  EXPECT_EQ(page.SourceLine(), "1 DIF file(s) selected, TFS present");
  page.Flash(rig.frame, rig.driver, undo);

  const sim::TfsTree tree = rig.ePhone->NandTree();
  EXPECT_EQ(tree.files, (std::map<std::string, std::string>{{"/a/b/setup.cfg", "config"},
                                                            {"/tone.mid", "MThd"}}));
  EXPECT_TRUE(tree.directories.count("/a/b"));
  EXPECT_TRUE(tree.directories.count("/c")) << "an empty file still gets its folder";
  EXPECT_EQ(rig.ePhone->Stats().reads, 0);
  EXPECT_EQ(rig.ePhone->Stats().programs, 0);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>({"Flashing completed. Phone disconnected."}));
  EXPECT_FALSE(rig.frame.Connected);
}

// A name that names no file is refused before anything is read or sent: with the
// virtual phone such a file cost every file written with it.
TEST(FlashImageETest, AFileNameThatNamesNoFileIsRefusedBeforeAnythingIsSent) {
  PhoneRig rig("E800");
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  TDIFFile dif;
  dif.SetNORData(dif.AddBlock(), 0x10000, "NEW BYTES");
  dif.SetTFSFile(dif.AddBlock(), "/user/ok.bin", "kept");
  dif.SetTFSFile(dif.AddBlock(), "/user/", "a folder as a file");
  EXPECT_FALSE(FlashImage(rig.frame, rig.driver, dif, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>({"Flashing aborted: /user/ names no file for the phone's "
                                      "file system (a name ends in a file name and has no "
                                      "empty, . or .. part)"}));
  EXPECT_EQ(rig.ePhone->Stats().reads, 0);
  EXPECT_EQ(rig.ePhone->Stats().programs, 0);
  EXPECT_TRUE(rig.ePhone->NandTree().files.empty());
  EXPECT_TRUE(rig.Nor() == before);
  EXPECT_FALSE(rig.frame.Busy);
}

// ---- OptiFlash ---------------------------------------------------------------------------

class FlashImageOptiTest : public ::testing::Test {
 protected:
  FlashImageOptiTest() : rig("Opti", 0) {
    // Two 8 MiB chips: the whole 16 MiB of firmware and EEPROM area.
    sim::OptiChipConfig upper;
    upper.base = 8 * kMiB;
    rig.optiConfig.chips.push_back(upper);
  }
  PhoneRig rig;
};

TEST_F(FlashImageOptiTest, BlockAcross128KBoundariesWithUndo) {
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  std::string bytes(300000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 + 1);
  TDIFFile image = ImageOf(0x1F000, bytes);
  TDIFFile undo;
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", &undo, "nOrR", nullptr));

  EXPECT_TRUE(rig.Nor() == Patched(before, 0x1F000, bytes));
  ASSERT_EQ(undo.Blocks.size(), 1u);
  EXPECT_EQ(undo.Blocks[0].Kind, "nOrR");
  uint32_t address = 0;
  std::string old;
  TDIFFile::GetReverseData(undo.Blocks[0], address, old);
  EXPECT_EQ(address, 0x1F000u);
  EXPECT_TRUE(old == Bytes(before, 0x1F000, 300000));
  EXPECT_FALSE(rig.driver.Opti().BlockOpen) << "the last erase block is closed";
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>({"Flashing completed."}));
}

TEST_F(FlashImageOptiTest, NoSkipsOnlyThePieceInsideTheEeprom) {
  ASSERT_TRUE(rig.Connect());
  const std::vector<uint8_t> before = rig.Nor();
  const uint32_t fw = 14 * kMiB;
  const std::string bytes(0x200, '\x3C');
  TDIFFile image = ImageOf(fw - 0x100, bytes);
  rig.ui.answers = {Answer::No};
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, image, "NORD", nullptr, "nOrR", nullptr));

  EXPECT_TRUE(rig.Nor() == Patched(before, fw - 0x100, bytes.substr(0, 0x100)));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Warning).size(), 1u);
  EXPECT_EQ(Count(rig.ui.statuses, "Skipping EEPROM, 512 of 512 bytes done"), 1);

  // A block ending exactly at FW asks nothing.
  TDIFFile below = ImageOf(fw - 0x10, std::string(0x10, '\x11'));
  EXPECT_TRUE(FlashImage(rig.frame, rig.driver, below, "NORD", nullptr, "nOrR", nullptr));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Warning).size(), 1u);
  EXPECT_EQ(Bytes(rig.Nor(), fw - 0x10, 0x10), std::string(0x10, '\x11'));
}

}  // namespace
}  // namespace brantle
