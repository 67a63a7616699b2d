// The phone commands of brantle-cli: each runs the window's workflow with the
// options in place of the window's fields and dialogs.

#include "phone_commands.h"

#include <csignal>
#include <cstdio>
#include <string>

#include "comment_file.h"
#include "engine/trace.h"
#include "files/simulator_process.h"
#include "formats/nor_regions.h"
#include "input_checks.h"
#include "operations/dump_workflow.h"
#include "operations/erase_workflow.h"
#include "operations/flash_pages.h"
#include "operations/tfs_workflows.h"
#include "phone_app.h"

namespace brantle::cli {
namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return kExitFailed;
}

// "firmware", "eeprom", "full" or "START-END" as the two address fields.
bool RegionFields(const std::string& region, const NorAreas& areas, std::string& start,
                  std::string& end) {
  if (region == "firmware") {
    start = "0", end = RegionHex(areas.FirmwareSize - 1);
  } else if (region == "eeprom") {
    start = RegionHex(areas.EepromStart()), end = RegionHex(areas.Total() - 1);
  } else if (region == "full") {
    start = "0", end = RegionHex(areas.Total() - 1);
  } else {
    const size_t dash = region.find('-');
    if (dash == std::string::npos) return false;
    start = region.substr(0, dash), end = region.substr(dash + 1);
    for (std::string* field : {&start, &end})
      if (field->size() > 2 && (*field)[0] == '0' && ((*field)[1] == 'x' || (*field)[1] == 'X'))
        field->erase(0, 2);
  }
  return true;
}

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
};

int Prepare(PhoneApp& app, const Options& o, Prepared& p) {
  if (const int status = CheckInputs(o, app.frame.Areas(), p.inputs)) return status;
  if ((o.command == "dump" || o.command == "erase") &&
      !RegionFields(o.region, app.frame.Areas(), p.start, p.end))
    return Fail("brantle-cli: --region is firmware, eeprom, full or START-END");
  return UndoChoice(app, o, p.undo) ? 0 : kExitFailed;
}

int Run(PhoneApp& app, const Options& o, const Prepared& p) {
  if (o.command == "identify") {
    std::fputs(app.FlashText().c_str(), stdout);
    return 0;
  }
  CatchInterrupt();
  const std::string &start = p.start, &end = p.end;
  const FlashUndoChoice& undo = p.undo;
  if (o.command == "dump") {
    const DumpFileType type = o.format == "s3"    ? DumpFileType::S3
                              : o.format == "dif" ? DumpFileType::Dif
                                                  : DumpFileType::BinCla;
    DumpNor(app.frame, app.driver, start, end, type, o.output, undo.Params);
  } else if (o.command == "dump-s500") {
    DumpS500(app.frame, app.driver, S500ProposedNames(o.output));
  } else if (o.command == "flash") {
    Flash(app, o, p.inputs, undo);
  } else if (o.command == "erase") {
    EraseNor(app.frame, app.driver, start, end, undo.Make, undo.Params);
  } else if (o.command == "tfs") {
    Tfs(app, o);
  }
  return app.Succeeded() ? 0 : kExitFailed;
}

// A command stopped by SIGTERM or SIGHUP exits as the signal would have ended it,
// once the phone connection is ended.
int ExitStatus(int status) {
  const int signal = TerminationSignal();
  if (signal == 0) return status;
  std::fprintf(stderr, "brantle-cli: ended by %s\n", signal == SIGHUP ? "SIGHUP" : "SIGTERM");
  return 128 + signal;
}

}  // namespace

int RunPhoneCommand(const Options& o) {
  CatchTermination();
  SimulatorProcess simulator;  // declared first: it outlives the connection to it
  PhoneApp app(o);
  Prepared prepared;
  if (const int status = Prepare(app, o, prepared)) return status;
  std::string port = o.port, error;
  if (!o.simulate.empty()) {
    if (!simulator.Start(o.simulate, error)) return ExitStatus(Fail(error));
    port = simulator.PortPath();
    std::fprintf(stderr, "Virtual %s phone on %s\n", o.simulate.c_str(), port.c_str());
  }
  if (!o.trace.empty()) {
    auto tracer = Tracer::OpenFile(o.trace, error);
    if (!tracer) return Fail(error);
    app.link.SetTrace(tracer);
  }
  if (!app.Connect(port)) return ExitStatus(kExitFailed);
  return ExitStatus(TerminationSignal() ? kExitFailed : Run(app, o, prepared));
}

}  // namespace brantle::cli
