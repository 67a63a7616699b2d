#pragma once
// Progress bar and status line on a terminal (stderr). Silent when stderr is not
// a terminal, so scripts get clean output.

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
  void Finish();  // ends the line

 private:
  void Draw(bool force);

  bool tty_;
  bool resetOnZero_ = false;
  bool drawn_ = false;
  int64_t position_ = 0;
  uint64_t max_ = 0;
  std::string status_;
  std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace brantle::cli
