#pragma once
// A tab's sub-pages: a list of their captions on the left, the page chosen on the
// right. The list is as wide and as tall as its captions in the shown language, so
// none is cut short and no scroll bar hides one.

#include <QWidget>

class QListWidget;
class QStackedWidget;

namespace brantle::gui {

class Captions;

class SubPages : public QWidget {
  Q_OBJECT
 public:
  // listName: the list's object name, e.g. "L_Flashing".
  SubPages(QWidget* parent, const char* listName, Captions& captions);
  void Add(QWidget* page, const char* key);
  // Shows the first page; call after the last Add.
  void Start();

 signals:
  void shown(int row);

 private:
  // Sizes the list to its captions; runs again after every change of language.
  void FitList();

  Captions& captions_;
  QListWidget* list_;
  QStackedWidget* stack_;
};

}  // namespace brantle::gui
