#include "input_checks.h"

#include <sys/stat.h>

#include <cstdio>

#include "console_ui.h"
#include "dif/DIFCore.h"
#include "files/file_access.h"
#include "formats/input_file_problem.h"
#include "formats/s500_files.h"
#include "formats/tfs_pair.h"
#include "help_texts.h"
#include "lang/fill_text.h"
#include "lang/lang_get.h"
#include "operations/flash_pages.h"
#include "operations/flash_workflow.h"
#include "operations/hex_data.h"
#include "operations/offline_service.h"
#include "phone_commands.h"
#include "run_log.h"

namespace brantle::cli {
namespace {

// The page's hexadecimal data rule decides what the text means. Where the rule
// would move the offset to make the bytes fit, the command refuses instead: a
// script asked for that address and no other.
int CheckHexData(const Options& o, const NorAreas& areas, std::string& bytes) {
  const std::string& text = o.operands[1];
  if (o.offset.empty()) return UsageError("flash hex needs --offset HEX", "flash");
  const int32_t offset = TrimmedFieldValue(o.offset);
  if (offset < 0) return UsageError("--offset needs a hexadecimal NOR address", "flash");
  const HexDataView view = ApplyHexDataRule(text, o.offset, areas.Total());
  if (view.Bytes.empty())
    return UsageError("flash hex: \"" + text +
                          "\" is not hexadecimal data (bytes as pairs of digits 0-9, "
                          "A-F separated by blanks, e.g. \"0A 1B 2C\")",
                      "flash");
  if (!view.ActionEnabled || TrimmedFieldValue(view.Offset) != offset)
    return UsageError("flash hex: " + std::to_string(view.Bytes.size()) + " bytes at " +
                          RegionHex(static_cast<uint32_t>(offset)) +
                          " reach beyond the NOR's end (" + RegionHex(areas.Total() - 1) + ")",
                      "flash");
  bytes = view.Bytes;
  return 0;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The DIF choices name files as the merge lists them: without their folder.
bool Named(const std::vector<std::string>& names, const std::string& file) {
  for (const std::string& n : names)
    if (BaseName(n) == BaseName(file)) return true;
  return false;
}

// Why the NOR data or the TFS files of a DIF have nowhere to go; empty where they do.
struct DifTargets {
  std::string norMissing;
  std::string tfsMissing;
};

void LeftOut(const std::string& file, const char* part, const std::string& why) {
  std::fprintf(stderr, "%s: its %s left out (%s)\n", file.c_str(), part, why.c_str());
}

// What one file puts where, as the choices the options make for it. A file with
// nothing that goes anywhere would be passed over.
int CheckDifUse(const std::string& file, const TDIFFile& dif, bool backwards, bool noTfs,
                const DifTargets& targets) {
  const bool reversal = HasBlockKind(dif, "nOrR");
  if (backwards && !reversal) {
    std::fprintf(stderr,
                 "%s holds no undo data and cannot be applied backwards. A DIF made with a "
                 "separate undo DIF (dif create --reversal separate --undo-out FILE) has its "
                 "undo data in that file: apply it forwards.\n",
                 file.c_str());
    return kExitUsage;
  }
  // Without an Undo choice, a file of undo data only is applied backwards too.
  const bool nor = HasBlockKind(dif, "NORD") || reversal;
  const bool files = !backwards && !noTfs && HasBlockKind(dif, "TFSF");
  const bool norUsed = nor && targets.norMissing.empty();
  const bool filesUsed = files && targets.tfsMissing.empty();
  if (nor && !norUsed) LeftOut(file, "NOR data is", targets.norMissing);
  if (files && !filesUsed) LeftOut(file, "TFS files are", targets.tfsMissing);
  if (norUsed || filesUsed) return 0;
  std::fprintf(stderr, "%s: nothing in it %s\n", file.c_str(),
               nor || files ? "can be used here" : "to apply (no NOR data, no TFS files)");
  return kExitUsage;
}

// The page's reader on each file, as the flash will run it once connected: a file
// it would refuse is refused now, named, before the phone is touched. image gets
// what the flash will write.
bool ReadAsTheFlashWill(const Options& o, TDIFFile& image) {
  ConsoleProgress progress;
  ConsoleUi ui(progress, false);
  ui.log = RunLog();
  const std::string& kind = o.operands[0];
  bool ok = true;
  if (kind == "bin" || kind == "diff") {
    for (size_t i = 1; i < o.operands.size(); ++i) {
      ui.context = o.operands[i] + ": ";
      TDIFFile file;
      ok = BuildBinImage(ui, o.operands[i], kind == "bin" ? image : file) && ok;
    }
    ui.context.clear();
    if (ok && kind == "diff")
      BuildBinDiffImage(ui, o.operands[1], o.operands[2], o.compare == "64k" ? 1 : 0, image);
  } else if (kind == "s3") {
    ui.context = o.operands[1] + ": ";
    ok = BuildS3Image(ui, o.operands[1], image);
  } else if (kind == "part") {
    ui.context = o.operands[1] + ": ";
    ok = BuildBinPartImage(ui, {o.operands[1], o.fileOffset, o.phoneOffset, o.length}, image);
  } else if (kind == "s500") {
    ok = ReadS500Files(ui, image, {o.bin1, o.ogm1, o.bin2, o.ogm2});
  }
  return ok;
}

// The EEPROM question of a flash comes for sure when its image reaches into the
// EEPROM area.
int CheckEepromQuestion(const Options& o, const NorAreas& areas, const TDIFFile& image) {
  bool touches = false;
  for (const TDIFBlock& block : image.Blocks)
    touches = touches || ((block.Kind == "NORD" || block.Kind == "nOrR") &&
                          TouchesEeprom(NORAddress(block), NORDataLength(block), areas));
  return CheckEepromQuestion(o, areas, touches);
}

// flash part: the three hexadecimal fields the window's page has.
int CheckPartFields(const Options& o) {
  for (const auto& [name, text] :
       {std::pair<const char*, const std::string&>{"--file-offset", o.fileOffset},
        {"--length", o.length},
        {"--phone-offset", o.phoneOffset}}) {
    if (text.empty())
      return UsageError("flash part needs --file-offset HEX, --length HEX and --phone-offset HEX",
                        "flash");
    if (TrimmedFieldValue(text) < 0)
      return UsageError(std::string(name) + " " + text + " is not a hexadecimal number", "flash");
  }
  // The window's fields never let the piece pass the file's end; here it is refused.
  struct stat st {};
  const std::string& file = o.operands[1];
  const uint64_t end =
      uint64_t(uint32_t(TrimmedFieldValue(o.fileOffset))) + uint32_t(TrimmedFieldValue(o.length));
  if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && end > uint64_t(st.st_size)) {
    char size[32];
    std::snprintf(size, sizeof size, "%llX", static_cast<unsigned long long>(st.st_size));
    return UsageError("--file-offset " + o.fileOffset + " and --length " + o.length +
                          " reach beyond the end of " + file + " (" + size + " bytes, hexadecimal)",
                      "flash");
  }
  return 0;
}

// tfs flash and tfs put: the pair, or each file with the path it goes to; tfs
// format: someone to answer its question.
int CheckTfsInputs(const Options& o) {
  const std::string& kind = o.operands[0];
  if (kind == "format" && !o.yes && !CanAsk())
    return UsageError(
        "tfs format asks before it formats the NAND and there is no terminal to ask on: give "
        "--yes",
        "tfs");
  if (kind != "flash" && kind != "put") return 0;
  std::vector<std::string> sources;
  for (size_t i = 1; i < o.operands.size(); ++i) {
    const std::string& a = o.operands[i];
    const size_t eq = a.find('=');
    if (kind == "put" && (eq == std::string::npos || eq == 0 || a.compare(eq + 1, 1, "/") != 0))
      return UsageError("tfs put takes LOCAL=/TFS/PATH, not " + a, "tfs");
    if (kind == "put" && !IsTfsFileName(a.substr(eq + 1)))
      return UsageError(FillText(LangGet("Msg_Tfs_Name_No_File"), {{"name", a.substr(eq + 1)}}),
                        "tfs");
    sources.push_back(kind == "put" ? a.substr(0, eq) : a);
  }
  // An empty file is a file too; a pair whose CFG lists folders only has an empty TFS.
  bool ok = CheckReadable(sources, EmptyInput::Accepted);
  if (ok && kind == "flash") {
    ConsoleProgress progress;
    ConsoleUi ui(progress, false);
    ui.log = RunLog();
    ui.context = sources[0] + ": ";
    TDIFFile pair;
    ok = ReadTfsPair(ui, pair, sources[0], nullptr);
    const std::string bad = ok ? TfsNameNamingNoFile(pair) : "";
    if (!bad.empty())
      return UsageError(
          sources[0] + ": " + FillText(LangGet("Msg_Tfs_Name_No_File"), {{"name", bad}}), "tfs");
  }
  if (ok) return 0;
  std::fprintf(stderr, "Nothing was sent to the phone.\n");
  return kExitUsage;
}

}  // namespace

bool CheckReadable(const std::vector<std::string>& files, EmptyInput empty) {
  bool ok = true;
  for (const std::string& file : files) {
    const std::string problem = file.empty() ? "" : InputFileProblem(file, empty);
    if (problem.empty()) continue;
    std::fprintf(stderr, "%s\n", problem.c_str());
    LogRun("refused: " + problem);
    ok = false;
  }
  return ok;
}

int CheckEepromQuestion(const Options& o, const NorAreas& areas, bool touches) {
  if (!touches || o.eeprom != "ask" || o.yes || CanAsk()) return 0;
  const std::string does = o.command == "erase" ? "reaches into" : "writes into";
  return UsageError("the " + o.command + " " + does + " the EEPROM area (" +
                        RegionHex(areas.EepromStart()) + "-" + RegionHex(areas.Total() - 1) +
                        ") and there is no terminal to ask on: give --eeprom yes or --eeprom no",
                    o.command);
}

int CheckInputs(const Options& o, const NorAreas& areas, CheckedInputs& inputs) {
  if (o.command == "tfs") return CheckTfsInputs(o);
  if (o.command != "flash") return 0;
  const std::string& kind = o.operands[0];
  TDIFFile image;
  if (kind == "hex") {
    if (const int status = CheckHexData(o, areas, inputs.hexBytes)) return status;
    BuildHexImage(o.offset, inputs.hexBytes, image);
    return CheckEepromQuestion(o, areas, image);
  }
  if (kind == "part") {
    if (const int status = CheckPartFields(o)) return status;
  }
  const std::vector<std::string> files = FlashInputs(o);
  if (files.empty())
    return UsageError("flash s500 needs --bin1, --bin2, --ogm1 or --ogm2", "flash");
  int status = CheckReadable(files) ? 0 : kExitUsage;
  if (status == 0 && kind == "dif") {
    std::vector<TDIFFile> loaded;
    status = CheckDifFiles(files, &loaded) ? 0 : kExitUsage;
    // Only the phones with a file system take TFS files.
    const DifTargets targets{"", o.family == "Opti" || o.family == "S500"
                                     ? "the " + o.family + " phones have no file system"
                                     : ""};
    for (size_t i = 0; status == 0 && i < files.size(); ++i)
      status = CheckDifUse(files[i], loaded[i], false, false, targets) ? kExitUsage : 0;
    for (const TDIFFile& dif : loaded)
      image.Blocks.insert(image.Blocks.end(), dif.Blocks.begin(), dif.Blocks.end());
  } else if (status == 0) {
    status = ReadAsTheFlashWill(o, image) ? 0 : kExitUsage;
  }
  if (status != 0) {
    std::fprintf(stderr, "Nothing was sent to the phone.\n");
    return status;
  }
  if (!HasDataToFlash(image)) {
    std::fprintf(stderr, "%s\n", LangGet("Msg_No_Data_To_Flash").c_str());
    return kExitUsage;
  }
  return CheckEepromQuestion(o, areas, image);
}

std::vector<std::string> FlashInputs(const Options& o) {
  std::vector<std::string> files(o.operands.begin() + 1, o.operands.end());
  if (o.operands[0] == "hex") return {};
  if (o.operands[0] == "s500")
    for (const std::string* name : {&o.bin1, &o.bin2, &o.ogm1, &o.ogm2})
      if (!name->empty()) files.push_back(*name);
  return files;
}

bool CheckDifFiles(const std::vector<std::string>& files, std::vector<TDIFFile>* loaded) {
  bool ok = true;
  for (const std::string& file : files) {
    TDIFFile dif;
    const int rc = LoadCheckedDIF(file, dif);
    if (rc != kDIFOk) std::fprintf(stderr, "%s: %s\n", file.c_str(), DIFErrorText(rc, dif).c_str());
    ok = ok && rc == kDIFOk;
    if (loaded) loaded->push_back(std::move(dif));
  }
  return ok;
}

int CheckDifApply(const std::vector<std::string>& files, const std::vector<std::string>& undo,
                  const std::vector<std::string>& noTfs, const std::string& bin,
                  const std::string& tfs) {
  for (const auto* option : {&undo, &noTfs}) {
    const std::string flag = option == &undo ? "--undo " : "--no-tfs ";
    for (const std::string& name : *option) {
      size_t matches = 0;
      for (const std::string& file : files) matches += Named({name}, file) ? 1 : 0;
      if (matches == 0) return UsageError(flag + name + " is none of the DIF files given", "dif");
      // The choice goes by the name without its folder, as the merge lists the files.
      if (matches > 1)
        return UsageError(flag + name + " names more than one of the DIF files given (" +
                              BaseName(name) + "); give them names of their own",
                          "dif");
    }
  }
  std::vector<TDIFFile> loaded;
  if (!CheckDifFiles(files, &loaded)) return kExitUsage;
  const DifTargets targets{bin.empty() ? "no --bin IMAGE given" : "",
                           tfs.empty() ? "no --tfs OUT.tfs given" : ""};
  for (size_t i = 0; i < files.size(); ++i) {
    if (const int status = CheckDifUse(files[i], loaded[i], Named(undo, files[i]),
                                       Named(noTfs, files[i]), targets))
      return status;
  }
  return 0;
}

}  // namespace brantle::cli
