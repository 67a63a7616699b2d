#include "offline_commands.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "comment_file.h"
#include "console_progress.h"
#include "console_ui.h"
#include "dif/DIFCore.h"
#include "dif/DIFFiles.h"
#include "files/file_access.h"
#include "formats/nor_regions.h"
#include "formats/rtf_text.h"
#include "formats/tfs_pair.h"
#include "help_texts.h"
#include "input_checks.h"
#include "operations/offline_service.h"
#include "phone_commands.h"
#include "run_ending.h"
#include "target_checks.h"
#include "run_log.h"

namespace brantle::cli {
namespace {

// Options of the offline commands: flags, options with a value (repeatable), and
// the positional words in order.
struct Args {
  std::vector<std::string> words;
  std::map<std::string, std::vector<std::string>> values;
  std::vector<std::string> flags;
  bool Flag(const std::string& f) const {
    return std::find(flags.begin(), flags.end(), f) != flags.end();
  }
  std::string Value(const std::string& key) const {
    const auto it = values.find(key);
    return it == values.end() ? std::string() : it->second.back();
  }
  std::vector<std::string> All(const std::string& key) const {
    const auto it = values.find(key);
    return it == values.end() ? std::vector<std::string>() : it->second;
  }
};

const std::vector<std::string> kValueOptions = {
    "--original", "--target", "--tfs",  "--merge",  "--compare", "--reversal",    "--undo-out",
    "--comment",  "--bin",    "--undo", "--no-tfs", "-o",        "--undo-comment"};
const std::vector<std::string> kFlagOptions = {"--zlib",      "--undo-zlib", "--yes",
                                               "--overwrite", "--help",      "-h"};

bool Parse(const std::vector<std::string>& in, Args& out, std::string& error) {
  for (size_t i = 0; i < in.size(); ++i) {
    const std::string& a = in[i];
    if (std::find(kFlagOptions.begin(), kFlagOptions.end(), a) != kFlagOptions.end()) {
      out.flags.push_back(a);
    } else if (std::find(kValueOptions.begin(), kValueOptions.end(), a) != kValueOptions.end()) {
      if (i + 1 >= in.size()) return error = a + " needs a value", false;
      out.values[a].push_back(in[++i]);
    } else if (a.size() > 1 && a[0] == '-') {
      return error = "unknown option " + a, false;
    } else {
      out.words.push_back(a);
    }
  }
  return true;
}

bool ParseParams(const Args& a, TDIFCreationParams& p, std::string& error) {
  const std::string compare = a.Value("--compare");
  if (compare == "64k")
    p.CType = kComparison64K;
  else if (!compare.empty() && compare != "bytewise")
    return error = "--compare takes bytewise or 64k", false;
  const std::string reversal = a.Value("--reversal");
  if (reversal == "separate")
    p.RType = kReversalSeparate;
  else if (reversal == "embed")
    p.RType = kReversalEmbed;
  else if (!reversal.empty() && reversal != "none")
    return error = "--reversal takes none, separate or embed", false;
  p.Compress = a.Flag("--zlib") ? kCompressionZLib : kCompressionNone;
  return true;
}

// A refusal of input files, after the files were named with their reasons.
int NothingWritten() {
  std::fprintf(stderr, "Nothing was written.\n");
  return kExitUsage;
}

std::string Listed(const S500Names& names) {
  return names[kS500Bin1] + ", " + names[kS500Bin2] + ", " + names[kS500Ogm1] + " and " +
         names[kS500Ogm2];
}

std::string Hex8(uint32_t v) {
  char buf[12];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}

int DifInfo(const Args& a) {
  if (a.words.size() < 3) return UsageError("dif info needs at least one FILE", "dif");
  const std::vector<std::string> names(a.words.begin() + 2, a.words.end());
  // Every file is read before anything is listed: one that cannot be used is named
  // with the reason, and nothing is listed.
  if (!CheckReadable(names)) return kExitUsage;
  std::vector<std::string> contents(names.size());
  std::vector<TDIFFile> difs(names.size());
  bool ok = true;
  for (size_t i = 0; i < names.size(); ++i) {
    const int r = ReadWholeFile(names[i], contents[i]) == FileStatus::Ok
                      ? ParseDIF(contents[i], difs[i])
                      : kDIFCannotOpen;
    if (r == kDIFOk) continue;
    std::fprintf(stderr, "%s: %s\n", names[i].c_str(), DIFErrorText(r, difs[i]).c_str());
    ok = false;
  }
  if (!ok) return kExitUsage;
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    const std::string& bytes = contents[i];
    const TDIFFile& dif = difs[i];
    std::printf("%s: %s, phone ID '%s', creator '%s', %zu blocks\n", name.c_str(),
                bytes.compare(0, 4, "KTZZ") == 0 ? "zlib-compressed" : "plain", dif.PhoneID.c_str(),
                dif.CreatorText.c_str(), dif.Blocks.size());
    std::string comment;
    for (size_t k = 0; k < dif.Blocks.size(); ++k) {
      const TDIFBlock& b = dif.Blocks[k];
      std::string where;
      size_t length = b.Data.size();
      if (b.Kind == "NORD" || b.Kind == "nOrR") {
        where = "at " + Hex8(NORAddress(b));
        length = NORDataLength(b);
      } else if (b.Kind == "TFSF") {
        std::string path, contents;
        TDIFFile::GetTFSFile(b, path, contents);
        where = path;
        length = contents.size();
      } else if (b.Kind == "dIFC") {
        comment += RtfToPlainText(TDIFFile::GetComment(b));
      }
      std::printf("  %4zu %s %-12s %zu bytes\n", k, b.Kind.c_str(), where.c_str(), length);
    }
    if (!comment.empty()) std::printf("  comment:\n%s\n", comment.c_str());
  }
  return 0;
}

int DifCreate(const Args& a, ConsoleUi& ui) {
  CreateDifRequest r;
  r.Original = a.Value("--original");
  r.Target = a.Value("--target");
  r.Tfs = a.Value("--tfs");
  r.Merge = a.All("--merge");
  r.Output = a.Value("-o");
  r.UndoOutput = a.Value("--undo-out");
  std::string error;
  if (!ParseParams(a, r.Params, error)) return UsageError(error, "dif");
  if (r.Output.empty()) return UsageError("dif create needs -o OUT.dif", "dif");
  if (r.Original.empty() && r.Target.empty() && r.Tfs.empty() && r.Merge.empty())
    return UsageError("dif create needs --target, --tfs or --merge", "dif");
  if (r.Params.RType == kReversalSeparate && r.UndoOutput.empty())
    return UsageError("--reversal separate needs --undo-out R.dif", "dif");
  // The window only takes a TFS file whose CFG lies beside it.
  if (!r.Tfs.empty() && access(CfgNameFor(r.Tfs).c_str(), F_OK) != 0)
    return UsageError(
        "the TFS file " + r.Tfs + " has no CFG file beside it (" + CfgNameFor(r.Tfs) + ")", "dif");
  const CreateDifState state = ComputeCreateDifState(
      !r.Original.empty(), !r.Target.empty(), !r.Tfs.empty(), int(r.Merge.size()), false, false);
  if (!state.CTypeEnabled && r.Params.CType != kComparisonBytewise)
    return UsageError("--compare needs --original together with --target or --merge", "dif");
  TargetCheck targets{
      {r.Output},
      {r.Original, r.Target, r.Tfs, a.Value("--comment"), a.Value("--undo-comment")},
      a.Flag("--overwrite")};
  if (r.Params.RType == kReversalSeparate) targets.targets.push_back(r.UndoOutput);
  if (!r.Tfs.empty()) targets.inputs.push_back(CfgNameFor(r.Tfs));
  targets.inputs.insert(targets.inputs.end(), r.Merge.begin(), r.Merge.end());
  // The TFS file of a pair whose CFG lists folders only is empty, and whole.
  if (!CheckReadable({r.Original, r.Target}) || !CheckReadable(r.Merge) ||
      !CheckReadable({r.Tfs, a.Value("--comment"), a.Value("--undo-comment")},
                     EmptyInput::Accepted))
    return NothingWritten();
  if (const int status = CheckTargets(targets, "dif")) return status;
  if (!CheckDifFiles(r.Merge)) return NothingWritten();
  if (!LoadComment(ui, a.Value("--comment"), r.Params.Comment) ||
      !LoadComment(ui, a.Value("--undo-comment"), r.UndoParams.Comment))
    return NothingWritten();
  r.UndoParams.Compress = a.Flag("--undo-zlib") ? kCompressionZLib : kCompressionNone;
  bool undoWritten = false;
  if (!CreateDif(ui, r, &undoWritten))
    return ui.errors() ? kExitFailed : UsageError("nothing to put into the DIF", "dif");
  std::string done = r.Output + " written";
  if (undoWritten)
    done += ", and its undo DIF " + r.UndoOutput;
  else if (r.Params.RType == kReversalSeparate)
    done += std::string("; no undo DIF written: ") +
            (r.Original.empty() ? "no --original IMAGE to take the original bytes from"
                                : "nothing to compare the original with (no --target or --merge)");
  return End({Ending::Kind::Completed, done});
}

int DifApply(const Args& a, ConsoleUi& ui) {
  std::vector<std::string> files(a.words.begin() + 2, a.words.end());
  if (files.empty()) return UsageError("dif apply needs at least one DIF file", "dif");
  const std::string bin = a.Value("--bin"), tfs = a.Value("--tfs");
  if (bin.empty() && tfs.empty())
    return UsageError("dif apply needs --bin IMAGE or --tfs OUT.tfs", "dif");
  const std::vector<std::string> undo = a.All("--undo"), noTfs = a.All("--no-tfs");
  // An image that is there is read as the starting point; one that is not starts as FF.
  if (!CheckReadable(files) ||
      (access(bin.c_str(), F_OK) == 0 && !CheckReadable({bin}, EmptyInput::Accepted)))
    return NothingWritten();
  // The image is changed in place; the TFS pair is written anew.
  if (const int status = CheckTargets({{bin}, files, true}, "dif")) return status;
  if (!tfs.empty())
    if (const int status =
            CheckTargets({{tfs, CfgNameFor(tfs)}, files, a.Flag("--overwrite")}, "dif"))
      return status;
  if (const int status = CheckDifApply(files, undo, noTfs, bin, tfs))
    return status == kExitUsage ? NothingWritten() : status;
  if (!bin.empty() && access(bin.c_str(), F_OK) != 0)
    std::fprintf(stderr,
                 "%s does not exist yet: it is made from the DIFs alone, every byte they do not "
                 "write being FF.\n",
                 bin.c_str());
  ui.undoFiles.insert(undo.begin(), undo.end());
  ui.noTfsFiles.insert(noTfs.begin(), noTfs.end());
  const int applied = ApplyDifs(ui, files, bin, tfs);
  if (applied == 0) {
    if (!ui.errors()) std::fprintf(stderr, "Nothing was applied.\n");
    return kExitFailed;
  }
  std::string written = bin;
  if (!tfs.empty()) written += (bin.empty() ? "" : " and ") + tfs + " with " + CfgNameFor(tfs);
  return End({Ending::Kind::Completed, written + " written (" + std::to_string(applied) +
                                           " DIF file" + (applied == 1 ? "" : "s") + " applied)"});
}

int Convert(const Args& a, ConsoleUi& ui) {
  if (a.words.size() != 4) return UsageError("convert needs KIND INPUT OUTPUT", "convert");
  const std::string& kind = a.words[1];
  const std::string& in = a.words[2];
  const std::string& out = a.words[3];
  const size_t dash = kind.find("-to-");
  if (dash == std::string::npos) return UsageError("unknown conversion " + kind, "convert");
  const std::string from = kind.substr(0, dash), to = kind.substr(dash + 4);
  const std::map<std::string, FirmwareKind> kinds = {
      {"bin", FirmwareKind::Bin}, {"dif", FirmwareKind::Dif}, {"s3", FirmwareKind::S3}};
  const bool fromS500 = from == "s500", toS500 = to == "s500";
  if ((!fromS500 && !kinds.count(from)) || (!toS500 && !kinds.count(to)) || from == to ||
      (fromS500 && to == "s3") || (toS500 && from == "s3") || (from == "bin" && to == "dif") ||
      (from == "dif" && to == "bin"))
    return UsageError("unknown conversion " + kind, "convert");

  const S500Names inSet = S500ProposedNames(in), outSet = S500ProposedNames(out);
  TargetCheck targets{{out}, {in, a.Value("--comment")}, a.Flag("--overwrite")};
  if (toS500) targets.targets.assign(outSet.begin(), outSet.end());
  if (fromS500) targets.inputs.insert(targets.inputs.end(), inSet.begin(), inSet.end());
  if (!fromS500 && !CheckReadable({in})) return NothingWritten();
  if (!CheckReadable({a.Value("--comment")}, EmptyInput::Accepted)) return NothingWritten();
  if (const int status = CheckTargets(targets, "convert")) return status;

  TDIFCreationParams params;
  params.Compress = a.Flag("--zlib") ? kCompressionZLib : kCompressionNone;
  if (!LoadComment(ui, a.Value("--comment"), params.Comment)) return NothingWritten();

  TDIFFile dif;
  if (fromS500) {
    // Any subset of the set: the files of the stem that exist.
    S500Names names = inSet;
    bool any = false;
    for (auto& n : names) {
      if (access(n.c_str(), F_OK) != 0) n.clear();
      any = any || !n.empty();
    }
    if (!any)
      return UsageError("no file of the set " + inSet[0] + ", " + inSet[1] + ", " + inSet[2] +
                            ", " + inSet[3] + " exists",
                        "convert");
    // An OGM file of a window without data is empty, and whole.
    if (!CheckReadable({names.begin(), names.end()}, EmptyInput::Accepted)) return NothingWritten();
    // A file the reader refuses is an input that cannot be used, found before anything
    // was written.
    if (!ReadS500Files(ui, dif, names)) return NothingWritten();
  } else if (!LoadFirmware(ui, in, kinds.at(from), dif)) {
    return NothingWritten();
  }
  const bool ok = toS500 ? SaveS500(ui, dif, from == "bin", outSet)
                         : SaveFirmware(ui, dif, out, kinds.at(to), params);
  if (!ok) return kExitFailed;
  std::string done =
      (toS500 ? Listed(outSet) : out) + " written from " + (fromS500 ? Listed(inSet) : in);
  uint32_t first = 0, last = 0;
  if (NORDataEnd(dif) == 0)
    done += "; " + in + " holds no NOR data, so the result holds none either";
  else if (toS500 && S500LeftOut(dif, first, last))
    done += "; NOR " + RegionHex(first) + "-" + RegionHex(last) +
            " was left out (a 2BIN+2OGM set holds the firmware area 0-" +
            RegionHex(kS500FirmwareEnd - 1) + " only)";
  return End({Ending::Kind::Completed, done});
}

}  // namespace

bool IsOfflineCommand(const std::vector<std::string>& args) {
  return !args.empty() && (args[0] == "dif" || args[0] == "convert");
}

int RunOfflineCommand(const std::vector<std::string>& in) {
  Args a;
  std::string error;
  if (!Parse(in, a, error)) return UsageError(error, in[0]);
  if (a.Flag("--help") || a.Flag("-h")) {
    std::fputs(CommandHelp(in[0]).c_str(), stdout);
    return 0;
  }
  ConsoleProgress progress;
  ConsoleUi ui(progress, a.Flag("--yes"));
  ui.log = RunLog();
  if (a.words[0] == "convert") return Convert(a, ui);
  const std::string sub = a.words.size() > 1 ? a.words[1] : "";
  if (sub == "info") return DifInfo(a);
  if (sub == "create") return DifCreate(a, ui);
  if (sub == "apply") return DifApply(a, ui);
  return UsageError("dif takes info, create or apply", "dif");
}

}  // namespace brantle::cli
