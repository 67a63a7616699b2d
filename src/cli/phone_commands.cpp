// The phone commands of brantle-cli: each runs the window's workflow with the
// options in place of the window's fields and dialogs.

#include "phone_commands.h"

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "comment_file.h"
#include "engine/ktze_loaders.h"
#include "engine/trace.h"
#include "files/simulator_process.h"
#include "files/stand_in_loaders.h"
#include "formats/nor_regions.h"
#include "formats/tfs_pair.h"
#include "help_texts.h"
#include "input_checks.h"
#include "operations/dump_workflow.h"
#include "operations/erase_workflow.h"
#include "operations/flash_pages.h"
#include "operations/flash_workflow.h"
#include "operations/tfs_workflows.h"
#include "phone_app.h"
#include "phone_checks.h"
#include "run_ending.h"
#include "target_checks.h"

namespace brantle::cli {
namespace {

// --undo FILE [--zlib] [--comment FILE]: the undo box checked, the save dialog
// answered with FILE.
bool UndoChoice(PhoneApp& app, const Options& o, FlashUndoChoice& undo) {
  undo.Make = !o.undo.empty();
  undo.Params.Compress = o.zlib ? 1 : 0;
  if (undo.Make) app.ui.fileAnswers.push_back(o.undo);
  return LoadComment(app.ui, o.commentFile, undo.Params.Comment);
}

void Flash(PhoneApp& app, const Options& o, const CheckedInputs& inputs,
           const FlashUndoChoice& undo) {
  OperationFrame& frame = app.frame;
  ConnectDriver& driver = app.driver;
  const std::string& kind = o.operands[0];
  const std::vector<std::string> files(o.operands.begin() + 1, o.operands.end());
  if (kind == "bin") {
    FlashBinPage(frame, driver, files[0], undo);
  } else if (kind == "dif") {
    FlashDifPage page;
    FlashUndoChoice choice = undo;
    const std::string comment = undo.Params.Comment;
    page.Select(frame, files, choice);
    // A comment given on the command line wins over the merged DIFs' own.
    if (!o.commentFile.empty()) choice.Params.Comment = comment;
    page.Flash(frame, driver, choice);
  } else if (kind == "diff") {
    FlashBinDiffPage(frame, driver, files[0], files[1], o.compare == "64k" ? 1 : 0, undo);
  } else if (kind == "s500") {
    S500Names names;
    names[kS500Bin1] = o.bin1;
    names[kS500Bin2] = o.bin2;
    names[kS500Ogm1] = o.ogm1;
    names[kS500Ogm2] = o.ogm2;
    FlashS500Page(frame, driver, names, undo);
  } else if (kind == "s3") {
    FlashS3Page(frame, driver, files[0], undo);
  } else if (kind == "part") {
    FlashBinPartPage(frame, driver, {files[0], o.fileOffset, o.phoneOffset, o.length}, undo);
  } else if (kind == "hex") {
    FlashHexPage(frame, driver, o.offset, inputs.hexBytes, undo);
  }
}

void Tfs(PhoneApp& app, const Options& o) {
  const std::string& kind = o.operands[0];
  if (kind == "flash") {
    FlashTfsPair(app.frame, app.driver, o.operands[1]);
  } else if (kind == "put") {
    std::vector<TfsUploadRow> rows;
    for (size_t i = 1; i < o.operands.size(); ++i) {
      const std::string& a = o.operands[i];
      const size_t eq = a.find('=');
      rows.push_back({a.substr(0, eq), eq == std::string::npos ? "" : a.substr(eq + 1)});
    }
    FlashTfsFiles(app.frame, app.driver, rows);
  } else if (kind == "format") {
    FormatNand(app.frame, app.driver);
  } else if (kind == "dump") {
    DumpTfs(app.frame, app.driver, o.operands[1]);
  } else if (kind == "raw-read") {
    DumpRawSectors(app.frame, app.driver, o.operands[1], o.operands[2], o.operands[3]);
  }
}

// What a command takes from its options and files, made ready before the phone is
// touched.
struct Prepared {
  CheckedInputs inputs;
  std::string start, end;  // dump and erase: the region's address fields
  FlashUndoChoice undo;
  struct stat undoBefore {};  // the undo file as it was (st_ino 0: none)
};

// Writers replace a file by renaming a new one over it: a new inode.
bool Written(const std::string& path, const struct stat& before) {
  struct stat now {};
  return !path.empty() && stat(path.c_str(), &now) == 0 &&
         (now.st_ino != before.st_ino || now.st_dev != before.st_dev);
}

// The files a command writes, and those it reads (which none of them may be).
TargetCheck Targets(const Options& o) {
  TargetCheck check;
  check.overwrite = o.overwrite;
  if (o.command == "dump") check.targets = {o.output};
  if (o.command == "dump-s500") {
    const S500Names names = S500ProposedNames(o.output);
    check.targets.assign(names.begin(), names.end());
  }
  if (o.command == "flash" || o.command == "erase") check.targets = {o.undo};
  if (o.command == "flash") check.inputs = FlashInputs(o);
  if (o.command == "tfs") {
    const std::string& kind = o.operands[0];
    if (kind == "dump") check.targets = {o.operands[1], CfgNameFor(o.operands[1])};
    if (kind == "raw-read") check.targets = {o.operands[3]};
    if (kind == "flash") check.inputs = {o.operands[1], CfgNameFor(o.operands[1])};
    for (size_t i = 1; kind == "put" && i < o.operands.size(); ++i)
      check.inputs.push_back(o.operands[i].substr(0, o.operands[i].find('=')));
  }
  check.inputs.push_back(o.commentFile);
  // A trace named after a backup would replace it as surely as a dump would.
  check.targets.push_back(o.trace);
  return check;
}

// Everything that can be checked before the port is touched; 0 to go ahead.
int Prepare(PhoneApp& app, const Options& o, Prepared& p) {
  const NorAreas& areas = app.frame.Areas();
  if (const int status = CheckInputs(o, areas, p.inputs)) return status;
  if (const int status = CheckRegion(o, areas, p.start, p.end)) return status;
  if (o.command == "erase") {
    const uint32_t first = static_cast<uint32_t>(FieldHexToInt(p.start));
    const uint32_t last = static_cast<uint32_t>(FieldHexToInt(p.end));
    if (const int status =
            CheckEepromQuestion(o, areas, TouchesEeprom(first, uint64_t{last} - first + 1, areas)))
      return status;
  }
  if (const int status = CheckSectors(o)) return status;
  if (!UndoChoice(app, o, p.undo)) {
    std::fprintf(stderr, "Nothing was sent to the phone.\n");
    return kExitUsage;
  }
  if (const int status = CheckTargets(Targets(o), o.command)) return status;
  if (!o.undo.empty()) stat(o.undo.c_str(), &p.undoBefore);
  if (const int status = CheckLoaders(o)) return status;
  if (!o.trace.empty()) {
    std::string error;
    auto tracer = Tracer::OpenFile(o.trace, error);
    if (!tracer) return UsageError(error, o.command);
    app.link.SetTrace(tracer);
  }
  return 0;
}

void Run(PhoneApp& app, const Options& o, const Prepared& p) {
  if (o.command == "identify") {
    std::fputs(app.FlashText().c_str(), stdout);
    // Out before the ending line on standard error, also when both go to one file.
    std::fflush(stdout);
    return;
  }
  const std::string &start = p.start, &end = p.end;
  const FlashUndoChoice& undo = p.undo;
  if (o.command == "dump") {
    const DumpFileType type = o.format == "s3"    ? DumpFileType::S3
                              : o.format == "dif" ? DumpFileType::Dif
                                                  : DumpFileType::BinCla;
    DumpNor(app.frame, app.driver, start, end, type, o.output, undo.Params,
            o.resume ? DumpResume::Yes : DumpResume::No);
  } else if (o.command == "dump-s500") {
    DumpS500(app.frame, app.driver, S500ProposedNames(o.output));
  } else if (o.command == "flash") {
    Flash(app, o, p.inputs, undo);
  } else if (o.command == "erase") {
    EraseNor(app.frame, app.driver, start, end, undo.Make, undo.Params);
  } else if (o.command == "tfs") {
    Tfs(app, o);
  }
}

// The first line of the error that stopped the command.
std::string Reason(const PhoneApp& app) {
  const std::string& text = app.ui.lastError();
  return text.substr(0, text.find('\n'));
}

// Connects, runs the command and says how it went. The connection ends with app.
Ending Session(PhoneApp& app, const Options& o, const Prepared& p, const std::string& port) {
  Ending ending;
  ending.kind = Ending::Kind::Cancelled;
  if (!app.Connect(port)) {
    ending.signal = TerminationSignal();
    if (ending.signal != 0 || app.Cancelled()) {
      ending.text = "nothing on the phone was read or written";
      return ending;
    }
    return {Ending::Kind::Failed, Reason(app)};
  }
  if (!TerminationSignal() && !app.Cancelled()) Run(app, o, p);
  const RunFacts facts{p.start, p.end, Written(o.undo, p.undoBefore), app.frame.Tally()};
  ending.signal = TerminationSignal();
  if (ending.signal == 0 && app.Failed())
    return {Ending::Kind::Failed, Reason(app) + UndoSavedText(o, facts)};
  if (ending.signal != 0 || app.Cancelled()) {
    ending.text = UntouchedText(o, facts);
    return ending;
  }
  return {Ending::Kind::Completed, CompletedText(o, facts)};
}

}  // namespace

int RunPhoneCommand(const Options& o) {
  CatchTermination();
  CatchInterrupt();
  Ending ending;
  {
    // First: the engines and the checks read the loaders folder it may set.
    StandInLoaders standIns;
    const std::string model = o.simulate == "Opti" ? o.model : "";
    std::string error;
    if (!o.simulate.empty() && !standIns.Prepare(DefaultLoadersFolder(), o.simulate, model, error))
      return End({Ending::Kind::Failed, error});
    SimulatorProcess simulator;  // before the connection: it outlives it
    PhoneApp app(o);
    Prepared prepared;
    if (const int status = Prepare(app, o, prepared)) return status;
    std::string port = o.port;
    if (!o.simulate.empty()) {
      // The virtual phone is of the model the program works with.
      if (!simulator.Start(o.simulate, error, model)) return End({Ending::Kind::Failed, error});
      port = simulator.PortPath();
      std::fprintf(stderr, "Virtual %s phone on %s\n", o.simulate.c_str(), port.c_str());
      if (standIns.Used()) std::fprintf(stderr, "%s\n", standIns.Notice().c_str());
    }
    ending = Session(app, o, prepared, port);
  }
  return End(ending);
}

}  // namespace brantle::cli
