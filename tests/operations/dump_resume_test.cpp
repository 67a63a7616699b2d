// Resuming an interrupted NOR dump: a dump cut by an unplugged line keeps what it read
// beside the target, the same dump started again reads only the rest, and a side file
// of another dump, phone or a damaged one is not used.

#include "operations/dump_resume.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "files/file_access.h"
#include "operations/dump_workflow.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;
using test::ReadFile;

constexpr int kSectors = 16;  // the region 0..FFFFF

std::string NorBytes(const PhoneRig& rig, uint32_t start, uint32_t end) {
  const std::vector<uint8_t> nor = rig.Nor();
  return std::string(nor.begin() + start, nor.begin() + end + 1);
}

bool Exists(const std::string& path) {
  return access(path.c_str(), F_OK) == 0;
}

// A connected E700 phone; the maker and device IDs pick the flash chip.
std::unique_ptr<PhoneRig> Phone(uint8_t maker = 0xEC, uint8_t device = 0xE2) {
  auto rig = std::make_unique<PhoneRig>("E700");
  rig->eConfig.makerId = maker;
  rig->eConfig.deviceId = device;
  EXPECT_TRUE(rig->Connect());
  return rig;
}

// Clicks Cancel (and confirms) once the dump has read n bytes.
void CancelAfter(PhoneRig& rig, int64_t n) {
  rig.ui.answers = {Answer::Yes};
  rig.ui.onPump = [&rig, n] {
    if (rig.frame.State().CancelEnabled && rig.frame.Position() >= n) rig.frame.RequestCancel();
  };
}

class DumpResumeTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  const std::string target = dir.File("dump.bin");
  const std::string side = SideFileName(target);
};

TEST_F(DumpResumeTest, DumpCutByUnplugAtHalfIsResumedReadingEachSectorOnce) {
  ASSERT_TRUE(ReplaceFileContents(target, "what was there before"));
  auto first = Phone();
  ASSERT_FALSE(HasFailure());
  bool armed = false;
  first->ui.onPump = [&] {
    if (!armed && first->frame.Position() >= kSectors / 2 * 0x10000) {
      first->ePhone->UnplugDuringRead(1000);
      armed = true;
    }
  };
  EXPECT_FALSE(
      DumpNor(first->frame, first->driver, "0", "FFFFF", DumpFileType::BinCla, target, {}));
  ASSERT_EQ(first->ui.Texts(MessageKind::Error).size(), 1u);
  const int firstReads = first->ePhone->Stats().reads;
  EXPECT_GE(firstReads, kSectors / 2);
  EXPECT_LT(firstReads, kSectors);
  // The target is untouched; what was read waits beside it.
  EXPECT_EQ(ReadFile(target), "what was there before");
  ASSERT_TRUE(Exists(side));

  // The phone plugged in again: the window asks, and Yes continues.
  auto second = Phone();
  ASSERT_FALSE(HasFailure());
  second->ui.answers = {Answer::Yes};
  EXPECT_TRUE(
      DumpNor(second->frame, second->driver, "0", "FFFFF", DumpFileType::BinCla, target, {}));
  ASSERT_GE(second->ui.messages.size(), 1u);
  EXPECT_EQ(second->ui.messages[0].kind, MessageKind::Question);
  EXPECT_EQ(second->ui.messages[0].text,
            ResumeQuestion(uint64_t(firstReads) * 0x10000, kSectors * 0x10000));
  EXPECT_EQ(firstReads + second->ePhone->Stats().reads, kSectors);
  EXPECT_EQ(ReadFile(target), NorBytes(*second, 0, 0xFFFFF));
  EXPECT_FALSE(Exists(side));
  EXPECT_EQ(second->ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Dump completed."});
}

TEST_F(DumpResumeTest, ACancelledOptiDumpIsResumedAsTheCommandLineSays) {
  auto first = std::make_unique<PhoneRig>("Opti", 0);
  ASSERT_TRUE(first->Connect());
  CancelAfter(*first, 0x30000);
  EXPECT_FALSE(DumpNor(first->frame, first->driver, "10", "80010", DumpFileType::BinCla, target, {},
                       DumpResume::Yes));
  const int firstReads = first->optiPhone->Stats().sucks;
  ASSERT_TRUE(Exists(side));
  EXPECT_FALSE(Exists(target));
  first.reset();

  auto second = std::make_unique<PhoneRig>("Opti", 0);
  ASSERT_TRUE(second->Connect());
  const int before = second->optiPhone->Stats().sucks;
  EXPECT_TRUE(DumpNor(second->frame, second->driver, "10", "80010", DumpFileType::BinCla, target,
                      {}, DumpResume::Yes));
  // No question: the command line said so. Nine pieces of 64 KB in all.
  EXPECT_TRUE(second->ui.Texts(MessageKind::Question).empty());
  EXPECT_EQ(firstReads + second->optiPhone->Stats().sucks - before, 9);
  EXPECT_EQ(ReadFile(target), NorBytes(*second, 0x10, 0x80010));
  EXPECT_FALSE(Exists(side));
}

// A cancelled dump of 0..FFFFF from the virtual phone leaves a side file.
void Interrupted(const std::string& target, uint8_t maker = 0xEC, uint8_t device = 0xE2) {
  auto rig = Phone(maker, device);
  CancelAfter(*rig, 0x40000);
  EXPECT_FALSE(DumpNor(rig->frame, rig->driver, "0", "FFFFF", DumpFileType::BinCla, target, {}));
}

// The whole region read anew after the warning, and the file right.
const char kRefused[] = "The interrupted dump kept beside the target is not used: ";
const char kOther[] = "it is of another region, phone or flash chip.";
const char kDamaged[] = "it is damaged.";

void ExpectRefused(PhoneRig& rig, const std::string& target, const char* why) {
  const std::string warning = std::string(kRefused) + why;
  EXPECT_EQ(rig.ui.Texts(MessageKind::Warning), std::vector<std::string>{warning});
  EXPECT_TRUE(rig.ui.Texts(MessageKind::Question).empty());
  EXPECT_EQ(rig.ePhone->Stats().reads, kSectors);
  EXPECT_EQ(ReadFile(target), NorBytes(rig, 0, 0xFFFFF));
}

TEST_F(DumpResumeTest, ASideFileOfAnotherRegionIsRefused) {
  Interrupted(target);
  ASSERT_TRUE(Exists(side));
  auto rig = Phone();
  EXPECT_TRUE(DumpNor(rig->frame, rig->driver, "0", "EFFFF", DumpFileType::BinCla, target, {}));
  const std::string warning = std::string(kRefused) + kOther;
  EXPECT_EQ(rig->ui.Texts(MessageKind::Warning), std::vector<std::string>{warning});
  EXPECT_EQ(rig->ePhone->Stats().reads, kSectors - 1);
  EXPECT_EQ(ReadFile(target), NorBytes(*rig, 0, 0xEFFFF));
}

TEST_F(DumpResumeTest, ASideFileOfAnotherFlashChipIsRefused) {
  Interrupted(target);
  auto rig = Phone(0x88, 0x55);  // an Intel chip in place of the Samsung one
  EXPECT_TRUE(DumpNor(rig->frame, rig->driver, "0", "FFFFF", DumpFileType::BinCla, target, {}));
  ExpectRefused(*rig, target, kOther);
}

TEST_F(DumpResumeTest, ADamagedSideFileIsRefused) {
  Interrupted(target);
  std::string bytes;
  ASSERT_EQ(ReadWholeFile(side, bytes), FileStatus::Ok);
  bytes[bytes.size() / 2] ^= 0x01;
  ASSERT_TRUE(ReplaceFileContents(side, bytes));
  auto rig = Phone();
  EXPECT_TRUE(DumpNor(rig->frame, rig->driver, "0", "FFFFF", DumpFileType::BinCla, target, {}));
  ExpectRefused(*rig, target, kDamaged);
}

TEST_F(DumpResumeTest, ACutShortSideFileIsRefused) {
  Interrupted(target);
  std::string bytes;
  ASSERT_EQ(ReadWholeFile(side, bytes), FileStatus::Ok);
  ASSERT_TRUE(ReplaceFileContents(side, bytes.substr(0, bytes.size() - 100)));
  auto rig = Phone();
  EXPECT_TRUE(DumpNor(rig->frame, rig->driver, "0", "FFFFF", DumpFileType::BinCla, target, {}));
  ExpectRefused(*rig, target, kDamaged);
}

TEST_F(DumpResumeTest, NoStartsAfreshAndTheCompletedDumpRemovesTheSideFile) {
  Interrupted(target);
  auto rig = Phone();
  rig->ui.answers = {Answer::No};
  EXPECT_TRUE(DumpNor(rig->frame, rig->driver, "0", "FFFFF", DumpFileType::BinCla, target, {}));
  EXPECT_EQ(rig->ui.Texts(MessageKind::Question).size(), 1u);
  EXPECT_EQ(rig->ePhone->Stats().reads, kSectors);
  EXPECT_EQ(ReadFile(target), NorBytes(*rig, 0, 0xFFFFF));
  EXPECT_FALSE(Exists(side));
}

// Started again without resuming (the command line without --resume) and failing
// early: the earlier side file, which holds more, is still there to be resumed; the
// person was told --resume would continue it.
TEST_F(DumpResumeTest, ADumpNotResumedKeepsTheSideFileUntilItCompletes) {
  Interrupted(target);
  std::string before;
  ASSERT_EQ(ReadWholeFile(side, before), FileStatus::Ok);

  auto again = Phone();
  CancelAfter(*again, 0x10000);
  EXPECT_FALSE(DumpNor(again->frame, again->driver, "0", "FFFFF", DumpFileType::BinCla, target, {},
                       DumpResume::No));
  const std::vector<std::string> told = again->ui.Texts(MessageKind::Information);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("--resume would continue it"), std::string::npos) << told[0];
  std::string after;
  ASSERT_EQ(ReadWholeFile(side, after), FileStatus::Ok);
  EXPECT_EQ(after, before);

  // Completed at last: the target is right and the side file gone.
  auto last = Phone();
  EXPECT_TRUE(DumpNor(last->frame, last->driver, "0", "FFFFF", DumpFileType::BinCla, target, {},
                      DumpResume::No));
  EXPECT_EQ(ReadFile(target), NorBytes(*last, 0, 0xFFFFF));
  EXPECT_FALSE(Exists(side));
}

}  // namespace
}  // namespace brantle
