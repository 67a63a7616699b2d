// The window with an S500 phone: the firmware dumped into the four 2BIN+2OGM files
// and one of them flashed back changed, checked in the files and the phone's memory.

#include <QPushButton>
#include <QTest>

#include "gui_test_registry.h"
#include "window_rig.h"

namespace brantle::test {

class WindowS500Test : public QObject {
  Q_OBJECT
 private slots:
  void FourFilesDumpedAndOneFlashedBackChanged();
};

namespace {

constexpr int kTabFlashing = 0;
constexpr int kTabDumping = 1;

std::string Bytes(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

}  // namespace

void WindowS500Test::FourFilesDumpedAndOneFlashedBackChanged() {
  WindowRig rig("S500");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  std::string nor = Bytes(rig.Nor());

  // The four targets, chosen in the order of their fields.
  rig.ShowPage(kTabDumping, "L_Dumping", 1);
  const char* parts[4] = {"BIN1", "BIN2", "OGM1", "OGM2"};
  const char* names[4] = {"fw_1.bin", "fw_2.bin", "fw_1.ogm", "fw_2.ogm"};
  for (int i = 0; i < 4; ++i) {
    rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File(names[i])});
    QVERIFY(rig.Click(("BS_DumpS500_" + std::string(parts[i])).c_str()));
  }
  QVERIFY(rig.Click("B_DumpS500_Do"));
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});

  // In NOR order (BIN1, OGM1, BIN2, OGM2) the files tile the firmware area.
  const std::string bin1 = ReadFile(rig.dir.File("fw_1.bin"));
  const std::string ogm1 = ReadFile(rig.dir.File("fw_1.ogm"));
  const std::string bin2 = ReadFile(rig.dir.File("fw_2.bin"));
  const std::string ogm2 = ReadFile(rig.dir.File("fw_2.ogm"));
  QVERIFY(!bin1.empty() && !ogm1.empty() && !bin2.empty() && !ogm2.empty());
  QCOMPARE(bin1 + ogm1 + bin2 + ogm2, nor.substr(0, 0xF00000));

  // BIN2 with some bytes changed, flashed alone from the 2BIN+2OGM page.
  std::string changed = bin2;
  const size_t at = 0x1234;
  for (size_t i = 0; i < 16; ++i) changed[at + i] = static_cast<char>(~changed[at + i]);
  rig.dir.Write("new_2.bin", changed);
  rig.ShowPage(kTabFlashing, "L_Flashing", 3);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("new_2.bin")});
  QVERIFY(rig.Click("SB_FlashS500_BIN2"));
  QVERIFY(rig.Click("B_FlashS500_Do"));
  nor.replace(bin1.size() + ogm1.size() + at, 16, changed.substr(at, 16));
  QCOMPARE(Bytes(rig.Nor()), nor);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});
}

BRANTLE_GUI_TEST(WindowS500Test)

}  // namespace brantle::test

#include "window_s500_test.moc"
