// Turning two images into DIF blocks.

#include <algorithm>
#include <cstring>

#include "dif/DIFCore.h"
#include "dif/DIFCore_progress.h"

namespace brantle {
namespace {

using dif_detail::ProgressSteps;

constexpr size_t kYieldBytes = 1024;

// Builds the payload in place: a 16 MiB tail should not be copied twice.
void AppendAddressed(TDIFFile& dif, const std::string& kind, size_t address, const char* bytes,
                     size_t length) {
  TDIFBlock& block = dif.Blocks[dif.AddBlock()];
  block.Data.reserve(4 + length);
  block.Data.push_back(static_cast<char>(address & 0xFF));
  block.Data.push_back(static_cast<char>((address >> 8) & 0xFF));
  block.Data.push_back(static_cast<char>((address >> 16) & 0xFF));
  block.Data.push_back(static_cast<char>((address >> 24) & 0xFF));
  block.Data.append(bytes, length);
  TDIFFile::SetBlockKind(block, kind);
}

void AppendRun(const std::string& original, const std::string& target, TDIFFile& dif,
               const std::string& kind, bool reverse, size_t start, size_t end) {
  AppendAddressed(dif, kind, start, target.data() + start, end - start);
  if (reverse) AppendAddressed(dif, "nOrR", start, original.data() + start, end - start);
}

void AppendTail(const std::string& target, size_t from, TDIFFile& dif, const std::string& kind,
                ProgressSteps& progress) {
  if (target.size() <= from) return;
  AppendAddressed(dif, kind, from, target.data() + from, target.size() - from);
  progress.Jump(static_cast<int64_t>(target.size() - from));
}

void Bytewise(const std::string& original, const std::string& target, TDIFFile& dif,
              const std::string& kind, bool reverse, Ui* ui) {
  const size_t m = std::min(original.size(), target.size());
  const char* o = original.data();
  const char* t = target.data();
  ProgressSteps progress(ui, kYieldBytes);
  bool open = false;
  size_t runStart = 0;
  for (size_t chunk = 0; chunk < m; chunk += kYieldBytes) {
    const size_t end = std::min(m, chunk + kYieldBytes);
    // Most of an image is unchanged: settle a whole equal chunk with one memcmp.
    if (open || std::memcmp(o + chunk, t + chunk, end - chunk) != 0) {
      for (size_t p = chunk; p < end; ++p) {
        const bool differs = o[p] != t[p];
        if (differs && !open) {
          open = true;
          runStart = p;
        } else if (!differs && open) {
          open = false;
          AppendRun(original, target, dif, kind, reverse, runStart, p);
        }
      }
    }
    progress.Add(static_cast<int64_t>(end - chunk));
  }
  if (open) AppendRun(original, target, dif, kind, reverse, runStart, m);
  progress.Flush();
  AppendTail(target, m, dif, kind, progress);
}

void Chunks64K(const std::string& original, const std::string& target, TDIFFile& dif, bool reverse,
               Ui* ui) {
  const size_t m = std::min(original.size(), target.size());
  ProgressSteps progress(ui, 1);
  for (size_t c = 0; c < m; c += kDIFChunk) {
    const size_t n = std::min(kDIFChunk, m - c);
    if (std::memcmp(original.data() + c, target.data() + c, n) != 0) {
      AppendRun(original, target, dif, "NORD", reverse, c, c + n);
    }
    progress.Jump(static_cast<int64_t>(n));
  }
  AppendTail(target, m, dif, "NORD", progress);
}

}  // namespace

void CompareBytewise(const std::string& original, const std::string& target, TDIFFile& dif,
                     const std::string& kind, bool reverse, Ui& ui) {
  Bytewise(original, target, dif, kind, reverse, &ui);
}

void CompareBytewise(const std::string& original, const std::string& target, TDIFFile& dif,
                     const std::string& kind, bool reverse) {
  Bytewise(original, target, dif, kind, reverse, nullptr);
}

void Compare64K(const std::string& original, const std::string& target, TDIFFile& dif, bool reverse,
                Ui& ui) {
  Chunks64K(original, target, dif, reverse, &ui);
}

void Compare64K(const std::string& original, const std::string& target, TDIFFile& dif,
                bool reverse) {
  Chunks64K(original, target, dif, reverse, nullptr);
}

}  // namespace brantle
