// --verify, --skip-unchanged and dump --resume against the virtual phone: what the
// phone holds and how many program and read commands it saw.

#include <gtest/gtest.h>
#include <unistd.h>

#include <random>

#include "files/file_access.h"
#include "operations/dump_resume.h"
#include "operations/dump_workflow.h"
#include "phone_fixture.h"

namespace brantle {
namespace {

using test::ReadFile;

class CliSaferFlash : public test::CliOnPhone {};

constexpr uint32_t kSector = 0x10000;

std::string RandomBytes(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string out(n, '\0');
  for (char& c : out) c = static_cast<char>(gen());
  return out;
}

TEST_F(CliSaferFlash, VerifyWritesACorruptedSectorAgain) {
  const std::string before = Nor();
  const std::string bytes = RandomBytes(2 * kSector, 1);
  ASSERT_TRUE(ReplaceFileContents(dir.File("part.bin"), bytes));
  phone->CorruptProgram();
  auto r = Run({"flash", "part", dir.File("part.bin"), "--file-offset", "0", "--length", "20000",
                "--phone-offset", "30000", "--verify"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(NorDifference(std::string(before).replace(0x30000, bytes.size(), bytes)), "");
  EXPECT_EQ(phone->Stats().programs, 3);
}

TEST_F(CliSaferFlash, SkipUnchangedProgramsNothingWhenThePhoneHoldsTheImage) {
  const std::string before = Nor();
  ASSERT_TRUE(ReplaceFileContents(dir.File("same.bin"), before.substr(0x30000, 4 * kSector)));
  auto r = Run({"flash", "part", dir.File("same.bin"), "--file-offset", "0", "--length", "40000",
                "--phone-offset", "30000", "--undo", dir.File("u.dif"), "--skip-unchanged"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(phone->Stats().programs, 0);
  EXPECT_EQ(phone->Stats().reads, 4);
  EXPECT_EQ(NorDifference(before), "");
}

// What an interrupted dump of 0..FFFFF from the fixture's E800 phone keeps after
// reading its first half.
PartialDump HalfDone(const std::string& nor) {
  PartialDump partial;
  partial.Id = {"E800", "EC E2", 0, 0xFFFFF};
  partial.Bytes = nor.substr(0, 8 * kSector);
  return partial;
}

TEST_F(CliSaferFlash, DumpResumeReadsOnlyWhatTheSideFileLacks) {
  const std::string target = dir.File("dump.bin");
  ASSERT_TRUE(SavePartialDump(SideFileName(target), HalfDone(Nor())));
  auto r = Run({"dump", "--region", "0-FFFFF", "-o", target, "--resume"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(phone->Stats().reads, 8);
  EXPECT_EQ(ReadFile(target), Nor(0, 0x100000));
  EXPECT_NE(access(SideFileName(target).c_str(), F_OK), 0);
}

TEST_F(CliSaferFlash, DumpResumeRefusesASideFileOfAnotherRegion) {
  const std::string target = dir.File("dump.bin");
  ASSERT_TRUE(SavePartialDump(SideFileName(target), HalfDone(Nor())));
  auto r = Run({"dump", "--region", "0-17FFFF", "-o", target, "--resume"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("The interrupted dump kept beside the target is not used: it is of another "
                       "region, phone or flash chip."),
            std::string::npos)
      << r.err;
  EXPECT_EQ(phone->Stats().reads, 24);
  EXPECT_EQ(ReadFile(target), Nor(0, 0x180000));
}

TEST_F(CliSaferFlash, ResumeGoesOnlyWithDump) {
  auto r = Run({"erase", "--region", "0-FFFF", "--resume"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--resume goes with dump"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace brantle
