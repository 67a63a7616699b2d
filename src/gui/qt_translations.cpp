#include "qt_translations.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>

namespace brantle::gui {

QtTranslations::QtTranslations()
    : before_(QLocale()), beforeDirection_(QGuiApplication::layoutDirection()) {}

QtTranslations::~QtTranslations() {
  Remove();
  QLocale::setDefault(before_);
  QGuiApplication::setLayoutDirection(beforeDirection_);
}

void QtTranslations::Remove() {
  if (!translator_) return;
  QCoreApplication::removeTranslator(translator_.get());
  translator_.reset();
}

void QtTranslations::Apply(const std::string& locale) {
  Remove();
  QLocale shown(QString::fromStdString(locale));
  if (shown.language() == QLocale::C) shown = QLocale(QLocale::English);
  QLocale::setDefault(shown);
  // Arabic lays the window out right to left.
  QGuiApplication::setLayoutDirection(shown.textDirection());
  if (shown.language() == QLocale::English) return;
  // Tries "qtbase_pt_BR", then "qtbase_pt", as the locale's languages say.
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(shown, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return;
  QCoreApplication::installTranslator(translator.get());
  translator_ = std::move(translator);
}

}  // namespace brantle::gui
