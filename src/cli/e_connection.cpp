#include "e_connection.h"

#include <cstdio>

#include "engine/e_region.h"
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

EConnection::~EConnection() {
  Disconnect();
}

std::string EConnection::ErrorText(const std::string& prefix, int code) const {
  return EngineMessage(prefix, code, engine_.LoaderError());
}

bool EConnection::Connect(const std::string& port, std::string& error) {
  if (engine_.EInitPort(port, options_.family) != kOk)
    return error = "Error: communications initialization failed (" + port + ")", false;
  if (!WaitForPhone(link_, options_.bootTimeoutS,
                    [this] { return engine_.EWaitBoot(1, 250) == kOk; }))
    return error = "Error: no phone in boot mode answered on " + port, false;

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
    if (!options_.yes)
      return error = "Stopped: unknown flash (give --yes to continue anyway)", false;
  }
  return true;
}

std::string EConnection::FlashText() const {
  const EFlashInfo& f = engine_.FlashInfo;
  const std::string ids = " (maker " + Hex2(f.MakerID) + ", device " + Hex2(f.DeviceID) + ")";
  if (!f.Known) return "Flash: Unidentified!!!" + ids + "\n";
  return "Flash: " + f.MakerName + " " + f.ModelName + ids + "\n";
}

int EConnection::ReadRegion(uint32_t start, uint32_t end, std::string& data) {
  return EReadRegion(engine_, start, end, data);
}

// Whole sectors go over the line.
uint64_t EConnection::RegionLineBytes(uint32_t start, uint32_t end) const {
  return ((end >> 16) - (start >> 16) + 1) * uint64_t{kESectorSize};
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
