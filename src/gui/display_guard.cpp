#include "display_guard.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>

namespace brantle::gui {
namespace {

// Qt's platform messages while the display is looked for: warnings are held back
// (they are followed by the fatal one when no display opens, and by nothing when
// one does), the fatal one becomes our line.
void OnStartMessage(QtMsgType type, const QMessageLogContext&, const QString&) {
  if (type != QtFatalMsg) return;
  std::fputs(NoDisplayText(), stderr);
  std::_Exit(1);
}

}  // namespace

const char* NoDisplayText() {
  return "brantle: no display to open the window on. Run it in a desktop session, under a "
         "virtual X server (xvfb-run brantle ...), or on Qt's offscreen platform "
         "(QT_QPA_PLATFORM=offscreen brantle ...).\n";
}

DisplayGuard::DisplayGuard() {
  qInstallMessageHandler(OnStartMessage);
}

DisplayGuard::~DisplayGuard() {
  Release();
}

void DisplayGuard::Release() {
  if (!held_) return;
  held_ = false;
  qInstallMessageHandler(nullptr);
}

}  // namespace brantle::gui
