#pragma once
// The translations of the source tree's language folder for a window test: copied
// into the rig's own language folder (loading completes files in place, which must
// never touch the sources) and loaded as the program loads them.

#include <string>

#include "window_rig.h"

namespace brantle::test {

// Loads the shipped languages for the rig; false when the sources have none.
bool LoadShippedLanguages(WindowRig& rig);

// The language selector's entry of a language code ("DE"), or -1.
int LanguageEntry(const std::string& code);

// Back to the built-in English alone, for the tests that follow.
void UnloadLanguages();

}  // namespace brantle::test
