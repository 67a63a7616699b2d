#include "region_box.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

#include "operations/offset_choices.h"
#include "operations/operation_frame.h"
#include "page_parts.h"

namespace brantle::gui {
namespace {

const RegionMode kModes[4] = {RegionMode::FirmwareOnly, RegionMode::FullDump,
                              RegionMode::EepromOnly, RegionMode::Advanced};
const char* const kModeNames[4] = {"FWOnly", "Full", "EPOnly", "Advanced"};

}  // namespace

RegionBox::RegionBox(QWidget* page, QGridLayout* grid, int row, RegionTab tab,
                     const std::string& prefix, WindowContext& context)
    : QObject(page), frame_(context.frame), tab_(tab) {
  auto* group = new QButtonGroup(this);
  auto* modes = new QGridLayout;
  for (int i = 0; i < 4; ++i) {
    modes_[i] = new QRadioButton(page);
    modes_[i]->setObjectName(QString::fromStdString("R_" + prefix + "_" + kModeNames[i]));
    group->addButton(modes_[i], i);
    modes->addWidget(modes_[i], i / 2, i % 2);
    context.captions.Add(
        [this, i] { modes_[i]->setText(Tr(RegionModeKey(tab_, kModes[i], family_))); });
  }
  modes_[0]->setChecked(true);
  start_ = HexField(page, ("S_" + prefix + "_Start").c_str());
  end_ = HexField(page, ("S_" + prefix + "_End").c_str());
  modes->addWidget(
      Label(page, ("L_" + prefix + "_Start").c_str(), "SLbl_Start_Offset", context.captions), 2, 0);
  modes->addWidget(start_, 2, 1);
  modes->addWidget(
      Label(page, ("L_" + prefix + "_End").c_str(), "SLbl_End_Offset", context.captions), 3, 0);
  modes->addWidget(end_, 3, 1);
  grid->addLayout(modes, row, 0, 1, 3);
  connect(group, &QButtonGroup::idClicked, this, [this] { emit touched(); });
  for (QComboBox* f : {start_, end_}) OnFieldDone(f, [this] { emit touched(); });
}

RegionMode RegionBox::Mode() const {
  for (int i = 0; i < 4; ++i)
    if (modes_[i]->isChecked()) return kModes[i];
  return RegionMode::FirmwareOnly;
}

std::string RegionBox::StartText() const {
  return start_->currentText().toStdString();
}

std::string RegionBox::EndText() const {
  return end_->currentText().toStdString();
}

RegionControls RegionBox::Controls() const {
  RegionControls c;
  c.Tab = tab_;
  c.Mode = Mode();
  c.TypedStart = FieldHexToInt(start_->currentText().trimmed().toStdString());
  c.TypedEnd = FieldHexToInt(end_->currentText().trimmed().toStdString());
  return c;
}

void RegionBox::Show(const RegionState& state) {
  SetChoices(start_, AreaStarts(frame_.Areas()));
  SetChoices(end_, AreaEnds(frame_.Areas()));
  start_->setEditText(QString::fromStdString(state.StartText));
  end_->setEditText(QString::fromStdString(state.EndText));
  start_->setEnabled(state.FieldsEnabled);
  end_->setEnabled(state.FieldsEnabled);
}

bool RegionBox::SetFamily(const std::string& family) {
  if (family == family_) return false;
  family_ = family;
  for (int i = 0; i < 4; ++i) modes_[i]->setText(Tr(RegionModeKey(tab_, kModes[i], family_)));
  return true;
}

}  // namespace brantle::gui
