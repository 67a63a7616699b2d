// The connect timer's driver against the virtual phones over a pseudo-terminal:
// polling, the connect steps of both protocols, the unknown-flash question, connect
// errors, the periodic reopen, keep-alive loss and the close request.

#include <gtest/gtest.h>
#include <unistd.h>

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

// A trace shows where the connect ended: what a field report is read from.
TEST(ConnectDriverTest, TheTraceMarksThePhoneReadyWithItsFlashType) {
  PhoneRig rig("E800");
  std::string error;
  rig.link.SetTrace(Tracer::OpenFile(rig.dir.File("trace"), error));
  ASSERT_TRUE(rig.Connect());
  const std::string trace = test::ReadFile(rig.dir.File("trace"));
  const size_t ready = trace.find(" -- ready: Samsung ");
  ASSERT_NE(ready, std::string::npos) << trace;
  // After the last byte of the connect: the second loader's "c".
  EXPECT_LT(trace.rfind("RX 000000  63 "), ready);
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
  // The terminated phone boots again at once; it is not asked about again until the
  // person says so, or the question would come back every few seconds.
  EXPECT_TRUE(rig.driver.WaitingForPerson());
  EXPECT_TRUE(rig.frame.State().RetryEnabled);
  for (int i = 0; i < 20; ++i) rig.driver.Tick();
  EXPECT_EQ(rig.ePhone->Stats().connects, 1);
  EXPECT_EQ(rig.ui.messages.size(), 2u);
  rig.ui.answers = {Answer::Yes};
  rig.driver.ConnectAgain();
  EXPECT_TRUE(rig.driver.TickUntilConnected(10000));
  EXPECT_EQ(rig.ePhone->Stats().connects, 2);
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
  const std::vector<std::string> errors = rig.ui.Texts(MessageKind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Initializing (switching speed): invalid speed\nThe phone's loader "
                            "offers 115200, 460800 and 921600 bit/s.\n",
                            0),
            0u)
      << errors[0];
  // Then what to try: the speed and the phone type as they are set now.
  EXPECT_NE(errors[0].find("try a lower speed (now: 38400 bit/s)"), std::string::npos);
  EXPECT_NE(errors[0].find("(now: Samsung SGH-C200)"), std::string::npos);
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

TEST(ConnectDriverTest, MissingLoadersAreToldWithTheFolderBeforeThePhoneIsTouched) {
  PhoneRig rig("E700");
  rig.driver.E().LoadersFolder = rig.dir.path();  // no loaders there
  EXPECT_FALSE(rig.Connect());
  ASSERT_EQ(rig.ui.Texts(MessageKind::Error).size(), 1u);
  const std::string text = rig.ui.Texts(MessageKind::Error)[0];
  const std::string error = "Initializing (loader1): loader image unavailable: loader file " +
                            rig.dir.File("e700_loader1.bin") + " not found (expected 7169 bytes)";
  EXPECT_EQ(text.rfind(error + "\nThe phone's loader files are not in " + rig.dir.path() + ".", 0),
            0u)
      << text;
  EXPECT_NE(text.find("BRANTLE_LOADERS"), std::string::npos);
  // The phone was not booted: it still waits in boot mode for a PC with its loaders.
  EXPECT_EQ(rig.ePhone->Stats().connects, 0);
  EXPECT_FALSE(rig.frame.Connected);
  EXPECT_FALSE(rig.frame.Busy);
  EXPECT_TRUE(rig.frame.PortOpen);
  EXPECT_EQ(rig.frame.State().StatusLine, "Connect failed: " + error);

  // Loaders put in place and "Connect again": the same phone connects.
  rig.driver.E().LoadersFolder = rig.loaders.path();
  rig.driver.ConnectAgain();
  EXPECT_TRUE(rig.driver.TickUntilConnected(10000));
  EXPECT_EQ(rig.frame.State().StatusLine, "Select operation to perform...");
}

// A phone of another family answers the boot code's packet with silence: the first
// failure is a box, a repeat only a count in the status line; the right type connects
// the same phone without restarting it.
TEST(ConnectDriverTest, AFailureIsToldOnceThenCountedAndTheRightTypeConnects) {
  PhoneRig rig("E700");
  rig.eConfig.family = "E800";
  EXPECT_FALSE(rig.Connect());
  const std::string error = "Initializing (bootup): communications timeout";
  ASSERT_EQ(rig.ui.Texts(MessageKind::Error).size(), 1u);
  const std::string box = rig.ui.Texts(MessageKind::Error)[0];
  EXPECT_EQ(box.rfind(error + "\n", 0), 0u) << box;
  EXPECT_NE(box.find("phone type on the Settings page (now: Samsung SGH-E100/E700/X100/X460/"
                     "X600), the speed (now: 115200 bit/s)"),
            std::string::npos)
      << box;
  EXPECT_TRUE(rig.driver.WaitingForPerson());
  const WindowState& s = rig.frame.State();
  EXPECT_TRUE(s.SelectorsEnabled);
  EXPECT_TRUE(s.RetryEnabled);
  EXPECT_EQ(s.StatusLine, "Connect failed: " + error);

  rig.driver.ConnectAgain();
  EXPECT_FALSE(rig.driver.TickUntilConnected(15000));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error).size(), 1u) << rig.ui.Texts(MessageKind::Error).back();
  EXPECT_EQ(rig.frame.State().StatusLine, "2 attempts failed: " + error);

  rig.driver.ChangeFamily(1);  // E800
  EXPECT_TRUE(rig.driver.TickUntilConnected(15000));
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error).size(), 1u);
  EXPECT_EQ(rig.frame.State().StatusLine, "Select operation to perform...");
  EXPECT_FALSE(rig.frame.State().RetryEnabled);
}

// After a failure the driver tries again by itself only when the phone fell silent
// for a while and then came back in boot mode: the person restarted it.
TEST(ConnectDriverTest, APhoneRestartedAfterAFailureIsTriedAgain) {
  PhoneRig rig("E700");
  rig.eConfig.family = "E800";
  EXPECT_FALSE(rig.Connect());
  ASSERT_TRUE(rig.driver.WaitingForPerson());
  rig.ePhone->SwitchOff(3000);
  EXPECT_FALSE(rig.driver.TickUntilConnected(20000));
  EXPECT_EQ(rig.frame.State().StatusLine,
            "2 attempts failed: Initializing (bootup): communications timeout");
  EXPECT_EQ(rig.ui.Texts(MessageKind::Error).size(), 1u);
}

TEST(ConnectDriverTest, CancelEndsAConnectAttemptAndNothingElseHappens) {
  PhoneRig rig("E700");
  rig.eConfig.family = "E800";  // the boot command waits 3 s for an answer
  rig.ui.answers = {Answer::Yes};
  bool asked = false;
  rig.ui.onPump = [&] {
    if (!asked && rig.driver.Connecting() && rig.frame.State().CancelEnabled) {
      asked = true;
      rig.frame.RequestCancel();
    }
  };
  EXPECT_FALSE(rig.Connect());
  EXPECT_TRUE(asked);
  ASSERT_EQ(rig.ui.messages.size(), 1u);
  EXPECT_EQ(rig.ui.messages[0].text, "Are you sure to cancel?");
  EXPECT_FALSE(rig.frame.Busy);
  EXPECT_FALSE(rig.driver.Connecting());
  EXPECT_TRUE(rig.frame.PortOpen);
  EXPECT_TRUE(rig.driver.WaitingForPerson());
  EXPECT_EQ(rig.frame.State().StatusLine, "Connect the phone and press power button once...");
}

// An adapter unplugged while the window polls: one box, then the port is watched
// for and polling resumes when it is back (here: a phone on the same name).
TEST(ConnectDriverTest, APortThatVanishesIsToldOnceAndPolledAgainWhenBack) {
  PhoneRig rig("E800");
  auto adapter = std::make_unique<sim::PtyLine>();
  std::string error;
  ASSERT_TRUE(adapter->Open(error)) << error;
  const std::string port = rig.dir.File("ttyUSB0");
  ASSERT_EQ(symlink(adapter->Path().c_str(), port.c_str()), 0);
  rig.settings.SetComPort(port);
  rig.driver.ReinitializePort();
  ASSERT_TRUE(rig.frame.PortOpen);

  // Unplugged: the system removes the device (a pseudo-terminal's number would soon
  // be given to another line).
  adapter.reset();
  ASSERT_EQ(unlink(port.c_str()), 0);
  EXPECT_FALSE(rig.driver.TickUntilConnected(10000));
  EXPECT_TRUE(rig.driver.PortGone());
  EXPECT_FALSE(rig.frame.PortOpen);
  const std::vector<std::string> errors = rig.ui.Texts(MessageKind::Error);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Error: communications initialization failed\n" + port, 0), 0u)
      << errors[0];
  EXPECT_NE(errors[0].find("unplugged"), std::string::npos) << errors[0];
  for (int i = 0; i < 10; ++i) rig.driver.Tick();
  EXPECT_EQ(rig.ui.messages.size(), 1u);

  rig.ePhone = std::make_unique<sim::VirtualEPhone>(rig.eConfig);
  ASSERT_TRUE(rig.ePhone->Start());
  ASSERT_EQ(symlink(rig.ePhone->PortPath().c_str(), port.c_str()), 0);
  EXPECT_TRUE(rig.driver.TickUntilConnected(15000));
  EXPECT_EQ(rig.ui.messages.size(), 1u);
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
