#pragma once
// The Dumping tab: a NOR region into a BIN/CLA, S3 or DIF file, and the firmware
// into the four 2BIN+2OGM files.

#include <QWidget>

#include "operations/dump_workflow.h"
#include "window_context.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace brantle::gui {

class RegionBox;

class DumpingTab : public QWidget {
  Q_OBJECT
 public:
  explicit DumpingTab(WindowContext& context);
  void Render(const WindowState& state);
  void Refresh();

 private:
  QWidget* NorPage();
  QWidget* S500Page();
  DumpFileType FileType() const;
  void Presets();
  void FileTypeClicked();
  void ChooseTarget();

  WindowContext& context_;

  QLineEdit* target_;
  QRadioButton* types_[3];
  QPushButton* difOptions_;
  RegionBox* region_;
  QPushButton* dumpDo_;
  bool dumpReady_ = false;  // the region and target allow the dump
  std::string actionKey_ = "Win_Save_Firmware";
  UndoParameters difParams_;

  S500DumpTargets s500_;
  QLineEdit* s500Fields_[4];
  QPushButton* s500Do_;
};

}  // namespace brantle::gui
