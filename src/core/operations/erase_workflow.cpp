#include "operations/erase_workflow.h"

#include <algorithm>

#include "formats/nor_regions.h"
#include "lang/lang_get.h"
#include "operations/dump_workflow.h"
#include "operations/flash_workflow.h"
#include "operations/operation_endings.h"
#include "operations/operation_record.h"
#include "operations/undo_offer.h"
#include "operations/verified_write.h"

namespace brantle {
namespace {

constexpr uint32_t kSector = 0x10000;

std::string EraseAborted() {
  return LangGet("ErrC_Erase_Aborted");
}

// The bytes of the first and last sector that lie outside the region, as "NORD"
// blocks to flash back once the sectors are erased.
bool ReadEdges(OperationFrame& frame, ConnectDriver& driver, uint32_t start, uint32_t end,
               TDIFFile& edges) {
  const uint32_t headStart = start & ~(kSector - 1);
  const uint32_t tailEnd = end | (kSector - 1);
  std::string bytes;
  if (start != headStart) {
    if (!DumpRegion(frame, driver, headStart, start - 1, bytes)) return false;
    edges.SetNORData(edges.AddBlock(), headStart, bytes);
  }
  if (end != tailEnd) {
    if (!DumpRegion(frame, driver, end + 1, tailEnd, bytes)) return false;
    edges.SetNORData(edges.AddBlock(), end + 1, bytes);
  }
  return true;
}

// The part of a sector that lies in the region.
struct Share {
  uint32_t from;
  uint32_t length;
};

Share ShareOf(uint32_t sector, uint32_t start, uint32_t end) {
  const uint32_t from = std::max(start, sector * kSector);
  const uint32_t to = std::min(end, sector * kSector + (kSector - 1));
  return {from, to - from + 1};
}

// One sector's share of the region, and with verify its check that it reads 0xFF:
// the E families erase and read the sector whole; the OptiFlash loader erases a
// block only to program it, keeping what lies outside the bytes sent, so the
// region's part of the sector is written over with 0xFF. False after an error
// (shown).
bool EraseSector(OperationFrame& frame, ConnectDriver& driver, uint32_t sector, uint32_t start,
                 uint32_t end, bool verify) {
  const bool opti = driver.IsOpti();
  const Share share = opti ? ShareOf(sector, start, end) : Share{sector * kSector, kSector};
  const std::string erased(share.length, '\xFF');
  const auto* ff = reinterpret_cast<const uint8_t*>(erased.data());
  const auto write = [&] {
    return opti ? driver.Opti().WriteNOR(share.from, share.length, ff)
                : driver.E().EErase(static_cast<uint8_t>(sector), kSector);
  };
  const auto read = [&](uint8_t* into) {
    return opti ? driver.Opti().ReadNOR(share.from, share.length, into)
                : driver.E().ERead(static_cast<uint8_t>(sector), kSector, into);
  };
  return WriteVerified(frame, EraseAborted() + " ", verify, share.from, ff, share.length, write,
                       read, frame.Tally().Erased, frame.Tally().Read);
}

// Asks before anything in the EEPROM area is erased. After a "No" the region ends
// where that area starts (the areas are whole sectors, so no sector is shared) and
// the tally keeps the part left out, which the ending names. False when nothing is
// left.
bool LimitToAllowedAreas(OperationFrame& frame, uint32_t start, uint32_t& end) {
  const NorAreas areas = frame.Areas();
  if (!TouchesEeprom(start, uint64_t{end} - start + 1, areas) ||
      AskEepromWrite(frame, EepromChange::Erase))
    return true;
  const uint32_t eepromStart = areas.EepromStart();
  const uint32_t keptStart = std::max(start, eepromStart);
  frame.Tally().EepromKept.Add(keptStart,
                               uint64_t{std::min(end, areas.Total() - 1)} - keptStart + 1);
  if (start >= eepromStart) return false;
  end = eepromStart - 1;
  return true;
}

// The erase ran to its end: it says what it erased and what it kept.
bool Ended(OperationFrame& frame) {
  ShowEnding(frame, EraseEnding(frame.Tally()));
  frame.ShowIdleState();
  return true;
}

bool Failed(OperationFrame& frame, int code) {
  ShowEngineError(frame, EraseAborted() + " ", code);
  frame.ShowIdleState();
  return false;
}

}  // namespace

bool EraseRegion(OperationFrame& frame, ConnectDriver& driver, uint32_t start, uint32_t end,
                 TDIFFile* undo, const std::string& undoKind) {
  const bool opti = driver.IsOpti();
  if (!opti && !WithinENorLimit(frame, EraseAborted(), end)) {
    frame.ShowIdleState();
    return false;
  }
  if (start > end || !LimitToAllowedAreas(frame, start, end)) return Ended(frame);
  if (undo) {
    std::string old;
    if (!DumpRegion(frame, driver, start, end, old)) return false;
    const size_t i = undo->AddBlock();
    undo->SetReverseData(i, start, old);
    undo->Blocks[i].Kind = undoKind;
  }
  TDIFFile edges;
  if (!opti && !ReadEdges(frame, driver, start, end, edges)) return false;
  // The reads left the window idle; the erase is still one operation.
  if (!frame.Busy) frame.ContinueOperation();

  const uint32_t first = start / kSector;
  const uint32_t last = end / kSector;
  // Verification reads each erased stretch back: the bar counts it twice.
  const bool verify = frame.settings().VerifyWrites();
  frame.RouteEngine(driver.link(), false);
  frame.StartPhase((opti ? int64_t{end} - start + 1 : int64_t{last - first + 1} * kSector) *
                   (verify ? 2 : 1));
  frame.EnableCancel(true);
  bool cancelled = false;
  for (uint32_t s = first; s <= last && !cancelled; ++s) {
    if (!EraseSector(frame, driver, s, start, end, verify)) {
      frame.ShowIdleState();
      return false;
    }
    cancelled = frame.Cancel;
  }
  if (opti) {
    if (const int r = driver.Opti().CloseBlock(); r != 0) return Failed(frame, r);
  }
  // Also after a cancel: the bytes outside the region keep their contents. They are
  // what the phone held a moment ago, so putting them back needs no second question.
  if (!edges.Blocks.empty() &&
      !FlashImage(frame, driver, edges, "NORD", nullptr, "nOrR", nullptr, FlashPurpose::WriteBack))
    return false;
  if (cancelled) {
    frame.ShowIdleState();
    return false;
  }
  return Ended(frame);
}

bool EraseNor(OperationFrame& frame, ConnectDriver& driver, const std::string& startText,
              const std::string& endText, bool makeUndo, const UndoParameters& undoOptions) {
  const OperationRecord record(frame, "erase", "NOR " + startText + "-" + endText,
                               PhoneWrites::Yes);
  frame.BeginOperation();
  NorRegion region;
  bool erased = false;
  if (ParseRegion(frame, startText, endText, EraseAborted(), region)) {
    if (!makeUndo) {
      erased = EraseRegion(frame, driver, region.Start, region.End, nullptr, "nOrR");
    } else {
      TDIFFile undo;
      erased = EraseRegion(frame, driver, region.Start, region.End, &undo, "NORD");
      // Whatever was recorded is offered, also after a failed erase; an empty undo
      // would restore nothing.
      if (!undo.Blocks.empty()) OfferUndoDif(frame, undo, "EraseNOR_Undo", undoOptions);
    }
  }
  frame.ShowIdleState();
  return erased;
}

}  // namespace brantle
