// The phone commands of brantle-cli: identify and region dump.

#include "phone_commands.h"

#include <cstdio>
#include <string>

#include "console_progress.h"
#include "console_ui.h"
#include "e_connection.h"
#include "engine/e_region.h"
#include "engine/result_codes.h"
#include "engine/trace.h"
#include "formats/image_file.h"
#include "lang/lang_get.h"
#include "simulator_process.h"

namespace brantle::cli {
namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return kExitFailed;
}

int Identify(EConnection& phone) {
  const EFlashInfo& f = phone.engine().FlashInfo;
  if (f.Known)
    std::printf("Flash: %s %s (maker %02X, device %02X)\n", f.MakerName.c_str(),
                f.ModelName.c_str(), f.MakerID, f.DeviceID);
  else
    std::printf("Flash: Unidentified!!! (maker %02X, device %02X)\n", f.MakerID, f.DeviceID);
  return 0;
}

int Dump(EConnection& phone, const Options& o, ConsoleProgress& progress) {
  // The whole sectors covering the region go over the line.
  progress.Start(((o.end >> 16) - (o.start >> 16) + 1) * uint64_t{kESectorSize}, false);
  std::string data;
  const int r = EReadRegion(phone.engine(), o.start, o.end, data);
  progress.Finish();
  if (r != kOk) return Fail(phone.ErrorText(LangGet("ErrC_Dump_Aborted"), r));
  ConsoleUi ui(progress, o.yes);
  if (!WriteImageFile(ui, o.output, data, LangGet("ErrC_Dump_Aborted"))) return kExitFailed;
  std::printf("Dump completed: %zu bytes from %06X to %06X saved in %s\n", data.size(), o.start,
              o.end, o.output.c_str());
  return 0;
}

}  // namespace

int RunPhoneCommand(const Options& o) {
  SimulatorProcess simulator;
  std::string port = o.port, error;
  if (!o.simulate.empty()) {
    if (!simulator.Start(o.simulate, error)) return Fail(error);
    port = simulator.PortPath();
    std::fprintf(stderr, "Virtual %s phone on %s\n", o.simulate.c_str(), port.c_str());
  }
  ConsoleProgress progress;
  EConnection phone(o, progress);
  if (!o.trace.empty()) {
    auto tracer = Tracer::OpenFile(o.trace, error);
    if (!tracer) return Fail(error);
    phone.link().SetTrace(tracer);
  }
  if (!phone.Connect(port, error)) return Fail(error);
  if (o.command == "identify") return Identify(phone);
  return Dump(phone, o, progress);
}

}  // namespace brantle::cli
