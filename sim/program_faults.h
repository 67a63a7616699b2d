#pragma once
// A fault a virtual phone puts into what it programs: one byte of a program command's
// data lands in the NOR changed, while the command is acknowledged as if all went
// well (its checksum is that of the data as received). Set from any thread; the
// phone's thread applies it.

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace brantle::sim {

class ProgramFaults {
 public:
  // The next program command only, or every one from now on.
  void CorruptOnce() { mode_.store(kOnce); }
  void CorruptEveryTime() { mode_.store(kEveryTime); }

  // Inverts the middle byte of data when a corruption is due. True when it did.
  bool Apply(uint8_t* data, size_t n);

 private:
  enum Mode : int { kNone, kOnce, kEveryTime };
  std::atomic<int> mode_{kNone};
};

}  // namespace brantle::sim
