// The E engine over a real pseudo-terminal against the virtual phone: whole
// connects of every family and speed, dumps, programming, erasing, and the faults
// a real line produces.

#include <gtest/gtest.h>

#include <thread>

#include "engine/ktze_flasher.h"
#include "engine/result_codes.h"
#include "sim/demo_loaders.h"
#include "sim/virtual_e_phone.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

using sim::EPhoneConfig;
using sim::VirtualEPhone;

class EPhoneTest : public ::testing::Test {
 protected:
  EPhoneTest() : engine(link) {
    std::string error;
    EXPECT_TRUE(sim::WriteDemoLoaders(loaders.path(), error)) << error;
    engine.LoadersFolder = loaders.path();
  }

  void StartPhone(EPhoneConfig config) {
    phone = std::make_unique<VirtualEPhone>(config);
    ASSERT_TRUE(phone->Start()) << phone->error();
  }

  // The connect steps as the window's driver runs them.
  void Connect(const std::string& family, uint32_t speed) {
    ASSERT_EQ(engine.EInitPort(phone->PortPath(), family), kOk);
    int r = kErrTimeout;
    for (int i = 0; i < 40 && r != kOk; ++i) r = engine.EWaitBoot(1, 250);
    ASSERT_EQ(r, kOk) << "no boot byte";
    ASSERT_EQ(engine.EBootCommand(0, 0, 0, 0), kOk);
    ASSERT_EQ(engine.ESendLoader1(), kOk);
    ASSERT_EQ(engine.ESwitchSpeed(speed), kOk);
    ASSERT_EQ(engine.ESendLoader2(), kOk);
  }

  std::string ReadSector(uint8_t s, int* result) {
    std::string buf(kESectorSize, '\0');
    *result = engine.ERead(s, kESectorSize, reinterpret_cast<uint8_t*>(buf.data()));
    return buf;
  }

  std::string NorSector(uint8_t s) const {
    const std::vector<uint8_t> nor = phone->Nor();
    return std::string(nor.begin() + s * kESectorSize, nor.begin() + (s + 1) * kESectorSize);
  }

  test::TempDir loaders;
  Link link;
  EEngine engine;
  std::unique_ptr<VirtualEPhone> phone;
};

TEST_F(EPhoneTest, EveryFamilyConnectsAtEverySpeed) {
  for (const char* family : {"E700", "E800", "E330", "S500"}) {
    for (uint32_t speed : {38400u, 115200u, 806400u}) {
      SCOPED_TRACE(std::string(family) + " at " + std::to_string(speed));
      EPhoneConfig config;
      config.family = family;
      StartPhone(config);
      Connect(family, speed);
      EXPECT_EQ(engine.FlashInfo.ModelName, "KBB05A300");
      const auto stats = phone->Stats();
      EXPECT_EQ(stats.baud, speed);
      EXPECT_EQ(stats.parity, 0);
      EXPECT_EQ(engine.ETerminate(), kOk);
      engine.EClose();
    }
  }
}

TEST_F(EPhoneTest, DumpOneMebibyteMatchesTheNor) {
  StartPhone({});
  Connect("E700", 806400);
  std::string dump;
  for (uint8_t s = 0x10; s < 0x20; ++s) {
    int r = 0;
    dump += ReadSector(s, &r);
    ASSERT_EQ(r, kOk) << int(s);
  }
  const std::vector<uint8_t> nor = phone->Nor();
  EXPECT_TRUE(dump == std::string(nor.begin() + 0x100000, nor.begin() + 0x200000));
}

TEST_F(EPhoneTest, ProgramAndEraseReadBack) {
  EPhoneConfig config;  // KBB05A300: sectors 0 and 128 in 8 KB blocks
  config.family = "E800";
  StartPhone(config);
  Connect("E800", 115200);
  std::string data(kESectorSize, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 + 7);
  for (uint8_t s : {0, 5, 128}) {
    SCOPED_TRACE(int(s));
    ASSERT_EQ(engine.EProgram(s, kESectorSize, reinterpret_cast<const uint8_t*>(data.data())), kOk);
    int r = 0;
    EXPECT_EQ(ReadSector(s, &r), data);
    EXPECT_EQ(r, kOk);
    ASSERT_EQ(engine.EErase(s, kESectorSize), kOk);
    EXPECT_EQ(ReadSector(s, &r), std::string(kESectorSize, '\xFF'));
  }
  EXPECT_EQ(phone->Stats().badGeometry, 0);
  EXPECT_EQ(phone->Stats().programs, 1 + 8 + 8);
}

TEST_F(EPhoneTest, ChecksumFaultsAreRetriedThenFatal) {
  StartPhone({});
  Connect("E700", 115200);
  int r = 0;
  phone->FailReadChecksums(3);
  EXPECT_EQ(ReadSector(3, &r), NorSector(3));
  EXPECT_EQ(r, kOk);
  phone->FailReadChecksums(4);
  ReadSector(3, &r);
  EXPECT_EQ(r, kErrCrc);

  const std::string data(kESectorSize, '\x42');
  phone->FailProgramChecksums(3);
  EXPECT_EQ(engine.EProgram(7, kESectorSize, reinterpret_cast<const uint8_t*>(data.data())), kOk);
  EXPECT_EQ(NorSector(7), data);
  phone->FailProgramChecksums(4);
  EXPECT_EQ(engine.EProgram(8, kESectorSize, reinterpret_cast<const uint8_t*>(data.data())),
            kErrCrc);
}

TEST_F(EPhoneTest, WrongAcknowledgementIsUnexpected) {
  EPhoneConfig config;
  config.family = "E330";
  StartPhone(config);
  Connect("E330", 115200);
  phone->WrongAcknowledgement();
  int r = 0;
  ReadSector(1, &r);
  EXPECT_EQ(r, kErrUnexpected);
}

TEST_F(EPhoneTest, SilenceTimesOut) {
  StartPhone({});
  Connect("E700", 115200);
  phone->GoSilent();
  int r = 0;
  ReadSector(1, &r);
  EXPECT_EQ(r, kErrTimeout);
}

TEST_F(EPhoneTest, TrickleWithinTheTimeoutIsAccepted) {
  StartPhone({});
  Connect("E700", 115200);
  phone->Trickle(16384, 1500);  // four pieces, six seconds in all
  int r = 0;
  EXPECT_EQ(ReadSector(9, &r), NorSector(9));
  EXPECT_EQ(r, kOk);
}

TEST_F(EPhoneTest, UnplugDuringReadTimesOutAndThePortCloses) {
  StartPhone({});
  Connect("E700", 115200);
  phone->UnplugDuringRead(20000);
  int r = 0;
  ReadSector(2, &r);
  EXPECT_EQ(r, kErrTimeout);
  EXPECT_EQ(engine.EClose(), kOk);
  EXPECT_FALSE(link.IsOpen());
}

TEST_F(EPhoneTest, UnknownChipConnectsWithWholeSectors) {
  EPhoneConfig config;
  config.makerId = 0x12;
  config.deviceId = 0x34;
  StartPhone(config);
  Connect("E700", 115200);
  EXPECT_EQ(engine.FlashInfo.Known, 0);
  EXPECT_EQ(engine.FlashInfo.MakerID, 0x12);
  EXPECT_EQ(engine.FlashInfo.DeviceID, 0x34);
  const std::string data(kESectorSize, '\x24');
  EXPECT_EQ(engine.EProgram(0, kESectorSize, reinterpret_cast<const uint8_t*>(data.data())), kOk);
  EXPECT_EQ(phone->Stats().badGeometry, 0);
  EXPECT_EQ(NorSector(0), data);
}

TEST_F(EPhoneTest, AfterTerminateThePhoneBootsAgain) {
  StartPhone({});
  Connect("E700", 806400);
  ASSERT_EQ(engine.ETerminate(), kOk);
  engine.EClose();
  Connect("E700", 115200);
  EXPECT_EQ(phone->Stats().connects, 2);
}

TEST_F(EPhoneTest, MissingOrBusyPortCannotBeOpened) {
  EXPECT_EQ(engine.EInitPort("/dev/brantle-no-such-port", "E700"), kErrOpen);
  StartPhone({});
  ASSERT_EQ(engine.EInitPort(phone->PortPath(), "E700"), kOk);
  Link other;
  EEngine second(other);
  EXPECT_EQ(second.EInitPort(phone->PortPath(), "E700"), kErrOpen);
}

}  // namespace
}  // namespace brantle
