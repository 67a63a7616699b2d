// The settings store: defaults for what brntl.ini lacks, fallbacks for what names
// nothing selectable, the family mapping with its NOR areas, and saving that keeps the
// file's order and never loses the old file.

#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace brantle {
namespace {

using test::ReadFile;

constexpr uint32_t kMiB = 0x100000;

Settings LoadedFrom(const test::TempDir& dir, const std::string& text) {
  dir.Write("brntl.ini", text);
  Settings settings(dir.File("brntl.ini"));
  EXPECT_TRUE(settings.Load());
  return settings;
}

TEST(Settings, MissingFileGivesEveryDefault) {
  test::TempDir dir;
  Settings settings(dir.File("brntl.ini"));
  EXPECT_FALSE(settings.Load());
  EXPECT_EQ(settings.ComPort(), "COM1");
  EXPECT_EQ(settings.ComSpeed(), "115200");
  EXPECT_EQ(settings.ComSpeedIndex(), 2);
  const FamilyChoice family = settings.Family();
  EXPECT_EQ(family.Family, "E700");
  EXPECT_EQ(family.SelectorIndex, 0);
  EXPECT_EQ(family.Areas.FirmwareSize, 14 * kMiB);
  EXPECT_EQ(family.Areas.EepromSize, 2 * kMiB);
  EXPECT_EQ(settings.WaitStates(), 0);
  EXPECT_FALSE(settings.DeveloperMode());
  EXPECT_FALSE(settings.DisableDisconnectMessage());
  EXPECT_FALSE(settings.DisableAllStatusMessages());
  EXPECT_FALSE(settings.VerifyWrites());
  EXPECT_FALSE(settings.SkipUnchanged());
  EXPECT_EQ(settings.Locale(), "");
  EXPECT_EQ(settings.Folder("FlashBIN"), "");
}

TEST(Settings, UnreadableFileGivesDefaults) {
  test::TempDir dir;
  // A folder where the file should be cannot be read as a file.
  ASSERT_EQ(mkdir(dir.File("brntl.ini").c_str(), 0700), 0);
  Settings settings(dir.File("brntl.ini"));
  EXPECT_FALSE(settings.Load());
  EXPECT_EQ(settings.ComSpeed(), "115200");
  EXPECT_EQ(settings.Family().Family, "E700");
}

TEST(Settings, ReadsStoredValues) {
  test::TempDir dir;
  Settings settings = LoadedFrom(dir,
                                 "[Settings]\r\nComPort=/dev/ttyUSB0\r\nComSpeed=460800\r\n"
                                 "PhoneType=S500\r\nWait_States=3\r\nDeveloper_Mode=1\r\n"
                                 "Disable_Disconnect_Message=1\r\nDisable_All_Status_Messages=1\r\n"
                                 "Verify_Writes=1\r\nSkip_Unchanged=1\r\n"
                                 "Locale=DE\r\n[Paths]\r\nDumpNOR=/tmp/dumps\r\n");
  EXPECT_EQ(settings.ComPort(), "/dev/ttyUSB0");
  EXPECT_EQ(settings.ComSpeed(), "460800");
  EXPECT_EQ(settings.ComSpeedIndex(), 6);
  EXPECT_EQ(settings.Family().Family, "S500");
  EXPECT_EQ(settings.Family().Areas.FirmwareSize, 15 * kMiB);
  EXPECT_EQ(settings.Family().Areas.EepromSize, 1 * kMiB);
  EXPECT_EQ(settings.WaitStates(), 3);
  EXPECT_TRUE(settings.DeveloperMode());
  EXPECT_TRUE(settings.DisableDisconnectMessage());
  EXPECT_TRUE(settings.DisableAllStatusMessages());
  EXPECT_TRUE(settings.VerifyWrites());
  EXPECT_TRUE(settings.SkipUnchanged());
  EXPECT_EQ(settings.Locale(), "DE");
  EXPECT_EQ(settings.Folder("DumpNOR"), "/tmp/dumps");
}

TEST(Settings, OptiSixteenIsTheX480WithTheLargeAreas) {
  test::TempDir dir;
  Settings settings = LoadedFrom(dir, "[Settings]\nPhoneType=Opti\nOptiType=16\n");
  const FamilyChoice family = settings.Family();
  EXPECT_EQ(family.Family, "Opti");
  EXPECT_EQ(family.OptiType, 16);
  EXPECT_EQ(family.SelectorIndex, 20);
  EXPECT_STREQ(kOptiModelNames[static_cast<size_t>(family.OptiType)], "X480");
  EXPECT_EQ(family.Areas.FirmwareSize, 26 * kMiB);
  EXPECT_EQ(family.Areas.EepromSize, 6 * kMiB);
}

TEST(Settings, UnknownValuesFallBack) {
  test::TempDir dir;
  Settings settings = LoadedFrom(dir,
                                 "[Settings]\nComSpeed=9600\nPhoneType=E900\nDeveloper_Mode=2\n"
                                 "Disable_Disconnect_Message=yes\nWait_States=junk\n"
                                 "Verify_Writes=2\nSkip_Unchanged=on\n");
  EXPECT_EQ(settings.ComSpeed(), "38400");  // the speed selector's first entry
  EXPECT_EQ(settings.Family().Family, "E700");
  EXPECT_FALSE(settings.DeveloperMode());
  EXPECT_FALSE(settings.DisableDisconnectMessage());
  EXPECT_FALSE(settings.VerifyWrites());
  EXPECT_FALSE(settings.SkipUnchanged());
  EXPECT_EQ(settings.WaitStates(), 0);
}

TEST(Settings, OptiModelOutOfRangeFallsBackToE700) {
  test::TempDir dir;
  for (const char* model : {"17", "-1", "2147483647"}) {
    Settings settings =
        LoadedFrom(dir, std::string("[Settings]\nPhoneType=Opti\nOptiType=") + model + "\n");
    EXPECT_EQ(settings.Family().Family, "E700") << model;
  }
  // A number that cannot be read counts as absent: model 0.
  Settings unreadable = LoadedFrom(dir, "[Settings]\nPhoneType=Opti\nOptiType=x\n");
  EXPECT_EQ(unreadable.Family().SelectorIndex, 4);
  Settings absent = LoadedFrom(dir, "[Settings]\nPhoneType=Opti\n");
  EXPECT_EQ(absent.Family().OptiType, 0);
  EXPECT_EQ(absent.Family().SelectorIndex, 4);
}

TEST(Settings, OptiTypeIsIgnoredForOtherFamilies) {
  test::TempDir dir;
  Settings settings = LoadedFrom(dir, "[Settings]\nPhoneType=E330\nOptiType=16\n");
  EXPECT_EQ(settings.Family().Family, "E330");
  EXPECT_EQ(settings.Family().Areas.Total(), 16 * kMiB);
}

TEST(Settings, WaitStatesAreTakenAsAByte) {
  test::TempDir dir;
  Settings settings = LoadedFrom(dir, "[Settings]\nWait_States=258\n");
  EXPECT_EQ(settings.WaitStates(), 2);
}

TEST(FamilySelector, MapsEveryIndex) {
  const char* expected[] = {"E700", "E800", "E330", "S500"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(FamilyForSelectorIndex(i).Family, expected[i]);
  for (int i = 4; i < kFamilySelectorEntries; ++i) {
    const FamilyChoice choice = FamilyForSelectorIndex(i);
    EXPECT_EQ(choice.Family, "Opti");
    EXPECT_EQ(choice.OptiType, i - 4);
    const bool large = choice.OptiType == 1 || choice.OptiType == 11 || choice.OptiType == 12 ||
                       choice.OptiType == 16;
    EXPECT_EQ(choice.Areas.FirmwareSize, large ? 26 * kMiB : 14 * kMiB) << i;
    EXPECT_EQ(choice.Areas.EepromSize, large ? 6 * kMiB : 2 * kMiB) << i;
  }
  for (int outside : {-1, 21, 1000}) {
    EXPECT_EQ(FamilyForSelectorIndex(outside).Family, "E700");
    EXPECT_EQ(FamilyForSelectorIndex(outside).SelectorIndex, 0);
  }
}

TEST(Settings, FamilyChangeWritesOptiTypeOnlyForOpti) {
  test::TempDir dir;
  Settings settings(dir.File("brntl.ini"));
  settings.SetFamilyBySelectorIndex(15);  // E308
  EXPECT_EQ(settings.Document().ReadString("Settings", "PhoneType", ""), "Opti");
  EXPECT_EQ(settings.Document().ReadInteger("Settings", "OptiType", -1), 11);
  settings.SetFamilyBySelectorIndex(1);
  EXPECT_EQ(settings.Document().ReadString("Settings", "PhoneType", ""), "E800");
  EXPECT_EQ(settings.Document().ReadInteger("Settings", "OptiType", -1), 11);  // left alone
  EXPECT_EQ(settings.SetFamilyBySelectorIndex(99).Family, "E700");
  EXPECT_EQ(settings.Family().Family, "E700");
}

TEST(Settings, SaveAndLoadRoundTripKeepingTheFilesOrder) {
  test::TempDir dir;
  const std::string original =
      "; my settings\n[Paths]\nFlashBIN=/fw\n\n[Settings]\nLocale=EN\nComPort=COM7\n";
  Settings settings = LoadedFrom(dir, original);
  settings.SetComPort("COM3");
  settings.SetComSpeed("806400");
  settings.SetFamilyBySelectorIndex(8);  // P400
  settings.SetWaitStates(1);
  settings.SetDeveloperMode(true);
  settings.SetDisableAllStatusMessages(true);
  settings.SetVerifyWrites(true);
  settings.SetSkipUnchanged(false);
  settings.SetLocale("RU");
  settings.SetFolder("DumpNOR", "/home/me/dumps");
  ASSERT_TRUE(settings.Save());

  EXPECT_EQ(ReadFile(dir.File("brntl.ini")),
            "; my settings\n[Paths]\nFlashBIN=/fw\nDumpNOR=/home/me/dumps\n\n[Settings]\n"
            "Locale=RU\nComPort=COM3\nComSpeed=806400\nPhoneType=Opti\nOptiType=4\n"
            "Wait_States=1\nDeveloper_Mode=1\nDisable_All_Status_Messages=1\nVerify_Writes=1\n"
            "Skip_Unchanged=0\n");

  Settings again(dir.File("brntl.ini"));
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.ComPort(), "COM3");
  EXPECT_EQ(again.ComSpeed(), "806400");
  EXPECT_EQ(again.Family().OptiType, 4);
  EXPECT_EQ(again.WaitStates(), 1);
  EXPECT_TRUE(again.DeveloperMode());
  EXPECT_FALSE(again.DisableDisconnectMessage());
  EXPECT_TRUE(again.DisableAllStatusMessages());
  EXPECT_TRUE(again.VerifyWrites());
  EXPECT_FALSE(again.SkipUnchanged());
  EXPECT_EQ(again.Locale(), "RU");
  EXPECT_EQ(again.Folder("DumpNOR"), "/home/me/dumps");
}

TEST(Settings, ChangesWithoutSaveLeaveTheFileAlone) {
  test::TempDir dir;
  const std::string original = "[Settings]\nComSpeed=38400\n";
  {
    Settings settings = LoadedFrom(dir, original);
    settings.SetComSpeed("230400");
  }
  EXPECT_EQ(ReadFile(dir.File("brntl.ini")), original);
}

TEST(Settings, FailedSaveKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  test::TempDir dir;
  const std::string original = "[Settings]\nComPort=COM5\n";
  Settings settings = LoadedFrom(dir, original);
  settings.SetComPort("COM9");
  ASSERT_EQ(chmod(dir.path().c_str(), 0500), 0);  // no new file can be made beside it
  EXPECT_FALSE(settings.Save());
  chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(ReadFile(dir.File("brntl.ini")), original);
}

TEST(Settings, SaveOverAFolderFailsAndLeavesItsContents) {
  test::TempDir dir;
  ASSERT_EQ(mkdir(dir.File("brntl.ini").c_str(), 0700), 0);
  dir.Write("brntl.ini/inside", "kept");
  Settings settings(dir.File("brntl.ini"));
  settings.SetComPort("COM2");
  EXPECT_FALSE(settings.Save());
  EXPECT_EQ(ReadFile(dir.File("brntl.ini/inside")), "kept");
}

TEST(Settings, FirstSaveCreatesTheFile) {
  test::TempDir dir;
  Settings settings(dir.File("brntl.ini"));
  EXPECT_FALSE(settings.Load());
  settings.SetComSpeed("153600");
  ASSERT_TRUE(settings.Save());
  Settings again(dir.File("brntl.ini"));
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.ComSpeed(), "153600");
}

TEST(Settings, DefaultPathIsBesideTheExecutable) {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  ASSERT_GT(n, 0);
  std::string exe(buffer, static_cast<size_t>(n));
  EXPECT_EQ(Settings::DefaultPath(), exe.substr(0, exe.rfind('/')) + "/brntl.ini");
}

TEST(PortChoice, StoredPortMissingSelectsTheFirstInTextOrder) {
  EXPECT_EQ(ChoosePort("COM7", {"COM3", "COM1"}), "COM1");
  EXPECT_EQ(ChoosePort("COM3", {"COM3", "COM1"}), "COM3");
  EXPECT_EQ(ChoosePort("COM2", {"COM2x", "COM10", "COM9"}), "COM10");
  EXPECT_EQ(ChoosePort("COM1", {}), "");
}

TEST(PortChoice, AGonePortStaysChosenUntilANewOneAppears) {
  const std::vector<std::string> both = {"/dev/ttyS0", "/dev/ttyUSB0"};
  const std::vector<std::string> onBoard = {"/dev/ttyS0"};
  // Unplugged: the adapter's port stays chosen, the on-board one is not taken.
  EXPECT_EQ(FollowPortList("/dev/ttyUSB0", both, onBoard), "/dev/ttyUSB0");
  // Plugged in again under its own name, or under another.
  EXPECT_EQ(FollowPortList("/dev/ttyUSB0", onBoard, both), "/dev/ttyUSB0");
  EXPECT_EQ(FollowPortList("/dev/ttyUSB0", onBoard, {"/dev/ttyS0", "/dev/ttyUSB1"}),
            "/dev/ttyUSB1");
  // A listed port stays chosen whatever else comes and goes.
  EXPECT_EQ(FollowPortList("/dev/ttyS0", onBoard, both), "/dev/ttyS0");
  // A machine without ports: the first adapter plugged in is taken.
  EXPECT_EQ(FollowPortList("", {}, {"/dev/ttyACM0", "/dev/ttyUSB3"}), "/dev/ttyACM0");
  EXPECT_EQ(FollowPortList("", {}, {}), "");
}

}  // namespace
}  // namespace brantle
