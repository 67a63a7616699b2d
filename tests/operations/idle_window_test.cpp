// What the idle window offers: the commands that talk to the phone only while one
// is connected, those of the file system only for the phones that have one, and the
// flash-type help of a flash the tables do not know.

#include <gtest/gtest.h>

#include "support/frame_rig.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

TEST(IdleWindowTest, PhoneCommandsNeedAPhoneAndFileSystemCommandsOneWithAFileSystem) {
  struct Case {
    int selectorIndex;
    bool fileSystem;
  };
  // E700, E800, E330, S500, then two OptiFlash models.
  for (const Case& c : {Case{0, true}, Case{1, true}, Case{2, true}, Case{3, false}, Case{4, false},
                        Case{20, false}}) {
    SCOPED_TRACE(c.selectorIndex);
    test::FrameRig rig;
    rig.frame.SetFamily(rig.settings.SetFamilyBySelectorIndex(c.selectorIndex));
    EXPECT_EQ(rig.frame.Family().HasFileSystem(), c.fileSystem);
    rig.frame.ShowIdleState();
    WindowState s = rig.frame.State();
    EXPECT_FALSE(s.PhoneCommandsEnabled);
    EXPECT_FALSE(s.FileSystemCommandsEnabled);
    EXPECT_FALSE(s.PhoneCommand(true));
    // Offline commands do not ask for a phone.
    EXPECT_TRUE(s.CreateDifEnabled);

    rig.frame.Connected = true;
    rig.frame.ShowIdleState();
    s = rig.frame.State();
    EXPECT_TRUE(s.PhoneCommandsEnabled);
    EXPECT_TRUE(s.PhoneCommand(true));
    EXPECT_FALSE(s.PhoneCommand(false)) << "the page's own rule still counts";
    EXPECT_EQ(s.FileSystemCommandsEnabled, c.fileSystem);
    EXPECT_EQ(s.FileSystemCommand(true), c.fileSystem);
    EXPECT_FALSE(s.FileSystemCommand(false));
  }
}

TEST(IdleWindowTest, FlashHelpOfAnUnknownFlashNamesItsIds) {
  test::PhoneRig rig("E700");
  rig.eConfig.deviceId = 0xE1;     // a device of that maker the table does not list
  rig.ui.answers = {Answer::Yes};  // go on with the unknown flash
  ASSERT_TRUE(rig.Connect());
  EXPECT_EQ(rig.frame.State().FlashType.Text, "Unidentified!!!");
  EXPECT_EQ(rig.driver.FlashHelpText(),
            "Unidentified!!!\nYour flash type is unknown. Flash IDs are EC/E1.");
}

}  // namespace
}  // namespace brantle
