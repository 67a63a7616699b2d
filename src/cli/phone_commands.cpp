// The phone commands of brantle-cli: identify and region dump.

#include "phone_commands.h"

#include <cstdio>
#include <string>

#include "console_progress.h"
#include "console_ui.h"
#include "engine/result_codes.h"
#include "engine/trace.h"
#include "formats/image_file.h"
#include "lang/lang_get.h"
#include "phone_session.h"
#include "simulator_process.h"

namespace brantle::cli {
namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return kExitFailed;
}

int Identify(PhoneSession& phone) {
  std::fputs(phone.FlashText().c_str(), stdout);
  return 0;
}

int Dump(PhoneSession& phone, const Options& o, ConsoleProgress& progress) {
  progress.Start(phone.RegionLineBytes(o.start, o.end), false);
  std::string data;
  const int r = phone.ReadRegion(o.start, o.end, data);
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
  std::unique_ptr<PhoneSession> phone = MakePhoneSession(o, progress);
  if (!o.trace.empty()) {
    auto tracer = Tracer::OpenFile(o.trace, error);
    if (!tracer) return Fail(error);
    phone->link().SetTrace(tracer);
  }
  if (!phone->Connect(port, error)) return Fail(error);
  if (o.command == "identify") return Identify(*phone);
  return Dump(*phone, o, progress);
}

}  // namespace brantle::cli
