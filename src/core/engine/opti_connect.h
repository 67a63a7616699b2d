#pragma once
// The OptiFlash connect steps that follow the phone's boot prompt, and the
// keep-alive of a connected phone, for a front end's connect driver to run.

#include <cstdint>
#include <string>

#include "engine/ktze_flasher_opti.h"

namespace brantle {

struct OptiConnectResult {
  int code = 0;           // 0, or the result of the step that failed
  std::string prefixKey;  // the failing step's message prefix, e.g. "ErrC_Init_Loader"
  // The chip check failed: a chip is present but unusable. The port is closed and
  // the message is the text of "Err_Flash_Detect_Error" alone.
  bool flashDetectError = false;
  OptiSummary summary;  // what the flash-type line shows
};

// Boot information, loader upload, chip check, speed switch, flash parameters.
// flashesText is the text of "Status_Flashes".
OptiConnectResult RunOptiConnect(OptiEngine& engine, uint32_t speed,
                                 const std::string& flashesText);

// Every 41st tick of the connect timer checks that the loader still answers.
class OptiKeepAlive {
 public:
  // False when the phone was lost; the port is then closed.
  bool Tick(OptiEngine& engine);
  void Reset() { ticks_ = 0; }

 private:
  int ticks_ = 0;
};

}  // namespace brantle
