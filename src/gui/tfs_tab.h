#pragma once
// The TFS Operations tab: a TFS/CFG file pair flashed into the phone's file system,
// and the pages that point to the Developer page's file-system buttons and to the
// file manager's developer button.

#include <QWidget>

#include "operations/tfs_workflows.h"
#include "window_context.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace brantle::gui {

class PathEntry;

class TfsTab : public QWidget {
  Q_OBJECT
 public:
  explicit TfsTab(WindowContext& context);
  void Refresh();
  // "Flash files...": a pair chosen, and a phone with a file system to take it.
  void Render(const WindowState& state);

 private:
  void ShowManagerText();

  WindowContext& context_;
  TfsPairChoice pair_;
  PathEntry* tfs_;
  QLineEdit* cfg_;
  QPushButton* flashDo_;
  QLabel* manager_ = nullptr;
  bool developerButtons_ = false;
};

}  // namespace brantle::gui
