#pragma once
// Reading the phone's NOR: a region into a BIN/CLA, DIF or S3 file, and the firmware
// area into the four 2BIN+2OGM files. The E families read whole 64 KB sectors, the
// OptiFlash loader pieces of at most 64 KB; the Cancel button is honoured between
// them.

#include <cstdint>
#include <string>

#include "formats/nor_regions.h"
#include "formats/s500_files.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"

namespace brantle {

// The E loaders take a sector index of one byte: nothing at or above 16 MiB.
constexpr uint32_t kENorLimit = 0x1000000;

// Whether end lies below kENorLimit; if not, shows "<prefix>  <why>".
bool WithinENorLimit(Ui& ui, const std::string& prefix, uint32_t end);

// Both ends inclusive, as the tab's address fields hold them.
struct NorRegion {
  uint32_t Start = 0;
  uint32_t End = 0;
};

// Reads the two address fields. An entry that is not an address, or an end before
// the start, shows "<prefix>  <why>" and gives false.
bool ParseRegion(Ui& ui, const std::string& startText, const std::string& endText,
                 const std::string& prefix, NorRegion& region);

// The region's bytes (end - start + 1 of them). False after an error (shown) or a
// cancel (nothing shown). Leaves the window idle either way. With read: on entry the
// bytes an earlier, interrupted dump of the region read (see PartialDump), which are
// not read again; on return all bytes read so far, also after an error or a cancel.
bool DumpRegion(OperationFrame& frame, ConnectDriver& driver, uint32_t start, uint32_t end,
                std::string& data, std::string* read = nullptr);
bool DumpRegionE(OperationFrame& frame, EEngine& engine, uint32_t start, uint32_t end,
                 std::string& data, std::string* read = nullptr);
bool DumpRegionOpti(OperationFrame& frame, OptiEngine& engine, uint32_t start, uint32_t end,
                    std::string& data, std::string* read = nullptr);

// The question whether a dump continues from what an interrupted one read.
std::string ResumeQuestion(uint64_t done, uint64_t total);

// Whether a dump continues from what an interrupted dump of the same region into the
// same target kept in its side file: the window asks, the command line was told.
enum class DumpResume { Ask, Yes, No };

// "Save dump": the region into target as the file type says; a DIF gets the dump
// tab's comment and compression. True when the file was written. A dump that stops
// before the target is written keeps what it read in the target's side file, which a
// completed dump removes; the target itself is only ever replaced whole.
bool DumpNor(OperationFrame& frame, ConnectDriver& driver, const std::string& startText,
             const std::string& endText, DumpFileType type, const std::string& target,
             const UndoParameters& difOptions, DumpResume resume = DumpResume::Ask);

// The firmware area into the four files; targets in NOR order (BIN1, OGM1, BIN2,
// OGM2), written in the order BIN1, BIN2, OGM1, OGM2. True when all four were written.
bool DumpS500(OperationFrame& frame, ConnectDriver& driver, const S500Names& targets);

// The four target fields of the 2BIN+2OGM dump tab and their "Select" buttons: each
// proposes a name made from the file chosen last (or the first filled field), so
// that choosing s500xedh1_1.bin for BIN1 proposes s500xedh1_2.bin for BIN2.
class S500DumpTargets {
 public:
  const S500Names& Names() const { return names_; }
  void SetName(S500Part part, const std::string& name) { names_[part] = name; }
  // What the save dialog of a part is preset with ("" when there is no stem).
  std::string Proposal(S500Part part) const;
  // A "Select" button: the save dialog; on OK the name goes into the part's field.
  bool Choose(OperationFrame& frame, S500Part part);
  // Showing the tab page forgets the file chosen last.
  void TabShown() { chosenLast_.clear(); }
  bool DumpEnabled() const;

 private:
  S500Names names_;
  std::string chosenLast_;
};

}  // namespace brantle
