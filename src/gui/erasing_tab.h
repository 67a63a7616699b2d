#pragma once
// The Erasing tab: a NOR region erased, with an undo DIF of what was there if asked.

#include <QWidget>

#include "window_context.h"

class QPushButton;

namespace brantle::gui {

class RegionBox;
class UndoRow;

class ErasingTab : public QWidget {
  Q_OBJECT
 public:
  explicit ErasingTab(WindowContext& context);
  void Render(const WindowState& state);

 private:
  void Presets();

  WindowContext& context_;
  RegionBox* region_;
  UndoRow* undo_;
  QPushButton* eraseDo_;
  bool eraseReady_ = false;  // the region allows the erase
  std::string actionKey_ = "Win_Erase_Firmware";
};

}  // namespace brantle::gui
