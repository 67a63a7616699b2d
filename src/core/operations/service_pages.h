#pragma once
// The window's pages that explain where a command is: what each shows for the phone
// family chosen and the developer mode, so that a page never sends the person to a
// control the window does not show.

#include <string>

#include "ui/window_state.h"

namespace brantle {

// The Developer tab's service pages: DIF files, the S500's 2BIN+2OGM files, the
// OptiFlash S3 files, and the phone's file system.
enum class ServicePage { Dif, S500, Opti, Tfs };

// The page's text: what it is for.
const char* ServicePageTextKey(ServicePage page);

// Whether the page offers its buttons; where not, it says that they are not available
// for this phone type. The DIF service works for every family; the others for the
// family whose panel the window shows (panel).
bool ServiceButtonsShown(ServicePage page, FamilyPanel panel);

// The "Manage TFS via TFS File Manager" page: the developer button that opens the
// manager where the window shows it, otherwise how to turn developer mode on in
// settingsFile.
std::string TfsManagerText(bool developerButtonsShown, const std::string& settingsFile);

}  // namespace brantle
