// Honest endings and what the window lets a person start: an erase ends with its
// own words and asks about erasing, a flash that wrote nothing says so, the phone's
// commands wait for a phone and the file system's for a phone that has one, and the
// flash-type help of an unknown flash names its IDs.

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "gui_test_registry.h"
#include "window_rig.h"

namespace brantle::test {

class WindowEndingsTest : public QObject {
  Q_OBJECT
 private slots:
  void AnEraseEndsWithItsOwnWordsAndAsksAboutErasing();
  void AFlashThatWroteNothingSaysSo();
  void PhoneCommandsWaitForAPhone();
  void NoFileSystemCommandsForPhonesWithoutOne();
  void FlashHelpOfAnUnknownFlashNamesItsIds();
};

namespace {

constexpr int kTabFlashing = 0;
constexpr int kTabDumping = 1;
constexpr int kTabErasing = 2;
constexpr int kTabTfs = 3;

const char kDeveloperMode[] = "[Settings]\nDeveloper_Mode=1\n";

bool Enabled(const WindowRig& rig, const char* name) {
  return rig.Find<QPushButton>(name)->isEnabled();
}

// Chooses the files every phone command needs, so that only the phone decides.
void ChooseSources(WindowRig& rig) {
  rig.dir.Write("fw.bin", "firmware");
  rig.dir.Write("pair.tfs", "tfs");
  rig.dir.Write("pair.cfg", "cfg");
  rig.ShowPage(kTabFlashing, "L_Flashing", 0);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("fw.bin")});
  QVERIFY(rig.Click("BS_FlashBIN_Src"));
  rig.ShowPage(kTabDumping, "L_Dumping", 0);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("dump.bin")});
  QVERIFY(rig.Click("BS_DumpNOR_Tgt"));
  rig.ShowPage(kTabDumping, "L_Dumping", 1);
  for (const char* part : {"BIN1", "BIN2", "OGM1", "OGM2"}) {
    rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File(part)});
    QVERIFY(rig.Click(("BS_DumpS500_" + std::string(part)).c_str()));
  }
  rig.ShowPage(kTabTfs, "L_TFS", 0);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("pair.tfs")});
  QVERIFY(rig.Click("BS_FlashTFS_Files"));
  QCOMPARE(rig.Find<QLineEdit>("T_FlashTFS_CFG")->text().toStdString(), rig.dir.File("pair.cfg"));
}

const char* const kPhoneCommands[] = {"B_FlashBIN_Do", "B_DumpNOR_Do", "B_DumpS500_Do",
                                      "B_Erase_Do"};
const char* const kFileSystemCommands[] = {"B_FlashTFS_Do", "B_Dev_TFSR", "FlashTFSFiles",
                                           "NANDFmt", "NANDDump"};
const char* const kOfflineCommands[] = {"BS_FlashBIN_Src", "CreateDIF", "UnpackDIF", "B_Dev_TFSD"};

}  // namespace

void WindowEndingsTest::AnEraseEndsWithItsOwnWordsAndAsksAboutErasing() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  std::vector<uint8_t> expected = rig.Nor();

  // Unaligned: the bytes around the region are flashed back, and still the erase
  // speaks for itself.
  rig.ShowPage(kTabErasing);
  rig.SetRegion("Erase", "10100", "2FEFF");
  QVERIFY(rig.Click("B_Erase_Do"));
  std::fill(expected.begin() + 0x10100, expected.begin() + 0x2FF00, 0xFF);
  QCOMPARE(rig.Nor(), expected);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Information),
           std::vector<std::string>{"Erase completed."});

  // In the EEPROM area the question is about erasing; No keeps it.
  rig.dialogs.messages.clear();
  rig.dialogs.answers.push_back(Answer::No);
  rig.SetRegion("Erase", "E00000", "E0FFFF");
  QVERIFY(rig.Click("B_Erase_Do"));
  QCOMPARE(rig.Nor(), expected);
  const std::vector<std::string> warnings = rig.dialogs.Texts(MessageKind::Warning);
  QCOMPARE(warnings.size(), size_t{1});
  QVERIFY2(warnings[0].rfind("Warning! You are going to erase system EEPROM area", 0) == 0,
           warnings[0].c_str());
  QCOMPARE(rig.dialogs.Texts(MessageKind::Information),
           std::vector<std::string>{
               "Nothing was erased.\nThe EEPROM area was not erased: E00000-E0FFFF"});
}

void WindowEndingsTest::AFlashThatWroteNothingSaysSo() {
  WindowRig rig("E700");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  const std::vector<uint8_t> before = rig.Nor();
  rig.ShowPage(kTabFlashing, "L_Flashing", 6);
  auto* offset = rig.Find<QComboBox>("S_FlashHex_Offset");
  offset->setEditText("E00010");
  emit offset->lineEdit()->editingFinished();
  rig.Find<QPlainTextEdit>("E_FlashHex_Data")->setPlainText("AB CD");
  rig.dialogs.answers.push_back(Answer::No);  // the EEPROM question
  QVERIFY(rig.Click("B_FlashHex_Do"));
  QCOMPARE(rig.Nor(), before);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Information),
           std::vector<std::string>{"Nothing was written to the phone.\nThe EEPROM area was left "
                                    "as it was after No to the EEPROM question."});
}

void WindowEndingsTest::PhoneCommandsWaitForAPhone() {
  WindowRig rig("E700", kDeveloperMode);
  QVERIFY(rig.StartWithoutPhone());
  ChooseSources(rig);
  for (const char* name : kPhoneCommands) QVERIFY2(!Enabled(rig, name), name);
  for (const char* name : kFileSystemCommands) QVERIFY2(!Enabled(rig, name), name);
  for (const char* name : kOfflineCommands) QVERIFY2(Enabled(rig, name), name);

  // The phone's port chosen: once the phone is Ready, its commands are there.
  QVERIFY(rig.ChoosePhonePort());
  QVERIFY(rig.WaitConnected());
  for (const char* name : kPhoneCommands) QVERIFY2(Enabled(rig, name), name);
  for (const char* name : kFileSystemCommands) QVERIFY2(Enabled(rig, name), name);

  QVERIFY(rig.Click("Disconnect"));
  for (const char* name : kPhoneCommands) QVERIFY2(!Enabled(rig, name), name);
  for (const char* name : kFileSystemCommands) QVERIFY2(!Enabled(rig, name), name);
  for (const char* name : kOfflineCommands) QVERIFY2(Enabled(rig, name), name);
}

void WindowEndingsTest::NoFileSystemCommandsForPhonesWithoutOne() {
  for (const char* family : {"Opti", "S500"}) {
    WindowRig rig(family, kDeveloperMode);
    QVERIFY(rig.Start());
    QVERIFY(rig.WaitConnected());
    ChooseSources(rig);
    for (const char* name : kPhoneCommands) QVERIFY2(Enabled(rig, name), name);
    QVERIFY2(!Enabled(rig, "B_FlashTFS_Do"), family);
    QVERIFY2(!Enabled(rig, "B_Dev_TFSR"), family);
    QVERIFY2(Enabled(rig, "B_Dev_TFSD"), family);
  }
}

void WindowEndingsTest::FlashHelpOfAnUnknownFlashNamesItsIds() {
  WindowRig rig("E700");
  rig.config.deviceId = 0xE1;             // not in the table
  rig.dialogs.answers.push_back(Answer::Yes);  // go on with the unknown flash
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  rig.dialogs.messages.clear();
  rig.Find<QToolButton>("H_FType")->click();
  QCOMPARE(rig.dialogs.Texts(MessageKind::Information),
           std::vector<std::string>{
               "Unidentified!!!\nYour flash type is unknown. Flash IDs are EC/E1."});
}

BRANTLE_GUI_TEST(WindowEndingsTest)

}  // namespace brantle::test

#include "window_endings_test.moc"
