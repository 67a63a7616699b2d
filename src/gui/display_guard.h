#pragma once
// Without a display Qt ends the program with an abort (exit status 134) after a page
// of messages about platform plugins. While the guard is held, that ending is
// replaced by one line saying how to run the window without a desktop, and exit
// status 1.

namespace brantle::gui {

class DisplayGuard {
 public:
  DisplayGuard();
  ~DisplayGuard();
  DisplayGuard(const DisplayGuard&) = delete;
  DisplayGuard& operator=(const DisplayGuard&) = delete;

  // The application has its display: Qt's messages go their own way again.
  void Release();

 private:
  bool held_ = true;
};

// The line told when no display can be opened.
const char* NoDisplayText();

}  // namespace brantle::gui
