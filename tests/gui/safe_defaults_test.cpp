// Nothing destructive on Enter: the window's real question boxes answered from the
// keyboard leave the phone as it was, checked in the phone itself.

#include <QTest>
#include <algorithm>

#include "gui_test_registry.h"
#include "message_box_answers.h"
#include "window_rig.h"

namespace brantle::test {

class SafeDefaultsTest : public QObject {
  Q_OBJECT
 private slots:
  void ReturnAtTheFormatQuestionFormatsNothing();
  void ReturnOrEscapeAtTheEraseEepromQuestionKeepsTheEeprom();
};

namespace {

constexpr int kTabErasing = 2;
constexpr int kTabDeveloper = 4;

}  // namespace

void SafeDefaultsTest::ReturnAtTheFormatQuestionFormatsNothing() {
  WindowRig rig("E800");
  rig.realDialogs = true;
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  rig.ShowPage(kTabDeveloper);
  {
    MessageBoxAnswers boxes({TypeKey(Qt::Key_Return)});
    QVERIFY(rig.Click("NANDFmt"));
    QCOMPARE(rig.phone->Stats().formats, 0);
    QVERIFY(rig.window->Frame().Connected);
    QCOMPARE(boxes.texts, std::vector<QString>{"Formatting NAND: are you sure?"});
  }

  // The Yes button does format, as the count would have shown.
  MessageBoxAnswers yes({ClickButton(QMessageBox::Yes), TypeKey(Qt::Key_Return)});
  QVERIFY(rig.Click("NANDFmt"));
  QCOMPARE(rig.phone->Stats().formats, 1);
  QCOMPARE(yes.texts.back(), QString("Formatting NAND completed. Phone disconnected."));
}

void SafeDefaultsTest::ReturnOrEscapeAtTheEraseEepromQuestionKeepsTheEeprom() {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
    WindowRig rig("E700");
    rig.realDialogs = true;
    QVERIFY(rig.Start());
    QVERIFY(rig.WaitConnected());
    const std::vector<uint8_t> before = rig.Nor();
    rig.ShowPage(kTabErasing);
    rig.SetRegion("Erase", "DF0000", "E0FFFF");
    // The question, then the ending, which Return closes.
    MessageBoxAnswers boxes({TypeKey(key), TypeKey(Qt::Key_Return)});
    QVERIFY(rig.Click("B_Erase_Do"));
    // The firmware part of the region is erased; the EEPROM area is as it was.
    const std::vector<uint8_t> after = rig.Nor();
    QVERIFY(std::all_of(after.begin() + 0xDF0000, after.begin() + 0xE00000,
                        [](uint8_t b) { return b == 0xFF; }));
    QVERIFY(std::equal(after.begin() + 0xE00000, after.end(), before.begin() + 0xE00000));
    QCOMPARE(boxes.texts.size(), size_t{2});
    QVERIFY2(boxes.texts[0].startsWith("Warning! You are going to erase system EEPROM area"),
             qPrintable(boxes.texts[0]));
    QCOMPARE(boxes.texts[1],
             QString("Erase completed.\nThe EEPROM area was not erased: E00000-E0FFFF"));
  }
}

BRANTLE_GUI_TEST(SafeDefaultsTest)

}  // namespace brantle::test

#include "safe_defaults_test.moc"
