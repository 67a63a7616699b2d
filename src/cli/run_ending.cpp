#include "run_ending.h"

#include <csignal>
#include <cstdio>

#include "formats/nor_regions.h"
#include "formats/s500_files.h"
#include "formats/tfs_pair.h"
#include "operations/operation_frame.h"
#include "phone_commands.h"
#include "run_log.h"

namespace brantle::cli {
namespace {

std::string Listed(const S500Names& names) {
  return names[kS500Bin1] + ", " + names[kS500Bin2] + ", " + names[kS500Ogm1] + " and " +
         names[kS500Ogm2];
}

// The files a reading command writes only at its end.
std::string Targets(const Options& o) {
  if (o.command == "dump-s500") return Listed(S500ProposedNames(o.output));
  if (o.command == "tfs" && o.operands[0] == "dump")
    return o.operands[1] + " and " + CfgNameFor(o.operands[1]);
  if (o.command == "tfs") return o.operands[3];
  return o.output;
}

std::string FlashedWhat(const Options& o) {
  const std::string& kind = o.operands[0];
  if (kind == "hex") return "the bytes typed flashed at " + o.offset;
  if (kind == "dif")
    return o.operands.size() == 2 ? o.operands[1] + " flashed"
                                  : std::to_string(o.operands.size() - 1) + " DIF files flashed";
  if (kind == "diff")
    return "what " + o.operands[2] + " changes against " + o.operands[1] + " flashed";
  if (kind == "s500") return "the S500 files flashed";
  if (kind == "part") return "part of " + o.operands[1] + " flashed at " + o.phoneOffset;
  return o.operands[1] + " flashed";
}

// "; EEPROM area E00000-E0FFFF kept" after a No to the EEPROM question.
std::string KeptText(const OperationTally& t) {
  return t.EepromKept.Empty() ? "" : "; EEPROM area " + t.EepromKept.Text() + " kept";
}

// Why a flash wrote nothing, or what it could not write.
std::string LeftOutText(const OperationTally& t) {
  std::string text = KeptText(t);
  if (t.WroteNothing() && t.UnchangedCount > 0)
    text += "; the phone already held the bytes (" + std::to_string(t.UnchangedCount) +
            (t.UnchangedCount == 1 ? " sector" : " sectors") + " unchanged)";
  if (t.FilesLeftOut > 0)
    text += "; " + std::to_string(t.FilesLeftOut) +
            " file(s) for the phone's file system left out (this phone has none)";
  return text;
}

// The part of the region START-END that no stretch of kept covers, as the region
// fields write it: "10000-DFFFFF".
std::string RegionWithout(const std::string& start, const std::string& end,
                          const NorStretches& kept) {
  uint64_t from = static_cast<uint32_t>(FieldHexToInt(start));
  const uint64_t to = static_cast<uint32_t>(FieldHexToInt(end));
  std::string text;
  const auto add = [&](uint64_t first, uint64_t last) {
    if (first > last) return;
    text += (text.empty() ? "" : ", ") + RegionHex(static_cast<uint32_t>(first)) + "-" +
            RegionHex(static_cast<uint32_t>(last));
  };
  for (const NorStretch& k : kept.List()) {
    if (k.Last < from || k.First > to) continue;
    if (k.First > from) add(from, k.First - 1);
    from = uint64_t{k.Last} + 1;
  }
  add(from, to);
  return text;
}

}  // namespace

std::string UndoSavedText(const Options& o, const RunFacts& f) {
  return f.undoSaved ? "; undo data saved in " + o.undo : "";
}

std::string CompletedText(const Options& o, const RunFacts& f) {
  const std::string& c = o.command;
  if (c == "identify") return "the flash type was read";
  if (c == "dump") return "NOR " + f.start + "-" + f.end + " saved to " + o.output;
  if (c == "dump-s500") return "the firmware saved to " + Targets(o);
  const OperationTally& t = f.tally;
  if (c == "flash")
    return (t.WroteNothing() ? "nothing was written" : FlashedWhat(o)) + LeftOutText(t) +
           UndoSavedText(o, f);
  if (c == "erase")
    return (t.Erased.Empty() ? "nothing was erased"
                             : "NOR " + RegionWithout(f.start, f.end, t.EepromKept) + " erased") +
           KeptText(t) + UndoSavedText(o, f);
  const std::string& kind = o.operands[0];
  if (kind == "flash" || kind == "put")
    return "files written into the phone's file system; the phone was disconnected";
  if (kind == "format") return "the NAND was formatted; the phone was disconnected";
  if (kind == "dump") return "the phone's file system saved to " + Targets(o);
  return "NAND sectors " + o.operands[1] + "-" + o.operands[2] + " saved to " + Targets(o);
}

std::string UntouchedText(const Options& o, const RunFacts& f) {
  const std::string& c = o.command;
  if (c == "identify") return "nothing was read or written";
  if (c == "flash") return "the NOR blocks not yet written are unchanged" + UndoSavedText(o, f);
  if (c == "erase")
    return "the sectors not yet erased are unchanged, and what lies outside the region was "
           "written back" +
           UndoSavedText(o, f);
  if (c == "tfs" && o.operands[0] == "format") return "the NAND was not formatted";
  if (c == "tfs" && (o.operands[0] == "flash" || o.operands[0] == "put"))
    return "the phone's file system holds only the files sent before";
  return Targets(o) + " not written; the phone is unchanged";
}

int End(const Ending& e) {
  static const char* const kKinds[] = {"Completed", "Cancelled", "Failed"};
  LogRun(std::string("ended: ") + kKinds[static_cast<int>(e.kind)] + ": " + e.text);
  switch (e.kind) {
    case Ending::Kind::Completed:
      std::fprintf(stderr, "Completed: %s.\n", e.text.c_str());
      return 0;
    case Ending::Kind::Cancelled:
      if (e.signal != 0) {
        std::fprintf(stderr, "Cancelled by %s: %s.\n", e.signal == SIGHUP ? "SIGHUP" : "SIGTERM",
                     e.text.c_str());
        return 128 + e.signal;
      }
      std::fprintf(stderr, "Cancelled: %s.\n", e.text.c_str());
      return kExitFailed;
    case Ending::Kind::Failed:
      std::fprintf(stderr, "Failed: %s\n", e.text.c_str());
      return kExitFailed;
  }
  return kExitFailed;
}

}  // namespace brantle::cli
