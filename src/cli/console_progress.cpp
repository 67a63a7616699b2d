#include "console_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "lang/lang_get.h"

namespace brantle::cli {

ConsoleProgress::ConsoleProgress() : tty_(isatty(STDERR_FILENO) == 1) {}

void ConsoleProgress::Start(uint64_t max, bool resetOnZero) {
  Settle();
  status_.clear();
  max_ = max;
  resetOnZero_ = resetOnZero;
  position_ = peak_ = 0;
  Draw(true);
}

void ConsoleProgress::Step(int32_t delta) {
  if (delta == 0) {
    if (resetOnZero_) position_ = 0;
  } else {
    position_ = std::max<int64_t>(0, position_ + delta);
  }
  peak_ = std::max(peak_, position_);
  Draw(false);
}

void ConsoleProgress::SetPosition(int64_t position) {
  position_ = std::max<int64_t>(0, position);
  peak_ = std::max(peak_, position_);
  Draw(false);
}

void ConsoleProgress::Status(const std::string& text) {
  status_ = text;
  Draw(false);
}

void ConsoleProgress::Eta(const std::string& text) {
  eta_ = text;
  Draw(false);
}

void ConsoleProgress::Finish() {
  Settle();
}

// A phase's last state stays on the screen or in the log: the bar as far as it got
// (the window's bar drops back to 0 when the operation ends), the status line with
// its final count.
void ConsoleProgress::Settle() {
  if (!tty_) {
    if (!Line().empty() && Line() != logged_) Log();
    return;
  }
  if (!drawn_) return;
  position_ = peak_;
  DrawBar();
  std::fputs("\n", stderr);
  drawn_ = false;
}

// The status with the count the bar reached. The frame writes the bar's count into
// the engine's status ("Reading at 030000, 196608 of 262144 bytes done") when the
// engine reports its text, and the engine's last step comes without one; a status
// ending in ":" names the bar it stands beside ("Processing BIN part of DIF file:").
std::string ConsoleProgress::Line() const {
  if (max_ == 0) return status_;
  const std::string count = std::to_string(peak_) + " " + LangGet("Status_Of") + " " +
                            std::to_string(max_) + " " + LangGet("Status_Bytes");
  if (!status_.empty() && status_.back() == ':') return status_ + " " + count;
  const std::string tail =
      " " + LangGet("Status_Of") + " " + std::to_string(max_) + " " + LangGet("Status_Bytes");
  const size_t comma = status_.rfind(", ");
  if (comma == std::string::npos || status_.size() < tail.size() ||
      status_.compare(status_.size() - tail.size(), tail.size(), tail) != 0)
    return status_;
  return status_.substr(0, comma + 2) + count;
}

void ConsoleProgress::Log() {
  logged_ = Line();
  lastDraw_ = std::chrono::steady_clock::now();
  std::fprintf(stderr, "%s\n", logged_.c_str());
}

void ConsoleProgress::Draw(bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!tty_) {
    // A log gets the status as plain lines, one every few seconds at most.
    if (Line().empty() || Line() == logged_ || now - lastDraw_ < std::chrono::seconds(2)) return;
    Log();
    return;
  }
  // A range of 0 is the window's empty bar between phases: nothing to show.
  if (max_ == 0 || (!force && now - lastDraw_ < std::chrono::milliseconds(100))) return;
  lastDraw_ = now;
  DrawBar();
}

void ConsoleProgress::DrawBar() {
  constexpr int kWidth = 30;
  const double part = max_ ? std::min(1.0, double(position_) / double(max_)) : 0.0;
  const int filled = static_cast<int>(part * kWidth);
  std::string bar(filled, '#');
  bar.resize(kWidth, '.');
  std::fprintf(stderr, "\r[%s] %3d%% %s  %-50.50s", bar.c_str(), static_cast<int>(part * 100),
               eta_.c_str(), Line().c_str());
  std::fflush(stderr);
  drawn_ = true;
}

}  // namespace brantle::cli
