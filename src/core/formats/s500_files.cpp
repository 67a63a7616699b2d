#include "formats/s500_files.h"

#include <algorithm>

#include "formats/image_file.h"
#include "lang/lang_get.h"
#include "ui/ui.h"

namespace brantle {
namespace {

const S500Window kWindows[4] = {
    {0x000000, 0x6FFFFF, "Err_Invalid_BIN1", "_1.bin"},
    {0x700000, 0x7FFFFF, "Err_Invalid_OGM1", "_1.ogm"},
    {0x800000, 0xC6FFFF, "Err_Invalid_BIN2", "_2.bin"},
    {0xC70000, 0xEFFFFF, "Err_Invalid_OGM2", "_2.ogm"},
};

std::string FileStem(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

}  // namespace

const S500Window& S500WindowOf(S500Part part) {
  return kWindows[part];
}

S500Dialog S500DialogOf(S500Part part, bool write) {
  // In NOR order, as the parts are numbered.
  static const char* const kTitles[4][2] = {{"FF_BIN1R_Caption", "FF_BIN1W_Caption"},
                                            {"FF_OGM1R_Caption", "FF_OGM1W_Caption"},
                                            {"FF_BIN2R_Caption", "FF_BIN2W_Caption"},
                                            {"FF_OGM2R_Caption", "FF_OGM2W_Caption"}};
  const bool bin = part == kS500Bin1 || part == kS500Bin2;
  return {bin ? "bin" : "ogm", bin ? "FF_BIN" : "FF_OGM", kTitles[part][write ? 1 : 0]};
}

bool S500FileFits(S500Part part, uint64_t size) {
  return size <= kWindows[part].Size();
}

S500Images SplitS500(const TDIFFile& dif, bool trim) {
  S500Images images;
  for (int part = 0; part < 4; ++part) {
    const S500Window& window = kWindows[part];
    // One past the last defined byte; a window no block reaches stays empty.
    uint64_t end = window.Base;
    for (const TDIFBlock& block : dif.Blocks) {
      if (block.Kind != "NORD" || NORDataLength(block) == 0) continue;
      const uint64_t address = NORAddress(block);
      if (address > window.Last) continue;
      const uint64_t blockEnd = address + NORDataLength(block);
      end = std::max(end, std::min<uint64_t>(blockEnd, uint64_t{window.Last} + 1));
    }
    std::string& image = images[part];
    image.assign(static_cast<size_t>(end - window.Base), '\xFF');
    // Paint in block order so that a later block wins where blocks overlap.
    for (const TDIFBlock& block : dif.Blocks) {
      if (block.Kind != "NORD") continue;
      const uint64_t address = NORAddress(block);
      const uint64_t from = std::max<uint64_t>(address, window.Base);
      const uint64_t to = std::min<uint64_t>(address + NORDataLength(block), end);
      if (from >= to) continue;
      std::copy_n(NORDataBytes(block) + (from - address), to - from,
                  image.begin() + static_cast<std::ptrdiff_t>(from - window.Base));
    }
    if (trim) {
      const size_t last = image.find_last_not_of('\xFF');
      image.resize(last == std::string::npos ? 0 : last + 1);
    }
  }
  return images;
}

bool ReadS500Files(Ui& ui, TDIFFile& dif, const S500Names& names) {
  const std::string context = LangGet("ErrC_Operation_Aborted");
  for (int part = 0; part < 4; ++part) {
    if (names[part].empty()) continue;
    const S500Window& window = kWindows[part];
    std::string bytes;
    bool tooLarge = false;
    if (!ReadImageFileUpTo(ui, names[part], context, window.Size(), bytes, tooLarge)) {
      if (tooLarge) ui.Error(context + " " + LangGet(window.ErrorKey));
      return false;
    }
    const size_t index = dif.AddBlock();
    dif.SetNORData(index, window.Base, bytes);
  }
  return true;
}

bool S500LeftOut(const TDIFFile& dif, uint32_t& first, uint32_t& last) {
  uint64_t from = UINT64_MAX, to = 0;
  for (const TDIFBlock& block : dif.Blocks) {
    if (block.Kind != "NORD" || NORDataLength(block) == 0) continue;
    const uint64_t end = uint64_t{NORAddress(block)} + NORDataLength(block);
    if (end <= kS500FirmwareEnd) continue;
    from = std::min<uint64_t>(from, std::max<uint64_t>(NORAddress(block), kS500FirmwareEnd));
    to = std::max(to, end);
  }
  if (to == 0) return false;
  first = static_cast<uint32_t>(from);
  last = static_cast<uint32_t>(std::min<uint64_t>(to - 1, UINT32_MAX));
  return true;
}

std::string S500Stem(const std::string& chosenLast, const S500Names& names) {
  std::string stem;
  if (!chosenLast.empty()) {
    stem = FileStem(chosenLast);
  } else {
    for (S500Part part : {kS500Bin1, kS500Bin2, kS500Ogm1, kS500Ogm2}) {
      if (names[part].empty()) continue;
      stem = FileStem(names[part]);
      break;
    }
  }
  if (stem.size() >= 2) {
    const std::string tail = stem.substr(stem.size() - 2);
    if (tail == "_1" || tail == "_2") stem.erase(stem.size() - 2);
  }
  return stem;
}

S500Names S500ProposedNames(const std::string& stem) {
  S500Names proposed;
  if (stem.empty()) return proposed;
  for (int part = 0; part < 4; ++part) proposed[part] = stem + kWindows[part].Suffix;
  return proposed;
}

}  // namespace brantle
