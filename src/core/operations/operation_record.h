#pragma once
// What one operation leaves in the operation log: a line when it starts (what it is,
// the region or addresses, the files, and for work that writes the phone the checks
// in force), and one when it ends: completed, failed with the error shown, or
// cancelled; what the phone confirmed (read, written, erased, left out) and how long
// it took. A record lives for the whole operation; records opened inside another one
// (a dump inside an erase) add nothing of their own.

#include <chrono>
#include <string>

#include "operations/operation_frame.h"

namespace brantle {

enum class PhoneWrites { No, Yes };

class OperationRecord {
 public:
  // name: "dump", "flash BIN", ...; details: "NOR 0-FFFFF to /tmp/a.bin".
  OperationRecord(OperationFrame& frame, std::string name, const std::string& details,
                  PhoneWrites writes = PhoneWrites::No);
  ~OperationRecord();
  OperationRecord(const OperationRecord&) = delete;
  OperationRecord& operator=(const OperationRecord&) = delete;

 private:
  OperationFrame& frame_;
  std::string name_;
  bool outermost_;
  int errorsBefore_;
  std::chrono::steady_clock::time_point start_;
};

// "read 65536 bytes, wrote 131072 bytes, 2 sectors unchanged, EEPROM E00000-E0FFFF kept":
// what a tally says the phone did; empty when it did nothing.
std::string TallyText(const OperationTally& tally);

}  // namespace brantle
