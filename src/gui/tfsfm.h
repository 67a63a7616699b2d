#pragma once
// The TFS file manager: two panes, each with a place selector (the phone, then this
// computer's home folder, root and mounted drives) and the name/size list of the
// place chosen. It shows; it offers no file operations. It opens centred on the window
// that opened it.

#include <QWidget>
#include <string>

#include "captions.h"

class QComboBox;
class QTreeWidget;

namespace brantle::gui {

class TSTFM : public QWidget {
  Q_OBJECT
 public:
  TSTFM(const std::string& family, QWidget* parent);
  QComboBox* Places(int pane) const { return places_[pane]; }
  QTreeWidget* List(int pane) const { return lists_[pane]; }

 private:
  void Show(int pane);

  Captions captions_;
  QComboBox* places_[2];
  QTreeWidget* lists_[2];
};

}  // namespace brantle::gui
