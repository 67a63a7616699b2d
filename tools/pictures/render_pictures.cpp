// Renders every tab page of the window, connected to a virtual E800 phone, into
// PNG files: brantle-pictures OUTPUT_FOLDER [LANGUAGE_FOLDER]. With a language
// folder, the Flashing and Settings pages in each of its languages go into
// OUTPUT_FOLDER/languages as CODE-flashing.png and CODE-settings.png. Run with
// QT_QPA_PLATFORM=offscreen.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

#include "difcreate.h"
#include "difif.h"
#include "difpform.h"
#include "formats/rtf_text.h"
#include "lang/lang_get.h"
#include "lang/languages.h"
#include "main_window.h"
#include "sim/virtual_e_phone.h"
#include "tfsfm.h"
#include "tfssel.h"

namespace {

void Save(QWidget& window, const QString& folder, const QString& name) {
  QApplication::processEvents();
  window.grab().save(folder + "/" + name + ".png");
  std::printf("%s/%s.png\n", qPrintable(folder), qPrintable(name));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: brantle-pictures OUTPUT_FOLDER [LANGUAGE_FOLDER]\n");
    return 2;
  }
  // The languages are read from a copy: loading completes files in place.
  QTemporaryDir languages;
  if (argc > 2) {
    for (const QFileInfo& file : QDir(argv[2]).entryInfoList({"*.lng"}, QDir::Files))
      QFile::copy(file.filePath(), languages.filePath(file.fileName()));
    brantle::CurrentLanguages().Load(languages.path().toStdString());
  }
  const QString folder = argv[1];
  QDir().mkpath(folder);
  brantle::sim::EPhoneConfig config;
  config.family = "E800";
  brantle::sim::VirtualEPhone phone(config);
  if (!phone.Start()) return std::fprintf(stderr, "%s\n", phone.error().c_str()), 1;

  brantle::gui::WindowConfig window;
  window.SettingsPath = QDir::tempPath().toStdString() + "/brantle-pictures.ini";
  QFile::remove(QString::fromStdString(window.SettingsPath));
  // The pictures' session goes into a log of its own, not the person's.
  QTemporaryDir logFolder;
  window.LogPath = logFolder.filePath("brantle.log").toStdString();
  window.ListPorts = [] { return std::vector<brantle::SerialPortInfo>{}; };
  window.ExtraPorts = {phone.PortPath()};
  window.StartPort = phone.PortPath();
  window.StartFamily = 1;
  brantle::gui::TKTZF w(window);
  w.show();
  w.Start();
  QElapsedTimer waited;
  waited.start();
  while (!w.Frame().Connected && waited.elapsed() < 30000) QApplication::processEvents();

  auto* pages = w.findChild<QTabWidget*>("Pages");
  const char* names[] = {"flashing", "dumping", "erasing", "tfs", "developer", "settings", "about"};
  for (int i = 0; i < pages->count(); ++i) {
    pages->setCurrentIndex(i);
    Save(w, folder, names[i]);
  }
  // The sub-pages that carry most of the work.
  pages->setCurrentIndex(0);
  w.findChild<QListWidget*>("L_Flashing")->setCurrentRow(6);
  Save(w, folder, "flashing-hex");
  // The operation log's panel, holding the connect.
  w.findChild<QListWidget*>("L_Flashing")->setCurrentRow(0);
  w.findChild<QPushButton*>("B_ShowLog")->click();
  Save(w, folder, "log");
  w.findChild<QPushButton*>("B_ShowLog")->click();

  // The dialogs, with a little content.
  brantle::OperationFrame& frame = w.Frame();
  brantle::gui::TNDPF parameters(frame, &w);
  brantle::DifParametersDialog p;
  p.Caption = brantle::LangGet("SCap_DIF_Create_Parameters");
  p.RType = 1;
  p.Comment = brantle::PlainTextToRtf("Firmware XEDH1 for the E800, with the menu fix.");
  parameters.Load(p);
  parameters.show();
  Save(parameters, folder, "dialog-parameters");

  brantle::gui::TDIFInfo info(&w);
  std::vector<brantle::DIFChoice> files(3);
  const char* difNames[3] = {"xedh1-patch.dif", "xedh1-undo.dif", "ringtones.dif"};
  for (int i = 0; i < 3; ++i) {
    files[i].Name = difNames[i];
    files[i].HasNOR = i == 0;
    files[i].Apply = i == 0;
    files[i].HasReversal = i == 1;
    files[i].Undo = i == 1;
    files[i].HasTFS = i == 2;
    files[i].TakeTFS = i == 2;
    files[i].Comment = brantle::PlainTextToRtf(std::string("Comment of ") + difNames[i]);
  }
  info.Show(files);
  info.show();
  Save(info, folder, "dialog-dif-information");

  brantle::TKTZDCF model;
  brantle::gui::CreateDifDialog create(frame, model, &w);
  model.Shown();
  create.Refresh();
  create.show();
  Save(create, folder, "dialog-create-dif");

  brantle::gui::TTFSSelector selector(frame, &w);
  selector.show();
  Save(selector, folder, "dialog-tfs-files");

  // The manager lists the home folder: a technician's, not that of whoever renders.
  QTemporaryDir home;
  QDir(home.path()).mkpath("backups");
  QDir(home.path()).mkpath("firmware");
  for (const auto& [name, size] : {std::pair{"E800-full.bin", 16 << 20},
                                   std::pair{"E800-undo.dif", 41237}}) {
    QFile file(home.filePath(name));
    if (file.open(QIODevice::WriteOnly)) file.resize(size);
  }
  const QByteArray ownHome = qgetenv("HOME");
  qputenv("HOME", home.path().toLocal8Bit());
  brantle::gui::TSTFM manager("E800", &w);
  qputenv("HOME", ownHome);
  manager.show();
  Save(manager, folder, "dialog-tfs-manager");
  manager.hide();

  // The two pages with the most captions, in every other language.
  const QString translated = folder + "/languages";
  brantle::Languages& all = brantle::CurrentLanguages();
  if (all.Count() > 1) QDir().mkpath(translated);
  pages->setCurrentIndex(0);
  w.findChild<QListWidget*>("L_Flashing")->setCurrentRow(0);
  for (size_t i = 1; i < all.Count(); ++i) {
    all.Select(i, w.settings());
    w.ApplyLanguage();
    const QString code = QString::fromStdString(all.Record(i).Code).toLower();
    for (const auto& [page, name] : {std::pair{0, "flashing"}, std::pair{5, "settings"}}) {
      pages->setCurrentIndex(page);
      Save(w, translated, code + "-" + name);
    }
  }
  return 0;
}
