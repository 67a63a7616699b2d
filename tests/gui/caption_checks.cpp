#include "caption_checks.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace brantle::test {
namespace {

// A button or a label that shows less than its text needs is cut short.
void CheckControls(QWidget* area, const QString& where) {
  for (auto* button : area->findChildren<QAbstractButton*>()) {
    if (!button->isVisible() || button->text().isEmpty()) continue;
    QVERIFY2(button->width() >= button->sizeHint().width(),
             qPrintable(where + " " + button->objectName() + ": " + button->text()));
  }
  for (auto* label : area->findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty() || label->wordWrap()) continue;
    QVERIFY2(label->width() >= label->sizeHint().width(),
             qPrintable(where + " " + label->objectName() + ": " + label->text()));
  }
}

void CheckList(QListWidget* list, const QString& where) {
  const QFontMetrics font(list->font());
  // The text margins of an item, as the item's painter leaves them.
  const int margins =
      2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
  for (int row = 0; row < list->count(); ++row) {
    const QListWidgetItem* item = list->item(row);
    const QString what = where + " " + list->objectName() + ": " + item->text();
    QVERIFY2(font.horizontalAdvance(item->text()) + margins <= list->viewport()->width(),
             qPrintable(what));
    QVERIFY2(list->visualItemRect(item).bottom() < list->viewport()->height(), qPrintable(what));
  }
}

}  // namespace

void Settle(QWidget* window) {
  QCoreApplication::processEvents();
  window->layout()->activate();
  QCoreApplication::processEvents();
}

void CheckCaptionsWhole(WindowRig& rig, const QString& language) {
  auto* pages = rig.Find<QTabWidget>("Pages");
  QTabBar* bar = pages->tabBar();
  const QFontMetrics tabFont(bar->font());
  for (int i = 0; i < bar->count(); ++i) {
    const QRect tab = bar->tabRect(i);
    QVERIFY2(tab.right() < bar->width() && tab.width() > tabFont.horizontalAdvance(bar->tabText(i)),
             qPrintable(language + " tab: " + bar->tabText(i)));
  }
  int lists = 0;
  for (int tab = 0; tab < pages->count(); ++tab) {
    pages->setCurrentIndex(tab);
    Settle(rig.window.get());
    QWidget* page = pages->widget(tab);
    auto* list = page->findChild<QListWidget*>();
    if (!list) {
      CheckControls(page, language + " " + pages->tabText(tab));
      if (QTest::currentTestFailed()) return;
      continue;
    }
    ++lists;
    CheckList(list, language);
    if (QTest::currentTestFailed()) return;
    // Every sub-page of the list, shown in turn.
    for (int row = 0; row < list->count(); ++row) {
      list->setCurrentRow(row);
      Settle(rig.window.get());
      CheckControls(page, language + " " + list->item(row)->text());
      if (QTest::currentTestFailed()) return;
    }
  }
  QCOMPARE(lists, 4);  // Flashing, Dumping, TFS Operations, Developer
  CheckControls(rig.Find<QWidget>("P_Status"), language + " status area");
}

}  // namespace brantle::test
