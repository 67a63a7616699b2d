#pragma once
// Progress bar, time left and status line on a terminal (stderr). When stderr is
// not a terminal the status goes out as plain lines, a few seconds apart, and the
// last state of each phase after it.

#include <chrono>
#include <cstdint>
#include <string>

namespace brantle::cli {

class ConsoleProgress {
 public:
  ConsoleProgress();
  // A new bar from 0 to max. With resetOnZero a delta of 0 starts the bar over
  // (the loaders); otherwise it is ignored (sector operations).
  void Start(uint64_t max, bool resetOnZero);
  void Step(int32_t delta);
  void SetPosition(int64_t position);
  void Status(const std::string& text);
  void Eta(const std::string& text);  // "ETA: hh:mm:ss"
  void Finish();                      // ends the line

 private:
  void Settle();
  std::string Line() const;
  void Log();
  void Draw(bool force);
  void DrawBar();

  bool tty_;
  bool resetOnZero_ = false;
  bool drawn_ = false;
  int64_t position_ = 0;
  int64_t peak_ = 0;  // the furthest the bar got in this phase
  uint64_t max_ = 0;
  std::string status_;
  std::string eta_ = "ETA: 00:00:00";
  std::string logged_;  // the last plain line written
  std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace brantle::cli
