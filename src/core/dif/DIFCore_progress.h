#pragma once
// Progress for the DIF routines: they advance the bar in steps of a fixed size and
// let the window process messages at each step, so Cancel and repaint stay live
// without paying for a Ui call per byte. A null Ui makes them silent.

#include <cstdint>

#include "ui/ui.h"

namespace brantle::dif_detail {

class ProgressSteps {
 public:
  ProgressSteps(Ui* ui, int64_t step) : ui_(ui), step_(step) {}

  // Counts n more units done; reports every full step.
  void Add(int64_t n) {
    pending_ += n;
    while (pending_ >= step_) {
      pending_ -= step_;
      if (ui_) {
        ui_->StepProgress(step_);
        ui_->PumpMessages();
      }
    }
  }
  // Reports what is left below one step, without yielding.
  void Flush() {
    if (ui_ && pending_ > 0) ui_->StepProgress(pending_);
    pending_ = 0;
  }
  // Advances by n at once and yields.
  void Jump(int64_t n) {
    if (!ui_) return;
    ui_->StepProgress(n);
    ui_->PumpMessages();
  }

 private:
  Ui* ui_;
  int64_t step_;
  int64_t pending_ = 0;
};

}  // namespace brantle::dif_detail
