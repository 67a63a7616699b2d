// The Settings page and the language: what a close writes, and every caption in
// the chosen language.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <filesystem>
#include <fstream>
#include <set>

#include "gui_test_registry.h"
#include "lang/lang_table.h"
#include "lang/languages.h"
#include "lang/window_texts.h"
#include "window_rig.h"

namespace brantle::test {

class WindowSettingsTest : public QObject {
  Q_OBJECT
 private slots:
  void ACloseWritesTheChangedPortSpeedFamilyAndLanguage();
  void NoEnglishTextLeftInAnotherLanguageAndBack();
  void cleanup();
};

namespace {

// Picks an entry of a selector as a person does.
void Choose(QComboBox* selector, int index) {
  selector->setCurrentIndex(index);
  emit selector->activated(index);
}

// A language whose every text differs from English.
void WriteForeignLanguage(const std::string& folder) {
  std::ofstream file(folder + "/foreign.lng");
  file << "[XX]\n";
  for (const LangEntry& e : kEnglishTable)
    file << e.Key << "=" << (std::string(e.Key) == "Locale" ? "Foreign" : "~" + std::string(e.Key))
         << "\n";
  for (const LangEntry& e : kWindowTexts) file << e.Key << "=~" << e.Key << "\n";
}

std::set<QString> EnglishTexts() {
  std::set<QString> texts;
  for (const LangEntry& e : kEnglishTable) texts.insert(QString(e.Text).replace('|', '\n'));
  for (const LangEntry& e : kWindowTexts) texts.insert(QString(e.Text).replace('|', '\n'));
  return texts;
}

// Every text a person can see in the window now.
QStringList VisibleTexts(QWidget* window) {
  QStringList texts;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) texts << g->title();
    if (auto* t = qobject_cast<QTabWidget*>(w))
      for (int i = 0; i < t->count(); ++i) texts << t->tabText(i);
    if (auto* list = qobject_cast<QListWidget*>(w))
      for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
      for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
  }
  texts << window->windowTitle();
  return texts;
}

}  // namespace

void WindowSettingsTest::cleanup() {
  CurrentLanguages().Load();
}

void WindowSettingsTest::ACloseWritesTheChangedPortSpeedFamilyAndLanguage() {
  WindowRig rig("E800");
  const std::string languages = rig.dir.File("language");
  std::filesystem::create_directory(languages);
  WriteForeignLanguage(languages);
  CurrentLanguages().Load(languages);
  QVERIFY(rig.StartWithoutPhone());
  QVERIFY(rig.ChoosePhonePort());
  Choose(rig.Find<QComboBox>("COMSpeed"), 9);  // 806400
  Choose(rig.Find<QComboBox>("PType"), 2);     // E330
  QCOMPARE(rig.window->Frame().Family().Family, std::string("E330"));
  auto* language = rig.Find<QComboBox>("LangSel");
  QCOMPARE(language->count(), 2);
  Choose(language, 1);
  QCOMPARE(language->currentText(), QString("[XX] Foreign"));
  auto* verify = rig.Find<QCheckBox>("C_VerifyWrites");
  auto* skip = rig.Find<QCheckBox>("C_SkipUnchanged");
  QVERIFY(!verify->isChecked() && !skip->isChecked());
  verify->click();
  skip->click();
  skip->click();
  QVERIFY(rig.window->Frame().settings().VerifyWrites());
  QVERIFY(!rig.window->Frame().settings().SkipUnchanged());
  QVERIFY(rig.window->close());
  const std::string ini = ReadFile(rig.SettingsPath());
  for (const std::string& line :
       {"ComPort=" + rig.phone->PortPath(), std::string("ComSpeed=806400"),
        std::string("PhoneType=E330"), std::string("Locale=XX"), std::string("Verify_Writes=1"),
        std::string("Skip_Unchanged=0")})
    QVERIFY2(ini.find(line) != std::string::npos, (line + " in\n" + ini).c_str());
}

void WindowSettingsTest::NoEnglishTextLeftInAnotherLanguageAndBack() {
  WindowRig rig("E700");
  const std::string languages = rig.dir.File("language");
  std::filesystem::create_directory(languages);
  WriteForeignLanguage(languages);
  CurrentLanguages().Load(languages);
  QVERIFY(rig.Start());
  QVERIFY(rig.WaitConnected());
  const std::set<QString> english = EnglishTexts();
  auto* pages = rig.Find<QTabWidget>("Pages");
  auto* family = rig.Find<QComboBox>("PType");
  const int familyIndex = family->currentIndex();

  // The connected window, then each page in turn, in the foreign language.
  rig.window->Driver().Disconnect(false);
  Choose(rig.Find<QComboBox>("LangSel"), 1);
  QCOMPARE(family->currentIndex(), familyIndex);  // selectors keep their selection
  int views = 0;
  for (int tab = 0; tab < pages->count(); ++tab) {
    pages->setCurrentIndex(tab);
    QListWidget* subPages = pages->widget(tab)->findChild<QListWidget*>();
    for (int row = 0; row < (subPages ? subPages->count() : 1); ++row, ++views) {
      if (subPages) subPages->setCurrentRow(row);
      for (const QString& text : VisibleTexts(rig.window.get()))
        QVERIFY2(!english.count(text), qPrintable("still English: " + text));
    }
  }
  QCOMPARE(views, 7 + 2 + 1 + 4 + 4 + 1 + 1);  // every page and sub-page
  QCOMPARE(rig.Find<QAbstractButton>("B_FlashBIN_Do")->text(), QString("~SBtn_Flash_BIN"));

  Choose(rig.Find<QComboBox>("LangSel"), 0);
  QCOMPARE(rig.Find<QAbstractButton>("B_FlashBIN_Do")->text(), QString("Flash firmware..."));
  QCOMPARE(pages->tabText(0), QString("Flashing"));
  QCOMPARE(rig.Find<QLabel>("PhoneStatus")->text(), QString("Disconnected"));
  QCOMPARE(family->currentIndex(), familyIndex);
}

BRANTLE_GUI_TEST(WindowSettingsTest)

}  // namespace brantle::test

#include "window_settings_test.moc"
