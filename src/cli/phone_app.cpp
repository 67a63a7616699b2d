#include "phone_app.h"

#include <unistd.h>

#include <cstdio>

#include "engine/opti_models.h"
#include "engine/text_fields.h"
#include "lang/lang_get.h"
#include "run_log.h"

namespace brantle::cli {
namespace {

int SelectorIndex(const Options& o) {
  if (o.family == "Opti") {
    int type = 0;
    OptiModelByName(o.model, &type);
    return 4 + type;
  }
  const char* families[] = {"E700", "E800", "E330", "S500"};
  for (int i = 0; i < 4; ++i)
    if (o.family == families[i]) return i;
  return 0;
}

}  // namespace

PhoneApp::PhoneApp(const Options& options)
    : ui(progress, options.yes),
      settings(""),
      frame(ui, settings),
      driver(frame, link),
      options_(options) {
  frame.SetFamily(settings.SetFamilyBySelectorIndex(SelectorIndex(options)));
  settings.SetWaitStates(options.waitStates);
  settings.SetVerifyWrites(options.verify);
  settings.SetSkipUnchanged(options.skipUnchanged);
  driver.FixedSpeed = options.speed;
  driver.ExplainFailures = false;
  frame.Log = RunLog();
  ui.eeprom = options.eeprom;
  // No one to ask: stop at the next block as the Cancel button would.
  ui.onRefuse = [this] { frame.Cancel = true; };
  ui.onInterrupt = [this] { OnInterrupt(); };
  ui.onTerminate = [this] { frame.CancelNow(); };
}

PhoneApp::~PhoneApp() {
  // Every operation has ended by now, also one that stopped on an error.
  frame.Busy = false;
  driver.RequestClose();
  progress.Finish();
}

void PhoneApp::OnInterrupt() {
  if (frame.State().CancelEnabled) return frame.RequestCancel();
  interrupted_ = true;
  if (frame.Busy) std::fprintf(stderr, "(Ctrl-C: the command stops once the phone is connected)\n");
}

bool PhoneApp::Connect(const std::string& port) {
  settings.SetComPort(port);
  driver.ReinitializePort();
  if (!frame.PortOpen) {
    if (access(port.c_str(), F_OK) != 0)
      std::fprintf(stderr,
                   "To try the command without a phone, give --simulate %s in place of --port "
                   "(a virtual phone for this one run).\n",
                   options_.family.c_str());
    return false;
  }
  std::fprintf(stderr, "Turn on the phone in boot mode (waiting up to %u s)...\n",
               options_.bootTimeoutS);
  const int errorsBefore = ui.errors();
  // Ctrl-C comes in through the pump, as during an operation.
  const auto stop = [this] {
    ui.PumpMessages();
    return TerminationSignal() != 0 || interrupted_;
  };
  if (driver.TickUntilConnected(options_.bootTimeoutS * 1000, stop)) {
    progress.Finish();
    errors_ = ui.errors();
    return true;
  }
  const std::string& family = options_.family;
  const std::string may = "The phone may be of another family (--family) or not in boot mode.";
  if (driver.FailedStep() == "ErrC_Init_Bootup") {
    std::fprintf(stderr, "Tried as %s: the boot code answered, but not as an %s phone does. %s\n",
                 family.c_str(), family.c_str(), may.c_str());
  } else if (ui.errors() == errorsBefore && !ui.declined() && !stop()) {
    ui.Error("Error: no phone in boot mode answered on " + port + " within " +
             std::to_string(options_.bootTimeoutS) + " s (tried as " + family + "). " + may);
  }
  return false;
}

std::string PhoneApp::FlashText() {
  if (driver.IsOpti()) {
    std::string text = "Flash: " + frame.FlashTypeText + "\n";
    for (const std::string& line : driver.FlashHintLines()) text += "  " + line + "\n";
    return text;
  }
  const EFlashInfo& f = driver.E().FlashInfo;
  const std::string ids = " (maker " + HexByte(f.MakerID) + ", device " + HexByte(f.DeviceID) + ")";
  return "Flash: " + (f.Known ? frame.FlashTypeText : LangGet("FType_Unknown")) + ids + "\n";
}

}  // namespace brantle::cli
