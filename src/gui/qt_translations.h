#pragma once
// Qt's own texts (the standard buttons of message boxes, the file dialog) and its
// number and date formats in the shown language: Qt's translation for the locale the
// language names, from Qt's translations folder (Debian: qt6-translations-l10n).

#include <QLocale>
#include <QTranslator>
#include <memory>
#include <string>

namespace brantle::gui {

class QtTranslations {
 public:
  QtTranslations();
  // Takes the translation away and puts the default locale back.
  ~QtTranslations();
  QtTranslations(const QtTranslations&) = delete;
  QtTranslations& operator=(const QtTranslations&) = delete;

  // Replaces the translation installed before with Qt's for locale ("de"; "pt_BR",
  // else "pt"). English, and a locale Qt has no translation for, leave Qt's English.
  void Apply(const std::string& locale);
  // Whether a translation is installed now.
  bool Installed() const { return translator_ != nullptr; }

 private:
  void Remove();

  QLocale before_;
  Qt::LayoutDirection beforeDirection_;
  std::unique_ptr<QTranslator> translator_;
};

}  // namespace brantle::gui
