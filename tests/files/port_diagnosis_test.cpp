// Why a port cannot be opened: the facts gathered from real paths (files, folders,
// /dev/null, a pseudo-terminal held by this process) and the words for each cause,
// also for those a test running as any user cannot set up (permissions).

#include "files/port_diagnosis.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "sim/pty.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(PortDiagnosis, AMissingPathListsTheSerialPortsTheSystemHas) {
  PortFacts facts;
  facts.Path = "/dev/ttyUSB7";
  facts.StatError = ENOENT;
  facts.Ports = {{"/dev/ttyS0", ""}, {"/dev/ttyUSB0", "FTDI FT232R USB UART"}};
  EXPECT_EQ(ExplainPortFacts(facts),
            "/dev/ttyUSB7 does not exist. Serial ports on this system: /dev/ttyS0, /dev/ttyUSB0 "
            "(FTDI FT232R USB UART).");
  facts.Ports.clear();
  EXPECT_EQ(ExplainPortFacts(facts),
            "/dev/ttyUSB7 does not exist. No serial port was found on this system (is the "
            "adapter plugged in?).");
}

TEST(PortDiagnosis, GatheredFromPathsThatAreNoSerialDevice) {
  test::TempDir dir;
  dir.Write("file.bin", "not a line");
  std::filesystem::create_directory(dir.File("folder"));

  const PortFacts missing = GatherPortFacts(dir.File("none"));
  EXPECT_EQ(missing.StatError, ENOENT);
  EXPECT_EQ(missing.Ports.size(), ListSerialPorts().size());
  EXPECT_TRUE(Has(ExplainPortFacts(missing), dir.File("none") + " does not exist."));
  EXPECT_TRUE(Has(DiagnosePort(dir.File("file.bin/x")), "does not exist"));

  EXPECT_EQ(DiagnosePort(dir.File("file.bin")),
            dir.File("file.bin") + " is a regular file, not a serial device.");
  EXPECT_EQ(DiagnosePort(dir.File("folder")),
            dir.File("folder") + " is a folder, not a serial device.");
  EXPECT_EQ(DiagnosePort("/dev/null"),
            "/dev/null is a character device but no terminal line, not a serial device.");
  EXPECT_TRUE(Has(DiagnosePort(""), "No serial port was chosen."));
}

TEST(PortDiagnosis, ALineLockedByAnotherOpenNamesTheProcessHoldingIt) {
  sim::PtyLine line;
  std::string error;
  ASSERT_TRUE(line.Open(error)) << error;
  const int held = open(line.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);

  const PortFacts facts = GatherPortFacts(line.Path());
  EXPECT_TRUE(facts.Terminal);
  EXPECT_TRUE(facts.Locked);
  const std::string me = "(process " + std::to_string(getpid()) + ")";
  bool named = false;
  for (const std::string& h : facts.Holders) named = named || Has(h, me);
  EXPECT_TRUE(named) << ExplainPortFacts(facts);
  EXPECT_TRUE(Has(ExplainPortFacts(facts), line.Path() + " is in use by another program: "));

  // Once it is let go, nothing is wrong with it.
  close(held);
  const PortFacts free = GatherPortFacts(line.Path());
  EXPECT_FALSE(free.Locked);
  EXPECT_EQ(ExplainPortFacts(free),
            line.Path() + " opens now: it may have been busy a moment ago; try again.");
}

TEST(PortDiagnosis, ALineInUseWhereTheSystemDoesNotSayByWhom) {
  PortFacts facts;
  facts.Path = "/dev/ttyUSB0";
  facts.Mode = S_IFCHR | 0660;
  facts.OpenError = EBUSY;
  EXPECT_EQ(ExplainPortFacts(facts),
            "/dev/ttyUSB0 is in use by another program (the system does not say which).");
  facts.Holders = {"minicom (process 4321)"};
  EXPECT_EQ(ExplainPortFacts(facts),
            "/dev/ttyUSB0 is in use by another program: minicom (process 4321).");
}

TEST(PortDiagnosis, PermissionDeniedNamesTheGroupToJoinAndTheNewLogin) {
  PortFacts facts;
  facts.Path = "/dev/ttyUSB0";
  facts.Mode = S_IFCHR | 0660;
  facts.OpenError = EACCES;
  facts.Group = "dialout";
  EXPECT_EQ(ExplainPortFacts(facts),
            "Permission denied on /dev/ttyUSB0: it belongs to the group dialout, and you are not "
            "in it. Join it with: sudo adduser $USER dialout (then log out and in again: a new "
            "login is needed).");
  // Joined already, but this login started before.
  facts.GroupListed = true;
  EXPECT_EQ(ExplainPortFacts(facts),
            "Permission denied on /dev/ttyUSB0: you were added to its group dialout after this "
            "login started; log out and in again (a new login is needed).");
  // In the group, but the group may not write.
  facts.InGroup = true;
  facts.Mode = S_IFCHR | 0600;
  EXPECT_EQ(ExplainPortFacts(facts),
            "Permission denied on /dev/ttyUSB0: you are in its group dialout, but its permissions "
            "(0600) do not let the group read and write it.");
  facts = PortFacts{};
  facts.Path = "/dev/ttyS0";
  facts.Mode = S_IFCHR | 0600;
  facts.OpenError = EPERM;
  facts.Group = "root";
  EXPECT_EQ(ExplainPortFacts(facts), "Permission denied on /dev/ttyS0: only root may open it.");
}

TEST(PortDiagnosis, AnUnpluggedAdapter) {
  PortFacts facts;
  facts.Path = "/dev/ttyACM0";
  facts.Mode = S_IFCHR | 0660;
  facts.OpenError = EIO;
  EXPECT_EQ(ExplainPortFacts(facts),
            "/dev/ttyACM0 has no device behind it (was the adapter unplugged?).");
}

}  // namespace
}  // namespace brantle
