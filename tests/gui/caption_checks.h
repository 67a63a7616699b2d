#pragma once
// Whether every caption of the window shows whole where it stands: tab captions,
// the sub-page lists' entries, and the buttons, check boxes and labels of every page
// and of the status area. A failure names the language, the control and its text.

#include <QString>

#include "window_rig.h"

namespace brantle::test {

// Lays the window out as it is shown now (after a resize or a language change).
void Settle(QWidget* window);

// Shows each tab page in turn and checks its captions, then the status area's.
void CheckCaptionsWhole(WindowRig& rig, const QString& language);

}  // namespace brantle::test
