#pragma once
// The four mode buttons and the start and end fields that the Dumping and Erasing
// tabs share; the region presets decide what the fields and the action button show.

#include <QObject>

#include "formats/nor_regions.h"
#include "window_context.h"

class QComboBox;
class QGridLayout;
class QRadioButton;
class QWidget;

namespace brantle::gui {

class RegionBox : public QObject {
  Q_OBJECT
 public:
  // prefix names the controls: R_<prefix>_FWOnly ..., S_<prefix>_Start, S_<prefix>_End.
  RegionBox(QWidget* page, QGridLayout* grid, int row, RegionTab tab, const std::string& prefix,
            WindowContext& context);
  RegionMode Mode() const;
  std::string StartText() const;
  std::string EndText() const;
  // The controls as the presets see them (the Dumping tab adds its file type).
  RegionControls Controls() const;
  // Writes the fields and enables them as the presets computed; their lists offer
  // the family's area starts and ends.
  void Show(const RegionState& state);
  // The mode captions follow the family. True when it changed: another family has
  // other areas, so the presets must run again.
  bool SetFamily(const std::string& family);

 signals:
  // A mode button was clicked or a field left: the presets must run.
  void touched();

 private:
  const OperationFrame& frame_;
  RegionTab tab_;
  QRadioButton* modes_[4];
  QComboBox* start_;
  QComboBox* end_;
  std::string family_;
};

}  // namespace brantle::gui
