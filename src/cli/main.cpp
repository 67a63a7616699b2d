// brantle-cli: the phone operations from a shell, for scripts and for
// technicians without a desktop.

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli_options.h"
#include "console_progress.h"
#include "e_connection.h"
#include "engine/e_region.h"
#include "engine/result_codes.h"
#include "engine/trace.h"
#include "simulator_process.h"

namespace brantle::cli {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

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
  if (r != kOk) return Fail(phone.ErrorText("Dump aborted:", r));
  // Written beside the target first, so a failure never leaves half a file.
  const std::string temp = o.output + ".part";
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out || std::rename(temp.c_str(), o.output.c_str()) != 0) {
    std::remove(temp.c_str());
    return Fail("Dump aborted: could not create file " + o.output);
  }
  std::printf("Dump completed: %zu bytes from %06X to %06X saved in %s\n", data.size(), o.start,
              o.end, o.output.c_str());
  return 0;
}

int Run(const Options& o) {
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

}  // namespace
}  // namespace brantle::cli

int main(int argc, char** argv) {
  using namespace brantle::cli;
  Options options;
  std::string error;
  if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "brantle-cli: %s\n\n%s", error.c_str(), UsageText());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  return Run(options);
}
