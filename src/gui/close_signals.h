#pragma once
// SIGTERM, SIGINT and SIGHUP ask the window to close as its close button does, so
// that a logout or a Ctrl+C in the starting terminal ends the phone connection and
// keeps the settings. The handler only writes to a pipe; the window reads it on its
// own thread.

class QObject;

namespace brantle::gui {

class TKTZF;

void CloseOnSignals(TKTZF& window);

}  // namespace brantle::gui
