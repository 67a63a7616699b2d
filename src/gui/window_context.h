#pragma once
// What every tab page of the main window works with: the operation frame and the
// connect driver of the core, the captions, and the one way to run an operation.

#include <functional>

#include "captions.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"

namespace brantle::gui {

struct WindowContext {
  OperationFrame& frame;
  ConnectDriver& driver;
  Captions& captions;
  // Runs a button's handler unless an operation runs already; afterwards the window
  // refreshes what the handler changed and honours a close asked for meanwhile.
  std::function<void(const std::function<void()>&)> run;
};

}  // namespace brantle::gui
