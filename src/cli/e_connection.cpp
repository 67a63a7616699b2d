#include "e_connection.h"

#include <cstdio>

#include "engine/result_codes.h"

namespace brantle::cli {
namespace {

std::string Hex2(uint8_t v) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%02X", v);
  return buf;
}

}  // namespace

EConnection::EConnection(const Options& options, ConsoleProgress& progress)
    : options_(options), progress_(progress), engine_(link_) {
  link_.OnEngineStatus = [this](const std::string& s) { progress_.Status(s); };
  link_.OnEngineProgress = [this](int32_t d) { progress_.Step(d); };
}

EConnection::~EConnection() { Disconnect(); }

std::string EConnection::ErrorText(const std::string& prefix, int code) const {
  std::string text = prefix + " " + EngineErrorText(code);
  if (code == kErrLoader) text += ": " + engine_.LoaderError();
  return text;
}

bool EConnection::WaitForPhone() {
  std::fprintf(stderr, "Turn on the phone in boot mode (waiting up to %u s)...\n",
               options_.bootTimeoutS);
  const uint64_t deadline = link_.clock().NowMs() + options_.bootTimeoutS * 1000ull;
  while (link_.clock().NowMs() < deadline) {
    if (engine_.EWaitBoot(1, 250) == kOk) return true;
  }
  return false;
}

bool EConnection::Connect(const std::string& port, std::string& error) {
  if (engine_.EInitPort(port, options_.family) != kOk)
    return error = "Error: communications initialization failed (" + port + ")", false;
  if (!WaitForPhone()) return error = "Error: no phone in boot mode answered on " + port, false;

  const uint8_t w = options_.waitStates;
  int r = engine_.EBootCommand(w, w, w, w);
  if (r != kOk) return error = ErrorText("Initializing (bootup):", r), false;

  progress_.Start(engine_.Loader1Size, true);
  r = engine_.ESendLoader1();
  progress_.Finish();
  if (r != kOk) return error = ErrorText("Initializing (loader1):", r), false;

  r = engine_.ESwitchSpeed(options_.speed);
  if (r != kOk) return error = ErrorText("Initializing (switching speed):", r), false;

  progress_.Start(engine_.Loader2Size, true);
  r = engine_.ESendLoader2();
  progress_.Finish();
  if (r != kOk) return error = ErrorText("Initializing (loader2):", r), false;
  connected_ = true;

  const EFlashInfo& f = engine_.FlashInfo;
  if (f.Known == 0) {
    std::fprintf(stderr,
                 "Your flash type is unknown. Flash IDs are %s/%s. Please send these IDs to the "
                 "BRNTL author. Warning! Using BRNTL with unknown flash can cause irreparable "
                 "phone damage.\n",
                 Hex2(f.MakerID).c_str(), Hex2(f.DeviceID).c_str());
    if (!options_.yes) return error = "Stopped: unknown flash (give --yes to continue anyway)", false;
  }
  return true;
}

void EConnection::Disconnect() {
  if (connected_) {
    const int r = engine_.ETerminate();
    if (r != kOk) std::fprintf(stderr, "%s\n", ErrorText("Terminating:", r).c_str());
    connected_ = false;
  }
  engine_.EClose();
}

}  // namespace brantle::cli
