#include "captions.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTabWidget>

namespace brantle::gui {

QString Tr(const std::string& key) {
  return QString::fromStdString(LangGet(key)).replace('|', '\n');
}

void Captions::Tip(QWidget* control, std::string key) {
  Add([control, key] { control->setToolTip(Tr(key)); });
}

void Captions::Tab(QTabWidget* tabs, int index, std::string key) {
  Add([tabs, index, key] { tabs->setTabText(index, Tr(key)); });
}

void Captions::Row(QListWidget* list, int row, std::string key) {
  Add([list, row, key] { list->item(row)->setText(Tr(key)); });
}

void Captions::Items(QComboBox* selector, std::vector<std::string> keys) {
  Add([selector, keys] {
    const QSignalBlocker quiet(selector);
    const int current = selector->currentIndex();
    for (size_t i = 0; i < keys.size(); ++i) {
      if (static_cast<int>(i) < selector->count())
        selector->setItemText(static_cast<int>(i), Tr(keys[i]));
      else
        selector->addItem(Tr(keys[i]));
    }
    selector->setCurrentIndex(current < 0 ? 0 : current);
  });
}

void Captions::Add(std::function<void()> retranslate) {
  retranslate();
  entries_.push_back(std::move(retranslate));
}

void Captions::Retranslate() {
  for (const auto& entry : entries_) entry();
}

}  // namespace brantle::gui
