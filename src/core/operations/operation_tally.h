#pragma once
// What one operation did to the phone, gathered by the workflows as the phone
// confirms each step: NOR read, programmed and erased, what was left out (already
// holding the bytes to write, or in the EEPROM area after a No), files sent to the
// phone's file system and those it could not take. The operation frame empties it
// when a new operation begins and keeps it after the operation ended, until the next
// one (a connect included) begins: for what is said at the end (the ending message,
// the command line's last line, a log).

#include <cstdint>
#include <string>
#include <vector>

namespace brantle {

// A stretch of NOR, both addresses inclusive as the window shows regions.
struct NorStretch {
  uint32_t First = 0;
  uint32_t Last = 0;
  bool operator==(const NorStretch& o) const { return First == o.First && Last == o.Last; }
};

// The NOR a kind of step touched: where (the stretches merged, in address order)
// and how much (every byte each time, so a sector read twice counts twice).
class NorStretches {
 public:
  // address .. address + length - 1; nothing for a length of 0.
  void Add(uint32_t address, uint64_t length);
  const std::vector<NorStretch>& List() const { return list_; }
  bool Empty() const { return list_.empty(); }
  uint64_t Bytes() const { return bytes_; }
  // "E00000-E0FFFF, E20000-E2FFFF", as the region fields write addresses.
  std::string Text() const;

 private:
  std::vector<NorStretch> list_;
  uint64_t bytes_ = 0;
};

struct OperationTally {
  // Read from the NOR: dumps, the old contents a flash merges into or records for
  // undo, the bytes around an erase, and verification reads.
  NorStretches Read;
  // Programmed: E families whole 64 KB sectors, OptiFlash phones their pieces.
  NorStretches Programmed;
  // Erased: E families whole sectors (the bytes of the first and last sector outside
  // the region are then programmed back); OptiFlash phones the region itself,
  // written over with 0xFF.
  NorStretches Erased;
  // Left out because they already held the bytes to write, and how many sectors (E)
  // or pieces (OptiFlash) that was.
  NorStretches Unchanged;
  int UnchangedCount = 0;
  // Left out after No to the EEPROM question: the sectors or pieces a flash skipped,
  // the part of an erase's region in the EEPROM area.
  NorStretches EepromKept;
  // Files written into the phone's file system, and their bytes.
  int FilesSent = 0;
  uint64_t FileBytesSent = 0;
  // Files for a file system the phone does not have (S500 and OptiFlash phones).
  int FilesLeftOut = 0;
  bool NandFormatted = false;

  void AddUnchanged(uint32_t address, uint64_t length) {
    Unchanged.Add(address, length);
    ++UnchangedCount;
  }
  // Nothing on the phone changed: no NOR byte programmed or erased, no file sent,
  // no format.
  bool WroteNothing() const {
    return Programmed.Empty() && Erased.Empty() && FilesSent == 0 && !NandFormatted;
  }
};

}  // namespace brantle
