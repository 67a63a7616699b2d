#include "erasing_tab.h"

#include <QGridLayout>

#include "operations/erase_workflow.h"
#include "page_parts.h"
#include "region_box.h"

namespace brantle::gui {

ErasingTab::ErasingTab(WindowContext& context) : context_(context) {
  setObjectName("P_Erase");
  auto* grid = new QGridLayout(this);
  grid->setColumnStretch(0, 1);
  grid->addWidget(Label(this, "L_Erase_Mode", "Win_Erase_Mode", context.captions), 0, 0, 1, 3);
  region_ = new RegionBox(this, grid, 1, RegionTab::Erasing, "Erase", context);
  undo_ = new UndoRow(this, grid, 2, "Erase", context, "Win_Create_Undo_Erasing");
  grid->setRowStretch(3, 1);
  eraseDo_ = new QPushButton(this);
  eraseDo_->setObjectName("B_Erase_Do");
  context.captions.Add([this] { eraseDo_->setText(Tr(actionKey_)); });
  grid->addWidget(eraseDo_, 4, 1, 1, 2);
  connect(region_, &RegionBox::touched, this, [this] { Presets(); });
  connect(eraseDo_, &QPushButton::clicked, this, [this] {
    Presets();
    context_.run([this] {
      const FlashUndoChoice& undo = undo_->Choice();
      EraseNor(context_.frame, context_.driver, region_->StartText(), region_->EndText(), undo.Make,
               undo.Params);
    });
  });
  Presets();
}

void ErasingTab::Presets() {
  const RegionState state = ComputeRegionPreset(region_->Controls(), context_.frame.Areas());
  region_->Show(state);
  actionKey_ = RegionCaptionKey(state.Caption);
  eraseDo_->setText(Tr(actionKey_));
  eraseReady_ = state.ActionEnabled;
  eraseDo_->setEnabled(context_.frame.State().PhoneCommand(eraseReady_));
}

void ErasingTab::Render(const WindowState& state) {
  if (region_->SetFamily(context_.frame.Family().Family)) Presets();
  eraseDo_->setEnabled(state.PhoneCommand(eraseReady_));
}

}  // namespace brantle::gui
