// Feeds arbitrary bytes to the DIF parser and, when they parse, through the kind check,
// the optimiser and the writer: nothing may crash, leak or allocate beyond what the
// input can supply, and a parsed DIF must survive a write and re-read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dif/DIFCore.h"
#include "dif/DIFFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brantle;
  TDIFFile dif;
  if (ParseDIF(reinterpret_cast<const char*>(data), size, dif) != kDIFOk) return 0;

  TDIFFile reread;
  if (ParseDIF(SerializeDIF(dif, size % 2 ? 1 : 0), reread) != kDIFOk) std::abort();
  if (reread.Blocks.size() != dif.Blocks.size()) std::abort();
  for (size_t i = 0; i < dif.Blocks.size(); ++i) {
    if (reread.Blocks[i].Kind != dif.Blocks[i].Kind) std::abort();
    if (reread.Blocks[i].Data != dif.Blocks[i].Data) std::abort();
  }

  dif.CheckBlockKinds(KnownDIFKinds());
  OptimizeDIF(dif);
  TDIFFile again = dif;
  OptimizeDIF(again);
  if (again.Blocks.size() != dif.Blocks.size()) std::abort();
  for (size_t i = 0; i < dif.Blocks.size(); ++i) {
    if (again.Blocks[i].Data != dif.Blocks[i].Data) std::abort();
  }
  return 0;
}
