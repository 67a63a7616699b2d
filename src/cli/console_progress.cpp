#include "console_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace brantle::cli {

ConsoleProgress::ConsoleProgress() : tty_(isatty(STDERR_FILENO) == 1) {}

void ConsoleProgress::Start(uint64_t max, bool resetOnZero) {
  max_ = max;
  resetOnZero_ = resetOnZero;
  position_ = 0;
  Draw(true);
}

void ConsoleProgress::Step(int32_t delta) {
  if (delta == 0) {
    if (resetOnZero_) position_ = 0;
  } else {
    position_ = std::max<int64_t>(0, position_ + delta);
  }
  Draw(false);
}

void ConsoleProgress::SetPosition(int64_t position) {
  position_ = std::max<int64_t>(0, position);
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
  if (tty_ && drawn_) std::fputs("\n", stderr);
  drawn_ = false;
}

void ConsoleProgress::Draw(bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!tty_) {
    // A log gets the status as plain lines, one every few seconds at most.
    if (status_.empty() || status_ == logged_ || now - lastDraw_ < std::chrono::seconds(2)) return;
    lastDraw_ = now;
    logged_ = status_;
    std::fprintf(stderr, "%s\n", status_.c_str());
    return;
  }
  if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  constexpr int kWidth = 30;
  const double part = max_ ? std::min(1.0, double(position_) / double(max_)) : 0.0;
  const int filled = static_cast<int>(part * kWidth);
  std::string bar(filled, '#');
  bar.resize(kWidth, '.');
  std::fprintf(stderr, "\r[%s] %3d%% %s  %-50.50s", bar.c_str(), static_cast<int>(part * 100),
               eta_.c_str(), status_.c_str());
  std::fflush(stderr);
  drawn_ = true;
}

}  // namespace brantle::cli
