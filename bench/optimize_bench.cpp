// Cost of OptimizeDIF on many small overlapping blocks, as a merge of many DIF files
// produces them: 100,000 and 1,000,000 blocks of 8..64 bytes at random addresses within
// 16 MiB, three in four "NORD" and the rest "nOrR". Linear cost shows as an ns_per_block
// that does not grow with the count (the sort adds only a log factor). The smaller set
// comes out as some 87,000 blocks, nearly one per input block, the larger one as some
// 292,000 longer ones; building output blocks, not the count, sets the two figures apart.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

#include "dif/DIFCore.h"
#include "dif/DIFFiles.h"

namespace {

using brantle::TDIFFile;

TDIFFile MakeBlocks(size_t count) {
  std::mt19937_64 rng(0x4F50544DULL + count);
  TDIFFile dif;
  dif.Blocks.reserve(count);
  std::string bytes;
  for (size_t i = 0; i < count; ++i) {
    const size_t length = 8 + rng() % 57;
    const uint32_t address = static_cast<uint32_t>(rng() % (16u * 1024 * 1024 - length));
    bytes.resize(length);
    for (char& c : bytes) c = static_cast<char>(rng());
    const size_t index = dif.AddBlock();
    if (rng() % 4 == 0)
      dif.SetReverseData(index, address, bytes);
    else
      dif.SetNORData(index, address, bytes);
  }
  return dif;
}

// Timed by hand around the call alone: copying the input before and freeing the output
// after each run are not the optimiser's cost.
void BM_OptimizeDIF(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0));
  const TDIFFile source = MakeBlocks(count);
  double total = 0;
  for (auto _ : state) {
    TDIFFile dif = source;
    const auto t0 = std::chrono::steady_clock::now();
    brantle::OptimizeDIF(dif);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    benchmark::DoNotOptimize(dif.Blocks.data());
    state.SetIterationTime(seconds);
    total += seconds;
  }
  state.SetComplexityN(state.range(0));
  state.counters["ns_per_block"] = benchmark::Counter(total * 1e9 / static_cast<double>(count),
                                                      benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_OptimizeDIF)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
