// Feeds arbitrary loader information blocks through the parser and the summary: neither may
// crash, read outside the block, or leave the bank map pointing outside the block list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/ktze_flashes_opti.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brantle;
  OptiFlash flash;
  ParseOptiInfo(flash, std::string(reinterpret_cast<const char*>(data), size));
  for (int32_t entry : flash.BankMap) {
    if (entry < -1 || entry >= static_cast<int32_t>(flash.OptiBlockList.size())) std::abort();
  }
  const OptiSummary summary = SummarizeOptiFlash(flash, "flashes (? for info)");
  if (!summary.ok && (summary.failedChip < 0 || summary.failedChip > 3)) std::abort();
  return 0;
}
