// The E families write whole 64 KB sectors: a sector only partly covered by the image
// (or every sector, when an undo file is wanted) is read first, the new bytes are
// merged into it, and the whole sector is programmed. The image's files then go into
// the phone's file system, after which the phone has to be connected again.

#include <algorithm>
#include <cstring>

#include "dif/DIFCore.h"
#include "formats/tfs_pair.h"
#include "lang/lang_get.h"
#include "operations/flash_workflow.h"
#include "operations/flash_workflow_internal.h"
#include "operations/operation_endings.h"
#include "operations/verified_write.h"

namespace brantle::flash_detail {
namespace {

constexpr uint32_t kSectorSize = 0x10000;
// The loader numbers sectors with one byte: it cannot address beyond 16 MiB.
constexpr uint64_t kAddressableEnd = 0x100ull * kSectorSize;

struct Sector {
  bool touched = false;
  bool full = false;     // a block covers all of it: no need to read it without undo
  bool read = false;     // the buffer held the phone's bytes before the merge
  bool changed = false;  // the merge changed a byte of what was read
  std::vector<uint8_t> buffer;
};

// Calls visit(sector, offset in sector, byte count, offset in block data) for each
// sector the block's data falls into.
template <typename Visit>
void ForEachSectorPiece(const TDIFBlock& block, Visit visit) {
  uint64_t address = NORAddress(block);
  const size_t length = NORDataLength(block);
  for (size_t done = 0; done < length;) {
    const uint32_t offset = static_cast<uint32_t>(address % kSectorSize);
    const size_t n = std::min<size_t>(kSectorSize - offset, length - done);
    visit(static_cast<size_t>(address / kSectorSize), offset, n, done);
    address += n;
    done += n;
  }
}

std::vector<Sector> PlanSectors(const TDIFFile& image, const std::string& kind) {
  std::vector<Sector> plan;
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind != kind) continue;
    ForEachSectorPiece(block, [&](size_t s, uint32_t offset, size_t n, size_t) {
      if (plan.size() <= s) plan.resize(s + 1);
      plan[s].touched = true;
      plan[s].buffer.resize(kSectorSize);
      if (offset == 0 && n == kSectorSize) plan[s].full = true;
    });
  }
  return plan;
}

// Reads the sectors whose old contents are needed. A failed read is shown and sets
// the cancel flag, so that nothing is written; a cancel ends the phase as well.
void ReadSectors(OperationFrame& frame, ConnectDriver& driver, std::vector<Sector>& plan,
                 bool forUndo) {
  const auto needsRead = [forUndo](const Sector& s) { return s.touched && (!s.full || forUndo); };
  frame.StartPhase(kSectorSize * std::count_if(plan.begin(), plan.end(), needsRead));
  frame.RouteEngine(driver.link(), true);
  for (size_t s = 0; s < plan.size(); ++s) {
    if (!needsRead(plan[s])) continue;
    const int r = driver.E().ERead(static_cast<uint8_t>(s), kSectorSize, plan[s].buffer.data());
    plan[s].read = r == 0;
    if (plan[s].read) frame.Tally().Read.Add(static_cast<uint32_t>(s * kSectorSize), kSectorSize);
    if (frame.StopAfterBlock(r, LangGet("ErrC_Reading") + " ")) {
      // Nothing may be written after a failed read.
      if (r != 0) frame.Cancel = true;
      return;
    }
  }
}

void MergeImage(const TDIFFile& image, const std::string& kind, std::vector<Sector>& plan,
                TDIFFile* undo, const std::string& undoKind) {
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind != kind) continue;
    const char* data = NORDataBytes(block);
    ForEachSectorPiece(block, [&](size_t s, uint32_t offset, size_t n, size_t from) {
      uint8_t* target = plan[s].buffer.data() + offset;
      if (undo)
        RecordUndo(*undo, undoKind, static_cast<uint32_t>(s * kSectorSize + offset),
                   std::string(reinterpret_cast<const char*>(target), n));
      if (std::memcmp(target, data + from, n) != 0) plan[s].changed = true;
      std::memcpy(target, data + from, n);
    });
  }
}

// False after a program error or a failed verification (shown). A sector that was
// read and is not changed by the image is left out when the checks say so; the bar
// counts only the sectors programmed, and their verification reads.
bool WriteSectors(OperationFrame& frame, ConnectDriver& driver, std::vector<Sector>& plan,
                  FlashPurpose purpose, const WriteChecks& checks) {
  const auto skipped = [&checks](const Sector& s) {
    return checks.SkipUnchanged && s.read && !s.changed;
  };
  const auto programmed = [&skipped](const Sector& s) { return s.touched && !skipped(s); };
  const int factor = checks.Verify ? 2 : 1;
  frame.StartPhase(int64_t{kSectorSize} * factor *
                   std::count_if(plan.begin(), plan.end(), programmed));
  frame.RouteEngine(driver.link(), true);
  EepromGate eeprom(frame, purpose);
  OperationTally& tally = frame.Tally();
  EEngine& e = driver.E();
  const std::string prefix = LangGet("ErrC_Flash_Aborted") + " ";
  int skips = 0;
  for (size_t s = 0; s < plan.size(); ++s) {
    if (!plan[s].touched) continue;
    const auto address = static_cast<uint32_t>(s * kSectorSize);
    if (skipped(plan[s])) {
      tally.AddUnchanged(address, kSectorSize);
      frame.SetStatusWithCount(SkippedText(++skips));
      continue;
    }
    const auto sector = static_cast<uint8_t>(s);
    uint8_t* buffer = plan[s].buffer.data();
    if (TouchesEeprom(address, kSectorSize, frame.Areas()) &&
        !eeprom.Allow(address, kSectorSize, factor)) {
      if (frame.StopAfterBlock(0, prefix)) return true;
      continue;
    }
    if (!WriteVerified(
            frame, prefix, checks.Verify, address, buffer, kSectorSize,
            [&] { return e.EProgram(sector, kSectorSize, buffer); },
            [&](uint8_t* into) { return e.ERead(sector, kSectorSize, into); }, tally.Programmed,
            tally.Read)) {
      frame.ShowIdleState();
      return false;
    }
    if (frame.StopAfterBlock(0, prefix)) return true;
  }
  return true;
}

bool TfsFailed(OperationFrame& frame, const char* prefixKey, int r) {
  if (r == 0) return false;
  ShowEngineError(frame, LangGet(prefixKey) + " ", r);
  frame.ShowIdleState();
  return true;
}

// Sends the image's files (and the folders they and dirs need). Sets sent when files
// went to the phone; false after an error (shown).
bool SendTfsFiles(OperationFrame& frame, ConnectDriver& driver, const TDIFFile& image,
                  const std::vector<std::string>* dirs, bool& sent) {
  std::vector<std::string> paths;
  std::vector<std::string> names;
  std::vector<std::string> contents;
  int64_t total = 0;
  for (const TDIFBlock& block : image.Blocks) {
    if (block.Kind != "TFSF") continue;
    std::string name;
    std::string bytes;
    TDIFFile::GetTFSFile(block, name, bytes);
    paths.push_back(name);
    // An empty file still gets its folders, but is not sent.
    if (bytes.empty()) continue;
    total += static_cast<int64_t>(bytes.size());
    names.push_back(std::move(name));
    contents.push_back(std::move(bytes));
  }
  if (names.empty()) return true;
  if (!frame.Family().HasFileSystem()) {
    frame.Tally().FilesLeftOut += static_cast<int>(names.size());
    return true;
  }
  const std::vector<std::string> directories = TfsDirectories(paths, dirs);
  EEngine& e = driver.E();
  frame.RouteEngine(driver.link(), false);
  if (TfsFailed(frame, "ErrC_TFS_Init", e.ETFSBegin())) return false;
  frame.StartPhase(static_cast<int64_t>(directories.size()));
  if (TfsFailed(frame, "ErrC_TFS_Directory", e.ETFSMakeDirs(directories))) return false;
  frame.StartPhase(total);
  frame.RouteEngine(driver.link(), true);
  if (TfsFailed(frame, "ErrC_TFS_Send", e.ETFSSendFiles(names, contents))) return false;
  if (TfsFailed(frame, "ErrC_TFS_Terminate", e.ETFSEnd())) return false;
  frame.Tally().FilesSent += static_cast<int>(names.size());
  frame.Tally().FileBytesSent += static_cast<uint64_t>(total);
  sent = true;
  return true;
}

}  // namespace

bool FlashImageE(OperationFrame& frame, ConnectDriver& driver, TDIFFile& image,
                 const std::string& kind, TDIFFile* undo, const std::string& undoKind,
                 const std::vector<std::string>* dirs, FlashPurpose purpose) {
  frame.EnableCancel(true);
  OptimizeDIF(image, frame);
  frame.BeginOperation();
  // A sector number past FF would wrap around to the start of the NOR.
  if (RefusedBeyond(frame, image, kind, kAddressableEnd) || RefusedTfsNames(frame, image))
    return false;
  {
    std::vector<Sector> plan = PlanSectors(image, kind);
    if (!plan.empty()) {
      ReadSectors(frame, driver, plan, undo != nullptr);
      // After a failed or cancelled read the buffers do not hold the phone's bytes:
      // an undo made from them would restore garbage.
      if (!frame.Cancel) MergeImage(image, kind, plan, undo, undoKind);
      if (!frame.Cancel &&
          !WriteSectors(frame, driver, plan, purpose, WriteChecks::FromSettings(frame.settings())))
        return false;
    }
  }
  bool tfsSent = false;
  if (!frame.Cancel) {
    // The file system commands cannot be interrupted.
    frame.EnableCancel(false);
    if (!SendTfsFiles(frame, driver, image, dirs, tfsSent)) return false;
  }
  if (frame.Cancel) {
    frame.ShowIdleState();
    return false;
  }
  // The phone leaves the loader after writing files; it has to be connected again.
  if (tfsSent) driver.Disconnect(false);
  if (purpose == FlashPurpose::Image) ShowEnding(frame, FlashEnding(frame.Tally()));
  frame.ShowIdleState();
  return true;
}

}  // namespace brantle::flash_detail
