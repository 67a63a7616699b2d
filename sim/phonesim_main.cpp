// brantle-phonesim: a virtual E-family phone on a pseudo-terminal, for trying the
// program without hardware. The first line of output is the port to open.

#include <signal.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "engine/ktze_flashes.h"
#include "engine/text_fields.h"
#include "sim/virtual_e_phone.h"

namespace {

constexpr int kUsageError = 2;

void PrintHelp() {
  std::cout <<
      R"(Usage: brantle-phonesim --family E700|E800|E330|S500 [options]

Starts a virtual phone in boot mode on a new pseudo-terminal and prints the
terminal's path alone on the first line. Open that path as the serial port.
The phone serves until the process gets SIGINT or SIGTERM (Ctrl+C).

Options:
  --family NAME    phone family: E700, E800, E330 or S500 (required)
  --maker HEX      flash maker ID the first loader reports (default EC);
                   needs --device as well
  --device HEX     flash device ID the first loader reports (default E2)
  --chip MODEL     report the IDs of a known flash chip instead, e.g. KBB05A300
  --nor FILE       NOR contents from FILE (exactly 16 MiB); default: a
                   deterministic pattern
  --line-rate      send and take bytes no faster than the negotiated line speed
  --no-reboot      after the PC ends the connection, stay off instead of
                   returning to boot mode
  --help           show this text
)";
}

int UsageError(const std::string& message) {
  std::cerr << "brantle-phonesim: " << message << "\n"
            << "Try 'brantle-phonesim --help'.\n";
  return kUsageError;
}

// One or two hexadecimal digits, with or without a leading 0x.
bool ParseIdByte(std::string text, uint8_t& out) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
  if (text.empty() || text.size() > 2) return false;
  const int64_t value = brantle::HexToInt(text);
  if (value < 0) return false;
  out = static_cast<uint8_t>(value);
  return true;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Finds the chip by model name in the flash table; the IDs there are decimal.
bool ChipIds(const std::string& model, uint8_t& maker, uint8_t& device, std::string& known) {
  for (const char* row : brantle::EFlashTable) {
    std::string text = row;
    std::string makerField, deviceField, makerName, modelName;
    brantle::NextField(text, makerField);
    brantle::NextField(text, deviceField);
    brantle::NextField(text, makerName);
    brantle::NextField(text, modelName);
    known += (known.empty() ? "" : ", ") + modelName;
    if (Upper(modelName) != Upper(model)) continue;
    maker = static_cast<uint8_t>(std::stoi(makerField));
    device = static_cast<uint8_t>(std::stoi(deviceField));
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  brantle::sim::EPhoneConfig config;
  bool haveFamily = false, haveMaker = false, haveDevice = false, haveChip = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--help" || arg == "-h") {
      PrintHelp();
      return 0;
    } else if (arg == "--family") {
      if (!value(v)) return UsageError("--family needs a value");
      v = Upper(v);
      if (v != "E700" && v != "E800" && v != "E330" && v != "S500") {
        return UsageError("unknown family '" + v + "' (E700, E800, E330 or S500)");
      }
      config.family = v;
      haveFamily = true;
    } else if (arg == "--maker" || arg == "--device") {
      if (!value(v)) return UsageError(arg + " needs a value");
      uint8_t id = 0;
      if (!ParseIdByte(v, id)) return UsageError(arg + ": '" + v + "' is not a hexadecimal byte");
      (arg == "--maker" ? config.makerId : config.deviceId) = id;
      (arg == "--maker" ? haveMaker : haveDevice) = true;
    } else if (arg == "--chip") {
      if (!value(v)) return UsageError("--chip needs a value");
      std::string known;
      if (!ChipIds(v, config.makerId, config.deviceId, known)) {
        return UsageError("unknown chip '" + v + "' (known: " + known + ")");
      }
      haveChip = true;
    } else if (arg == "--nor") {
      if (!value(v)) return UsageError("--nor needs a file");
      config.norFile = v;
    } else if (arg == "--line-rate") {
      config.lineRate = true;
    } else if (arg == "--no-reboot") {
      config.rebootAfterTerminate = false;
    } else {
      return UsageError("unknown option '" + arg + "'");
    }
  }
  if (!haveFamily) return UsageError("--family is required");
  if (haveChip && (haveMaker || haveDevice)) {
    return UsageError("--chip cannot be combined with --maker or --device");
  }
  if (haveMaker != haveDevice) return UsageError("--maker and --device go together");

  // Blocked before the phone's thread starts, so that only sigwait below sees them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  brantle::sim::VirtualEPhone phone(config);
  if (!phone.Start()) {
    std::cerr << "brantle-phonesim: " << phone.error() << "\n";
    return 1;
  }
  std::cout << phone.PortPath() << std::endl;
  int signal = 0;
  sigwait(&signals, &signal);
  phone.Stop();
  return 0;
}
