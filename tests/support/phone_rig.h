#pragma once
// A window's worth of core around a virtual phone: a recording Ui, settings in a
// temporary folder, the operation frame, the link and the connect driver, and the
// virtual phone of the family on a pseudo-terminal. Workflow tests connect it and
// then drive the workflows as the window's buttons would.

#include <memory>
#include <string>
#include <vector>

#include "engine/ktze_internals.h"
#include "settings/settings.h"
#include "operations/connect_driver.h"
#include "operations/operation_frame.h"
#include "sim/virtual_e_phone.h"
#include "sim/virtual_opti_phone.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace brantle::test {

class PhoneRig {
 public:
  // family: "E700", "E800", "E330", "S500" or "Opti"; optiType picks the Opti model.
  explicit PhoneRig(const std::string& family, int optiType = 0);
  ~PhoneRig();

  // Adjust before Connect.
  sim::EPhoneConfig eConfig;
  sim::OptiPhoneConfig optiConfig;

  // Starts the phone, points the settings at its port, opens the port and ticks
  // the connect driver until the phone is Ready. False (messages in ui) otherwise.
  bool Connect();
  // The phone's NOR now.
  std::vector<uint8_t> Nor() const;

  TempDir dir;
  TempDir loaders;
  RecordingUi ui;
  Settings settings;
  OperationFrame frame;
  Link link;
  ConnectDriver driver;
  std::unique_ptr<sim::VirtualEPhone> ePhone;
  std::unique_ptr<sim::VirtualOptiPhone> optiPhone;

 private:
  std::string family_;
};

}  // namespace brantle::test
