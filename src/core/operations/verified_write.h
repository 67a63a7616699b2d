#pragma once
// Writing a stretch of NOR with an optional check: read it back, compare it with what
// was meant to be there, write it once more after a first mismatch, and give up
// after a second one, naming the first differing byte. Used for programmed sectors
// and pieces and for erased sectors alike.

#include <cstdint>
#include <functional>
#include <string>

#include "operations/operation_frame.h"
#include "operations/operation_tally.h"
#include "settings/settings.h"

namespace brantle {

// What the settings ask of every write into the phone's NOR.
struct WriteChecks {
  bool Verify = false;         // read back and compare what was written
  bool SkipUnchanged = false;  // leave out what was read and already holds the new bytes
  static WriteChecks FromSettings(const Settings& settings) {
    return {settings.VerifyWrites(), settings.SkipUnchanged()};
  }
};

// The detail of an error box after a second mismatch. No language key holds these
// texts yet; the English text stands for all.
std::string VerifyFailedText(uint32_t address, uint8_t expected, uint8_t found);
// The status line while unchanged sectors or pieces are left out.
std::string SkippedText(int count);

// The first index where a and b differ, or n when they agree.
size_t FirstDifference(const uint8_t* a, const uint8_t* b, size_t n);

// Runs write() for the n bytes meant for address; with verify, reads them back
// with read() and compares them with wanted, running write() once more after a
// first mismatch. Both are expected to step the bar by n; a rewrite takes its first
// try off again. Each write and read the phone confirmed is added to written and
// readBack. False after an engine error or a second mismatch, shown with prefix (the
// window is left as it is).
bool WriteVerified(Ui& ui, const std::string& prefix, bool verify, uint32_t address,
                   const uint8_t* wanted, uint32_t n, const std::function<int()>& write,
                   const std::function<int(uint8_t*)>& read, NorStretches& written,
                   NorStretches& readBack);

}  // namespace brantle
