// The canonical form of a block list.
//
// The defining procedure paints every "NORD" block, in list order, into a scratch
// image as large as the highest end address and re-compares it; the same again for
// "nOrR". That costs memory in proportion to the highest address, so a ten-byte block
// near the top of the address space would want gigabytes. Here the same result comes
// from the intervals themselves: a sweep in address order finds, piece by piece, the
// last block covering each stretch; the pieces joined where they touch are exactly the
// runs the painting would produce. Memory follows the payload, time is
// O(blocks log blocks + payload).

#include <algorithm>
#include <map>

#include "dif/DIFCore.h"
#include "dif/DIFCore_progress.h"
#include "lang/lang_get.h"

namespace brantle {
namespace {

using dif_detail::ProgressSteps;

constexpr int64_t kYieldBlocks = 1024;

struct Piece {
  uint64_t start;
  uint64_t length;
  TDIFBlock* block;
  uint64_t offset;  // into the block's data
};

// One pass of the optimiser as the progress bar shows it: 0..number of blocks.
class Pass {
 public:
  Pass(Ui* ui, size_t blocks) : ui_(ui), steps_(ui, kYieldBlocks) {
    if (!ui_) return;
    ui_->SetProgressRange(0, static_cast<int64_t>(blocks));
    ui_->SetProgressPosition(0);
    ui_->SetStatus(LangGet("Status_Optimizing_DIF"));
  }
  void Block() { steps_.Add(1); }
  void Blocks(size_t n) { steps_.Add(static_cast<int64_t>(n)); }
  void Done() { steps_.Flush(); }

 private:
  Ui* ui_;
  ProgressSteps steps_;
};

// For every covered byte, the last block (in list order) covering it wins. A sweep
// over the blocks sorted by start: the blocks covering the current position sit in a
// heap ordered by list position, so its top is the winner until the next block starts
// or the winner ends. Each block enters and leaves the heap once.
std::vector<Piece> Resolve(const std::vector<TDIFBlock*>& blocks, Pass& pass) {
  struct Span {
    uint64_t start;
    uint64_t end;
    size_t order;
  };
  std::vector<Span> spans;
  spans.reserve(blocks.size());
  for (size_t i = 0; i < blocks.size(); ++i) {
    pass.Block();
    const uint64_t start = NORAddress(*blocks[i]);
    const uint64_t length = NORDataLength(*blocks[i]);
    if (length > 0) spans.push_back({start, start + length, i});
  }
  std::sort(spans.begin(), spans.end(),
            [](const Span& a, const Span& b) { return a.start < b.start; });
  const auto later = [](const Span& a, const Span& b) { return a.order < b.order; };
  std::vector<Span> heap;
  std::vector<Piece> pieces;
  size_t next = 0;
  uint64_t cursor = 0;
  while (next < spans.size() || !heap.empty()) {
    if (heap.empty()) cursor = std::max(cursor, spans[next].start);
    while (next < spans.size() && spans[next].start <= cursor) {
      heap.push_back(spans[next++]);
      std::push_heap(heap.begin(), heap.end(), later);
    }
    // Blocks that ended are only dropped once they come to the top; anything buried
    // under a live top is earlier in the list and cannot win.
    while (!heap.empty() && heap.front().end <= cursor) {
      std::pop_heap(heap.begin(), heap.end(), later);
      heap.pop_back();
    }
    if (heap.empty()) continue;
    const Span& top = heap.front();
    uint64_t stop = top.end;
    if (next < spans.size()) stop = std::min(stop, spans[next].start);
    pieces.push_back({cursor, stop - cursor, blocks[top.order], cursor - top.start});
    cursor = stop;
  }
  return pieces;
}

// One block per maximal run of touching pieces. A run that is one whole source block
// takes over its payload instead of copying it: the source is not read again, and a
// 16 MiB image block then costs nothing to optimise.
void EmitRuns(const std::vector<Piece>& pieces, const char* kind, std::vector<TDIFBlock>& out) {
  size_t i = 0;
  while (i < pieces.size()) {
    size_t j = i + 1;
    uint64_t length = pieces[i].length;
    while (j < pieces.size() && pieces[j].start == pieces[i].start + length) {
      length += pieces[j].length;
      ++j;
    }
    TDIFBlock block;
    const uint64_t start = pieces[i].start;
    if (j == i + 1 && pieces[i].offset == 0 && length == NORDataLength(*pieces[i].block)) {
      block.Data = std::move(pieces[i].block->Data);
      TDIFFile::SetBlockKind(block, kind);
      out.push_back(std::move(block));
      i = j;
      continue;
    }
    block.Data.reserve(4 + length);
    for (int b = 0; b < 4; ++b) block.Data.push_back(static_cast<char>((start >> (8 * b)) & 0xFF));
    for (size_t k = i; k < j; ++k) {
      block.Data.append(NORDataBytes(*pieces[k].block) + pieces[k].offset, pieces[k].length);
    }
    TDIFFile::SetBlockKind(block, kind);
    out.push_back(std::move(block));
    i = j;
  }
}

// Joins two RTF documents: the first keeps its header and font table, the second
// contributes its body groups.
void MergeComment(std::string& merged, const std::string& comment) {
  if (merged.empty()) {
    merged = comment;
    return;
  }
  const size_t lastClose = merged.rfind('}');
  if (lastClose != std::string::npos) merged.erase(lastClose);
  const size_t firstOpen = comment.find('{');
  if (firstOpen == std::string::npos) {
    merged += comment;
    return;
  }
  const size_t secondOpen = comment.find('{', firstOpen + 1);
  merged +=
      secondOpen == std::string::npos ? comment.substr(firstOpen + 1) : comment.substr(secondOpen);
}

std::string TFSName(const TDIFBlock& block) {
  std::string name;
  std::string contents;
  TDIFFile::GetTFSFile(block, name, contents);
  return name;
}

void Optimize(TDIFFile& dif, Ui* ui) {
  const size_t count = dif.Blocks.size();
  std::vector<TDIFBlock*> data;
  std::vector<TDIFBlock*> reversal;
  {
    Pass scan(ui, count);
    for (TDIFBlock& block : dif.Blocks) {
      if (block.Kind == "NORD") data.push_back(&block);
      if (block.Kind == "nOrR") reversal.push_back(&block);
      scan.Block();
    }
    scan.Done();
  }

  std::vector<TDIFBlock> rebuilt;
  {
    Pass pass(ui, count);
    EmitRuns(Resolve(data, pass), "NORD", rebuilt);
    pass.Blocks(count - data.size());
    pass.Done();
  }

  std::string comment;
  bool hasComment = false;
  // Name -> block; a later block of the same name replaces the earlier one.
  std::map<std::string, TDIFBlock*> files;
  std::vector<TDIFBlock*> others;
  {
    Pass pass(ui, count);
    EmitRuns(Resolve(reversal, pass), "nOrR", rebuilt);
    pass.Blocks(data.size());
    for (TDIFBlock& block : dif.Blocks) {
      if (block.Kind == "TFSF") {
        files[TFSName(block)] = &block;
        pass.Block();
      } else if (block.Kind == "dIFC") {
        MergeComment(comment, block.Data);
        hasComment = true;
        pass.Block();
      } else if (block.Kind != "NORD" && block.Kind != "nOrR") {
        others.push_back(&block);
        pass.Block();
      }
    }
    pass.Done();
  }

  std::vector<TDIFBlock> result;
  result.reserve((hasComment ? 1 : 0) + rebuilt.size() + files.size() + others.size());
  if (!comment.empty()) {
    TDIFBlock block;
    TDIFFile::SetComment(block, comment);
    result.push_back(std::move(block));
  }
  for (TDIFBlock& block : rebuilt) result.push_back(std::move(block));
  for (auto& entry : files) result.push_back(std::move(*entry.second));
  for (TDIFBlock* block : others) result.push_back(std::move(*block));
  dif.Blocks = std::move(result);
}

}  // namespace

void OptimizeDIF(TDIFFile& dif, Ui& ui) {
  Optimize(dif, &ui);
}

void OptimizeDIF(TDIFFile& dif) {
  Optimize(dif, nullptr);
}

uint64_t NORDataEnd(const TDIFFile& dif) {
  uint64_t end = 0;
  for (const TDIFBlock& block : dif.Blocks) {
    if (block.Kind == "NORD")
      end = std::max(end, NORAddress(block) + uint64_t{NORDataLength(block)});
  }
  return end;
}

}  // namespace brantle
