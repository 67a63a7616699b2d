#pragma once
// The demo loader set the virtual phone's users write: made by the core, which also
// makes it for a --simulate run without real loaders.

#include "engine/demo_loaders.h"

namespace brantle::sim {

using brantle::WriteDemoLoaders;

}  // namespace brantle::sim
