#include "opti_connection.h"

#include <cstdio>

#include "engine/opti_connect.h"
#include "engine/opti_region.h"
#include "engine/result_codes.h"

namespace brantle::cli {

OptiConnection::OptiConnection(const Options& options, ConsoleProgress& progress)
    : options_(options), progress_(progress), engine_(link_) {
  link_.OnEngineStatus = [this](const std::string& s) { progress_.Status(s); };
  link_.OnEngineProgress = [this](int32_t d) { progress_.Step(d); };
}

OptiConnection::~OptiConnection() {
  if (connected_) {
    const int r = engine_.FinishConnection();
    if (r != kOk) std::fprintf(stderr, "%s\n", ErrorText("Terminating:", r).c_str());
  }
  engine_.Close();
}

std::string OptiConnection::ErrorText(const std::string& prefix, int code) const {
  return EngineMessage(prefix, code, engine_.LoaderError());
}

bool OptiConnection::Connect(const std::string& port, std::string& error) {
  int type = 0;
  OptiModelByName(options_.model, &type);
  if (engine_.OptiOpenPort(port, type) != kOk)
    return error = "Error: communications initialization failed (" + port + ")", false;
  if (!WaitForPhone(link_, options_.bootTimeoutS,
                    [this] { return engine_.WaitBootPrompt(1, 250) == kOk; }))
    return error = "Error: no phone in boot mode answered on " + port, false;

  progress_.Start(engine_.LoaderSize(), true);
  const OptiConnectResult r = RunOptiConnect(engine_, options_.speed, "flashes (? for info)");
  progress_.Finish();
  flash_ = r.summary.info;
  hint_ = r.summary.hint;
  if (r.flashDetectError) return error = "Error: flash parameters identification error", false;
  if (r.code != kOk) {
    static const std::pair<const char*, const char*> kPrefixes[] = {
        {"ErrC_Init_Bootup", "Initializing (bootup):"},
        {"ErrC_Init_Loader", "Initializing (loader):"},
        {"ErrC_Init_Speed", "Initializing (switching speed):"},
        {"ErrC_Init_Flash_Setup", "Initializing (flash setup):"}};
    for (const auto& [key, text] : kPrefixes)
      if (r.prefixKey == key) error = ErrorText(text, r.code);
    return false;
  }
  connected_ = true;
  return true;
}

std::string OptiConnection::FlashText() const {
  std::string text = "Flash: " + flash_.MakerName + " " + flash_.ModelName + "\n";
  // The hint's lines are separated by LF CR; one per chip.
  std::string line;
  for (char c : hint_ + "\n") {
    if (c == '\n') {
      if (!line.empty()) text += "  " + line + "\n";
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  return text;
}

int OptiConnection::ReadRegion(uint32_t start, uint32_t end, std::string& data) {
  return OptiReadRegion(engine_, start, end, data);
}

uint64_t OptiConnection::RegionLineBytes(uint32_t start, uint32_t end) const {
  return uint64_t{end} - start + 1;
}

}  // namespace brantle::cli
