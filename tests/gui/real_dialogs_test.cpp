// The window's real message box and file dialog, answered as a person would, and
// the filter mapping between the program's filter texts and Qt's.

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "file_filter.h"
#include "gui_test_registry.h"
#include "lang/lang_get.h"
#include "main_window.h"
#include "modal_answer.h"
#include "sim/demo_loaders.h"
#include "sim/virtual_e_phone.h"
#include "support/temp_dir.h"

namespace brantle::test {

class RealDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void FiltersMapBothWays();
  void ARealMessageBoxAndARealFileDialog();
};

void RealDialogsTest::FiltersMapBothWays() {
  const QStringList bin = gui::QtNameFilters(LangGet("FF_BIN"));
  QCOMPARE(bin, (QStringList{"BIN and CLA files (*.bin *.cla)", "All Files (*.*)"}));
  QCOMPARE(gui::FilterIndexOf(bin, "All Files (*.*)"), 2);
  QCOMPARE(gui::FilterIndexOf(bin, "something else"), 1);
  const QStringList three = gui::QtNameFilters("A (x)|*.a|B|*.b;*.c|C|*");
  QCOMPARE(three, (QStringList{"A (*.a)", "B (*.b *.c)", "C (*)"}));
  QCOMPARE(gui::QtNameFilters(""), QStringList{"* (*)"});
}

void RealDialogsTest::ARealMessageBoxAndARealFileDialog() {
  TempDir dir, loaders;
  std::string error;
  QVERIFY(sim::WriteDemoLoaders(loaders.path(), error));
  sim::EPhoneConfig config;
  sim::VirtualEPhone phone(config);
  QVERIFY(phone.Start());
  gui::WindowConfig c;
  c.SettingsPath = dir.File("brntl.ini");
  c.ListPorts = [] { return std::vector<SerialPortInfo>{}; };
  c.ExtraPorts = {phone.PortPath()};
  c.StartPort = phone.PortPath();
  gui::TKTZF window(c);
  window.Driver().E().LoadersFolder = loaders.path();
  window.show();
  window.Start();
  QVERIFY(QTest::qWaitFor([&] { return window.Frame().Connected && !window.Frame().Busy; }, 30000));

  QString shown;
  {
    ModalAnswer<QMessageBox> ok([&](QMessageBox* box) {
      shown = box->text();
      box->button(QMessageBox::Ok)->click();
    });
    window.findChild<QPushButton*>("Disconnect")->click();
    QVERIFY(ok.answered);
  }
  QCOMPARE(shown, QString("Phone disconnected."));

  dir.Write("fw.bin", "firmware");
  QString title;
  QStringList filters;
  {
    ModalAnswer<QFileDialog> choose([&](QFileDialog* d) {
      title = d->windowTitle();
      filters = d->nameFilters();
      d->selectFile(QString::fromStdString(dir.File("fw.bin")));
      static_cast<QDialog*>(d)->accept();  // as the Open button does
    });
    window.findChild<QPushButton*>("BS_FlashBIN_Src")->click();
    QVERIFY(choose.answered);
  }
  QCOMPARE(title, QString("Choose BIN file..."));
  QCOMPARE(filters.first(), QString("BIN and CLA files (*.bin *.cla)"));
  QCOMPARE(window.findChild<QLineEdit*>("T_FlashBIN_Src")->text().toStdString(),
           dir.File("fw.bin"));
  QCOMPARE(window.settings().Folder("FlashBIN_Src"), dir.path() + "/");
  window.close();
}

BRANTLE_GUI_TEST(RealDialogsTest)

}  // namespace brantle::test

#include "real_dialogs_test.moc"
