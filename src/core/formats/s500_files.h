#pragma once
// The 2BIN+2OGM file set of the S500 family: four flat files, each a fixed window of
// the 15 MiB firmware area (in NOR order BIN1, OGM1, BIN2, OGM2). The windows are the
// same whatever family is selected.

#include <array>
#include <cstdint>
#include <string>

#include "dif/DIFFiles.h"

namespace brantle {

class Ui;

// Indexes in NOR order.
enum S500Part { kS500Bin1 = 0, kS500Ogm1 = 1, kS500Bin2 = 2, kS500Ogm2 = 3 };

struct S500Window {
  uint32_t Base;
  uint32_t Last;  // last NOR address of the window
  const char* ErrorKey;
  const char* Suffix;  // of the proposed file name
  uint32_t Size() const { return Last - Base + 1; }
};
const S500Window& S500WindowOf(S500Part part);

// The firmware area the four windows tile; a flat image is padded to it.
constexpr uint32_t kS500FirmwareEnd = 0xF00000;

// File names by part, in NOR order; an empty name leaves that part out.
using S500Names = std::array<std::string, 4>;
// File contents by part, in NOR order.
using S500Images = std::array<std::string, 4>;

// What a file dialog for one part of the set shows: its default extension, filter
// and title (language keys); each title names its part ("Choose BIN 1 file...").
struct S500Dialog {
  const char* Ext;
  const char* Filter;
  const char* Title;
};
S500Dialog S500DialogOf(S500Part part, bool write);

// Whether a file of that size fits its window.
bool S500FileFits(S500Part part, uint64_t size);

// Cuts the container's "NORD" data into the four windows (other kinds are ignored).
// Each window runs from its base to the last byte any block reaches in it, bytes no
// block defines being 0xFF; with trim, trailing 0xFF bytes are removed. Works on the
// blocks as given, so a block far outside the firmware area costs nothing.
S500Images SplitS500(const TDIFFile& dif, bool trim);

// The NOR data beyond the firmware area, which no file of the set holds: false when
// there is none, else its first and last address.
bool S500LeftOut(const TDIFFile& dif, uint32_t& first, uint32_t& last);

// Reads the named files (in NOR order) and appends one "NORD" block per file at its
// window base. A missing, unreadable or oversized file is reported ("Operation
// aborted:" and the reason) and ends the read; blocks read before stay, and the
// caller discards the container.
bool ReadS500Files(Ui& ui, TDIFFile& dif, const S500Names& names);

// The stem the file dialogs propose names from: the name (no folder, no extension)
// of the file chosen last, else of the first non-empty name in the order BIN1, BIN2,
// OGM1, OGM2, without a final "_1" or "_2". Empty when there is none.
std::string S500Stem(const std::string& chosenLast, const S500Names& names);
// stem + "_1.bin", "_1.ogm", "_2.bin", "_2.ogm" by part; all empty for an empty stem.
S500Names S500ProposedNames(const std::string& stem);

}  // namespace brantle
