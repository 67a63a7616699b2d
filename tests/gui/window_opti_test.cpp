// The window with an OptiFlash phone: its own service panel, and the dump, S3 flash
// and erase pages working through the Opti loader — checked in the phone's memory.

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <cstdio>

#include "gui_test_registry.h"
#include "window_rig.h"

namespace brantle::test {

class WindowOptiTest : public QObject {
  Q_OBJECT
 private slots:
  void ConnectsAndShowsTheOptiPanel();
  void DumpFlashS3AndEraseChangeExactlyTheirBytes();
};

namespace {

constexpr int kTabFlashing = 0;
constexpr int kTabDumping = 1;
constexpr int kTabErasing = 2;
constexpr int kTabDeveloper = 4;

std::string Bytes(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

// One S3 record, written here by hand rather than by the program's own writer.
std::string S3Record(uint32_t address, const std::string& data) {
  const size_t count = 4 + data.size() + 1;
  unsigned sum = static_cast<unsigned>(count);
  char text[16];
  std::snprintf(text, sizeof text, "S3%02X%08X", static_cast<unsigned>(count), address);
  std::string line = text;
  for (int shift = 24; shift >= 0; shift -= 8) sum += (address >> shift) & 0xFF;
  for (unsigned char c : data) {
    std::snprintf(text, sizeof text, "%02X", c);
    line += text;
    sum += c;
  }
  std::snprintf(text, sizeof text, "%02X\r\n", ~sum & 0xFF);
  return line + text;
}

}  // namespace

void WindowOptiTest::ConnectsAndShowsTheOptiPanel() {
  WindowRig rig("Opti");
  // Two 8 MiB chips, the second at 8 MiB: the flash-type line counts them and its help
  // icon has a line for each.
  rig.optiConfig.chips = {sim::OptiChipConfig{}, sim::OptiChipConfig{}};
  rig.optiConfig.chips[1].base = 0x800000;
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  QCOMPARE(rig.window->Frame().Family().Family, std::string("Opti"));
  QCOMPARE(rig.Find<QLabel>("FlashType")->text(), QString("2 flashes (? for info)"));
  rig.Find<QToolButton>("H_FType")->click();
  const std::vector<std::string> help = rig.dialogs.Texts(MessageKind::Information);
  QCOMPARE(help.size(), size_t{1});
  QCOMPARE(help[0], std::string("0: Samsung KBB05A300, 64 Mbit in 135 sectors at 00000000\n"
                                "1: Samsung KBB05A300, 64 Mbit in 135 sectors at 00800000"));
  // The OptiFlash service offers its conversions; the S500 and file-system services
  // say they are not available for this phone.
  const struct {
    int row;
    const char* panel;
    const char* note;
    bool offered;
  } services[] = {{1, "P_S500", "L_S500_NA", false},
                  {2, "P_Opti", "L_Opti_NA", true},
                  {3, "P_TFS", "L_TFS_NA", false}};
  for (const auto& service : services) {
    rig.ShowPage(kTabDeveloper, "L_Developer", service.row);
    QCOMPARE(rig.Find<QWidget>(service.panel)->isVisible(), service.offered);
    QCOMPARE(rig.Find<QWidget>(service.note)->isVisible(), !service.offered);
  }
  QVERIFY(rig.Click("BDtoS3"));  // its open dialog, cancelled by the script
  QCOMPARE(rig.dialogs.fileDialogs.back().Title, std::string("Choose DIF or BIN file..."));
  QVERIFY(rig.optiPhone->Stats().infos > 0);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});
}

void WindowOptiTest::DumpFlashS3AndEraseChangeExactlyTheirBytes() {
  WindowRig rig("Opti");
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  std::string expected = Bytes(rig.Nor());

  // A dump of 10000..2FFFF holds exactly those bytes.
  const std::string dump = rig.dir.File("part.bin");
  rig.ShowPage(kTabDumping, "L_Dumping", 0);
  rig.SetRegion("DumpNOR", "10000", "2FFFF");
  rig.dialogs.files.push_back(std::vector<std::string>{dump});
  QVERIFY(rig.Click("BS_DumpNOR_Tgt"));
  QVERIFY(rig.Click("B_DumpNOR_Do"));
  QCOMPARE(ReadFile(dump), expected.substr(0x10000, 0x20000));

  // Two S3 records, one of them across a 128 KB boundary.
  const std::string a(0x30, '\x5A'), b = "\x01\x02\x03\x04\x05\x06\x07\x08";
  rig.dir.Write("patch.s3", S3Record(0x40010, a) + S3Record(0x3FFFC, b) + "S70500000000FA\r\n");
  rig.ShowPage(kTabFlashing, "L_Flashing", 4);
  rig.dialogs.files.push_back(std::vector<std::string>{rig.dir.File("patch.s3")});
  QVERIFY(rig.Click("BS_FlashS3_Src"));
  QVERIFY(rig.Click("B_FlashS3_Do"));
  expected.replace(0x40010, a.size(), a);
  expected.replace(0x3FFFC, b.size(), b);
  QCOMPARE(Bytes(rig.Nor()), expected);

  // The erase of 60000..6FFFF leaves FF there and nothing else changed.
  rig.ShowPage(kTabErasing);
  rig.SetRegion("Erase", "60000", "6FFFF");
  QVERIFY(rig.Click("B_Erase_Do"));
  expected.replace(0x60000, 0x10000, std::string(0x10000, '\xFF'));
  QCOMPARE(Bytes(rig.Nor()), expected);
  QCOMPARE(rig.dialogs.Texts(MessageKind::Error), std::vector<std::string>{});
}

BRANTLE_GUI_TEST(WindowOptiTest)

}  // namespace brantle::test

#include "window_opti_test.moc"
