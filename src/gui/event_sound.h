#pragma once
// The desktop's event sound of a message kind, played where a sound service runs and
// silently skipped where none does.

#include "ui/ui.h"

namespace brantle::gui {

void PlayEventSound(MessageKind kind);

}  // namespace brantle::gui
