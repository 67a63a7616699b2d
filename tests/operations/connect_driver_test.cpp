// The connect timer's driver against the virtual phones over a pseudo-terminal:
// polling, the connect steps of both protocols, the unknown-flash question, connect
// errors, the periodic reopen, keep-alive loss and the close request.

#include <gtest/gtest.h>

#include "sim/pty.h"
#include "support/phone_rig.h"

namespace brantle {
namespace {

using test::PhoneRig;

TEST(ConnectDriverTest, EPhoneBecomesReadyWithItsFlashType) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect()) << (rig.ui.messages.empty() ? "" : rig.ui.messages[0].text);
  EXPECT_TRUE(rig.frame.Connected);
  EXPECT_FALSE(rig.frame.Busy);
  const WindowState& s = rig.frame.State();
  EXPECT_EQ(s.PhoneStatus, (ColoredText{"Ready", TextColor::Green}));
  EXPECT_EQ(s.FlashType, (ColoredText{"Samsung KBB05A300", TextColor::Navy}));
  EXPECT_TRUE(s.FlashTypeVisible);
  EXPECT_TRUE(s.DisconnectEnabled);
  EXPECT_FALSE(s.SelectorsEnabled);
  EXPECT_TRUE(s.PanelButtonsEnabled);  // the file-system buttons need a phone
  EXPECT_EQ(s.StatusLine, "Select operation to perform...");
  // "Initializing" in navy was shown while the steps ran.
  bool initializing = false;
  for (const WindowState& w : rig.ui.windows)
    initializing |= w.PhoneStatus == ColoredText{"Initializing", TextColor::Navy};
  EXPECT_TRUE(initializing);
  EXPECT_TRUE(rig.ui.messages.empty());
}

TEST(ConnectDriverTest, OptiPhoneBecomesReady) {
  PhoneRig rig("Opti", 16);
  rig.optiConfig.norSize = 32u << 20;
  ASSERT_TRUE(rig.Connect());
  EXPECT_EQ(rig.frame.State().Panel, FamilyPanel::Opti);
  EXPECT_EQ(rig.frame.State().FlashType.Color, TextColor::Navy);
  EXPECT_EQ(rig.optiPhone->Stats().setps, 1);
}

// The help lists the chips a line each; the stored hint separates them by LF CR,
// which a box or a terminal would show as a stray character.
TEST(ConnectDriverTest, TheFlashHelpListsEachOptiChipOnALineOfItsOwn) {
  PhoneRig rig("Opti");
  rig.optiConfig.chips = {sim::OptiChipConfig{}, sim::OptiChipConfig{}};
  rig.optiConfig.chips[1].base = 0x800000;
  ASSERT_TRUE(rig.Connect());
  EXPECT_EQ(rig.frame.FlashTypeText, "2 flashes (? for info)");
  EXPECT_EQ(rig.driver.FlashHintLines(),
            (std::vector<std::string>{"0: Samsung KBB05A300, 64 Mbit in 135 sectors at 00000000",
                                      "1: Samsung KBB05A300, 64 Mbit in 135 sectors at 00800000"}));
  EXPECT_EQ(rig.driver.FlashHelpText(),
            rig.driver.FlashHintLines()[0] + "\n" + rig.driver.FlashHintLines()[1]);

  // One chip, or an E phone: the flash-type line is the help.
  PhoneRig e("E700");
  ASSERT_TRUE(e.Connect());
  EXPECT_TRUE(e.driver.FlashHintLines().empty());
  EXPECT_EQ(e.driver.FlashHelpText(), "Samsung KBB05A300");
}

TEST(ConnectDriverTest, NoToAnUnknownFlashDisconnectsAndPollsAgain) {
  PhoneRig rig("E800");
  rig.eConfig.makerId = 0x12;
  rig.eConfig.deviceId = 0x34;
  rig.ui.answers = {Answer::No};
  EXPECT_FALSE(rig.Connect());
  ASSERT_EQ(rig.ui.messages.size(), 2u);
  EXPECT_EQ(rig.ui.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(rig.ui.messages[0].text,
            "Your flash type is unknown. Flash IDs are 12/34. Please send these IDs to the BRNTL "
            "author. Warning! Using BRNTL with unknown flash can cause irreparable phone damage. "
            "Do you want to continue?");
  EXPECT_EQ(rig.ui.messages[1].text, "Phone disconnected.");
  EXPECT_FALSE(rig.frame.Connected);
  EXPECT_TRUE(rig.frame.PortOpen);
  EXPECT_TRUE(rig.frame.TimerRunning);
  EXPECT_EQ(rig.frame.State().PhoneStatus, (ColoredText{"Disconnected", TextColor::Maroon}));
  // The terminated phone boots again and the next poll connects it.
  rig.ui.answers = {Answer::Yes};
  EXPECT_TRUE(rig.driver.TickUntilConnected(10000));
  EXPECT_EQ(rig.frame.State().FlashType, (ColoredText{"Unidentified!!!", TextColor::Maroon}));
}

TEST(ConnectDriverTest, APortThatCannotBeOpenedSaysWhichAndWhyUnderTheBoxText) {
  PhoneRig rig("E700");
  rig.dir.Write("plain.bin", "a file");
  rig.settings.SetComPort(rig.dir.File("plain.bin"));
  rig.driver.ReinitializePort();
  EXPECT_FALSE(rig.frame.PortOpen);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>{"Error: communications initialization failed\n" +
                                     rig.dir.File("plain.bin") +
                                     " is a regular file, not a serial device."});
}

TEST(ConnectDriverTest, ASpeedTheOptiLoaderDoesNotOfferIsRefusedWithTheSpeedsItDoes) {
  PhoneRig rig("Opti");
  rig.optiConfig.baudList = {115200, 460800, 921600};
  rig.settings.SetComSpeed("38400");
  EXPECT_FALSE(rig.Connect());
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>{"Initializing (switching speed): invalid speed\nThe phone's "
                                     "loader offers 115200, 460800 and 921600 bit/s."});
}

TEST(ConnectDriverTest, TheFailedConnectStepIsKnownAfterwards) {
  PhoneRig rig("E800");
  rig.eConfig.family = "E700";  // a phone of another family in boot mode
  EXPECT_FALSE(rig.Connect());
  EXPECT_EQ(rig.driver.FailedStep(), "ErrC_Init_Bootup");
  rig.ePhone.reset();
  PhoneRig right("E800");
  EXPECT_TRUE(right.Connect());
  EXPECT_EQ(right.driver.FailedStep(), "");
}

TEST(ConnectDriverTest, ConnectErrorShowsItsPrefixAndReopensThePort) {
  PhoneRig rig("E700");
  rig.driver.E().LoadersFolder = rig.dir.path();  // no loaders there
  EXPECT_FALSE(rig.Connect());
  ASSERT_EQ(rig.ui.Texts(MessageKind::Error).size(), 1u);
  const std::string text = rig.ui.Texts(MessageKind::Error)[0];
  EXPECT_EQ(text.rfind("Initializing (loader1): loader image unavailable: ", 0), 0u) << text;
  EXPECT_FALSE(rig.frame.Connected);
  EXPECT_FALSE(rig.frame.Busy);
  EXPECT_TRUE(rig.frame.PortOpen);
  EXPECT_EQ(rig.frame.State().StatusLine, "Connect the phone and press power button once...");
}

TEST(ConnectDriverTest, NothingHappensWhileBusyAndTheCloseIsRefused) {
  PhoneRig rig("E700");
  rig.frame.Busy = true;
  ASSERT_TRUE(rig.ePhone == nullptr);
  rig.ePhone = std::make_unique<sim::VirtualEPhone>(rig.eConfig);
  ASSERT_TRUE(rig.ePhone->Start());
  rig.settings.SetComPort(rig.ePhone->PortPath());
  rig.driver.ReinitializePort();
  for (int i = 0; i < 20; ++i) rig.driver.Tick();
  EXPECT_EQ(rig.ePhone->Stats().connects, 0);
  EXPECT_FALSE(rig.driver.RequestClose());
  EXPECT_TRUE(rig.frame.PortOpen);
  rig.frame.Busy = false;
  EXPECT_TRUE(rig.driver.RequestClose());
  EXPECT_FALSE(rig.frame.PortOpen);
}

TEST(ConnectDriverTest, TheTwoHundredAndFirstFailedPollReopensThePort) {
  sim::PtyLine line;
  std::string error;
  ASSERT_TRUE(line.Open(error)) << error;
  PhoneRig rig("E700");
  rig.settings.SetComPort(line.Path());
  rig.driver.ReinitializePort();
  ASSERT_TRUE(rig.frame.PortOpen);
  for (int i = 0; i < 200; ++i) rig.driver.Tick();
  EXPECT_EQ(rig.driver.PollCount(), 200);
  rig.driver.Tick();
  EXPECT_EQ(rig.driver.PollCount(), 0);
  EXPECT_TRUE(rig.frame.PortOpen);
  EXPECT_TRUE(rig.ui.messages.empty());  // polling is silent
}

TEST(ConnectDriverTest, WaitingForAPhoneEndsWhenTheCallerSaysStop) {
  sim::PtyLine line;
  std::string error;
  ASSERT_TRUE(line.Open(error)) << error;
  PhoneRig rig("E700");
  rig.settings.SetComPort(line.Path());
  rig.driver.ReinitializePort();
  ASSERT_TRUE(rig.frame.PortOpen);
  int asked = 0;
  EXPECT_FALSE(rig.driver.TickUntilConnected(3600000, [&] { return ++asked == 3; }));
  EXPECT_EQ(asked, 3);
  EXPECT_EQ(rig.driver.PollCount(), 3);
  EXPECT_TRUE(rig.ui.messages.empty());
}

TEST(ConnectDriverTest, LostOptiPhoneIsReportedOnTheFortyFirstTick) {
  PhoneRig rig("Opti");
  ASSERT_TRUE(rig.Connect());
  for (int i = 0; i < 40; ++i) rig.driver.Tick();
  EXPECT_TRUE(rig.frame.Connected);
  const int syncs = rig.optiPhone->Stats().syncs;
  rig.optiPhone->GoSilent();
  rig.driver.Tick();
  EXPECT_EQ(rig.optiPhone->Stats().syncs, syncs);
  EXPECT_FALSE(rig.frame.Connected);
  EXPECT_FALSE(rig.frame.PortOpen);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error),
            std::vector<std::string>{"Error: phone connection lost"});
}

TEST(ConnectDriverTest, DisconnectTerminatesAndShowsTheMessageUnlessDisabled) {
  PhoneRig rig("E700");
  ASSERT_TRUE(rig.Connect());
  rig.driver.Disconnect(true);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information),
            std::vector<std::string>{"Phone disconnected."});
  EXPECT_FALSE(rig.frame.Connected);
  EXPECT_TRUE(rig.frame.PortOpen);
  ASSERT_TRUE(rig.driver.TickUntilConnected(10000));
  rig.settings.SetDisableDisconnectMessage(true);
  rig.driver.Disconnect(true);
  EXPECT_EQ(rig.ui.Texts(MessageKind::Information).size(), 1u);
}

TEST(ConnectDriverTest, AFamilyChangeReopensThePortForTheNewProtocol) {
  PhoneRig rig("E700");
  rig.optiPhone = std::make_unique<sim::VirtualOptiPhone>(rig.optiConfig);
  ASSERT_TRUE(rig.optiPhone->Start());
  rig.driver.ChangePort(rig.optiPhone->PortPath());
  EXPECT_EQ(rig.settings.ComPort(), rig.optiPhone->PortPath());
  EXPECT_TRUE(rig.frame.PortOpen);
  rig.driver.ChangeFamily(4 + 16);  // X480
  EXPECT_EQ(rig.settings.Family().Family, "Opti");
  EXPECT_EQ(rig.frame.Areas().FirmwareSize, 0x1A00000u);
  EXPECT_EQ(rig.frame.State().Panel, FamilyPanel::Opti);
  EXPECT_TRUE(rig.frame.PortOpen);
  // The port now polls with the OptiFlash boot prompt, which this phone answers.
  EXPECT_TRUE(rig.driver.TickUntilConnected(10000));
  EXPECT_GE(rig.optiPhone->Stats().bootPrompts, 1);
}

}  // namespace
}  // namespace brantle
