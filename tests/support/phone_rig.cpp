#include "support/phone_rig.h"

#include "sim/demo_loaders.h"

namespace brantle::test {
namespace {

int SelectorIndex(const std::string& family, int optiType) {
  if (family == "Opti") return 4 + optiType;
  const char* families[] = {"E700", "E800", "E330", "S500"};
  for (int i = 0; i < 4; ++i)
    if (family == families[i]) return i;
  return 0;
}

}  // namespace

PhoneRig::PhoneRig(const std::string& family, int optiType)
    : settings(dir.File("brntl.ini")), frame(ui, settings), driver(frame, link), family_(family) {
  eConfig.family = family;
  frame.SetFamily(settings.SetFamilyBySelectorIndex(SelectorIndex(family, optiType)));
  std::string error;
  sim::WriteDemoLoaders(loaders.path(), error);
  driver.E().LoadersFolder = loaders.path();
  driver.Opti().LoadersFolder = loaders.path();
}

PhoneRig::~PhoneRig() {
  if (!frame.Busy) driver.RequestClose();
}

bool PhoneRig::Connect() {
  std::string port;
  if (family_ == "Opti") {
    optiPhone = std::make_unique<sim::VirtualOptiPhone>(optiConfig);
    if (!optiPhone->Start()) return false;
    port = optiPhone->PortPath();
  } else {
    ePhone = std::make_unique<sim::VirtualEPhone>(eConfig);
    if (!ePhone->Start()) return false;
    port = ePhone->PortPath();
  }
  settings.SetComPort(port);
  driver.ReinitializePort();
  return driver.TickUntilConnected(10000);
}

std::vector<uint8_t> PhoneRig::Nor() const {
  return optiPhone ? optiPhone->Nor() : ePhone->Nor();
}

}  // namespace brantle::test
