#pragma once
// The operation frame without a phone: a recording Ui, a fake clock and settings in
// a temporary folder, for tests of the frame and of the workflows that only touch
// files.

#include "settings/settings.h"
#include "operations/operation_frame.h"
#include "support/fake_clock.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle::test {

struct FrameRig {
  FrameRig() : settings(dir.File("brntl.ini")), frame(ui, settings, clock) {}

  TempDir dir;
  RecordingUi ui;
  FakeClock clock;
  Settings settings;
  OperationFrame frame;
};

}  // namespace brantle::test
