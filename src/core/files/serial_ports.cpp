#include "files/serial_ports.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace brantle {
namespace {

namespace fs = std::filesystem;

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

// The serial core publishes the UART type it found; 0 means no UART at that address.
bool HasUart(const fs::path& ttyEntry) {
  const std::string type = FirstLine(ttyEntry / "type");
  return !type.empty() && type != "0";
}

// A USB adapter's maker and product sit in the USB device's folder, one or two levels
// above the tty's device link (interface, then device).
std::string UsbDescription(const fs::path& device) {
  std::error_code error;
  fs::path folder = fs::canonical(device, error);
  if (error) return "";
  for (int up = 0; up < 3 && !folder.empty(); ++up, folder = folder.parent_path()) {
    const std::string product = FirstLine(folder / "product");
    if (product.empty()) continue;
    const std::string maker = FirstLine(folder / "manufacturer");
    return maker.empty() ? product : maker + " " + product;
  }
  return "";
}

}  // namespace

std::vector<SerialPortInfo> ListSerialPorts(const std::string& sysClassTty,
                                            const std::string& devFolder) {
  std::vector<SerialPortInfo> ports;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(sysClassTty, error)) {
    const std::string name = entry.path().filename().string();
    const fs::path device = entry.path() / "device";
    if (!fs::exists(device, error)) continue;  // virtual terminals have no device
    const bool usb = StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM");
    const bool onBoard = StartsWith(name, "ttyS") || StartsWith(name, "ttyAMA");
    if (!usb && !(onBoard && HasUart(entry.path()))) continue;
    ports.push_back({devFolder + "/" + name, usb ? UsbDescription(device) : ""});
  }
  std::sort(ports.begin(), ports.end(),
            [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.Path < b.Path; });
  return ports;
}

}  // namespace brantle
