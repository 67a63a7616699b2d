#pragma once
// Every text the window shows comes from a language key. A control registers its
// key here once; Retranslate writes all texts again after the language changed, and
// selectors keep their selection.

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "lang/lang_get.h"

class QComboBox;
class QTabWidget;
class QWidget;
class QListWidget;

namespace brantle::gui {

// The key's text in the shown language; "|" in a text starts a new line.
QString Tr(const std::string& key);

class Captions {
 public:
  // Any control with setText: buttons, labels, check boxes, group boxes (setTitle
  // through Title).
  template <typename Control>
  void Text(Control* control, std::string key) {
    Add([control, key] { control->setText(Tr(key)); });
  }
  template <typename Control>
  void Title(Control* control, std::string key) {
    Add([control, key] { control->setTitle(Tr(key)); });
  }
  void Tip(QWidget* control, std::string key);
  void Tab(QTabWidget* tabs, int index, std::string key);
  void Row(QListWidget* list, int row, std::string key);
  // A selector whose items are keys.
  void Items(QComboBox* selector, std::vector<std::string> keys);
  // Anything else that depends on the language.
  void Add(std::function<void()> retranslate);

  void Retranslate();

 private:
  std::vector<std::function<void()>> entries_;
};

}  // namespace brantle::gui
