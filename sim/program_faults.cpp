#include "sim/program_faults.h"

namespace brantle::sim {

bool ProgramFaults::Apply(uint8_t* data, size_t n) {
  if (n == 0) return false;
  int mode = mode_.load();
  if (mode == kNone) return false;
  if (mode == kOnce && !mode_.compare_exchange_strong(mode, kNone)) return false;
  data[n / 2] = static_cast<uint8_t>(~data[n / 2]);
  return true;
}

}  // namespace brantle::sim
