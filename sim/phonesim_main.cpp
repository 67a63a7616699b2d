// brantle-phonesim: a virtual phone (E families or OptiFlash) on a pseudo-terminal,
// for trying the program without hardware. The first line of output is the port to open.

#include <signal.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "engine/ktze_flashes.h"
#include "engine/opti_models.h"
#include "engine/text_fields.h"
#include "formats/nor_regions.h"
#include "sim/virtual_e_phone.h"
#include "sim/virtual_opti_phone.h"

namespace {

constexpr int kUsageError = 2;

void PrintHelp() {
  std::cout <<
      R"(Usage: brantle-phonesim --family E700|E800|E330|S500|Opti [options]

Starts a virtual phone in boot mode on a new pseudo-terminal and prints the
terminal's path alone on the first line. Open that path as the serial port.
The phone serves until the process gets SIGINT or SIGTERM (Ctrl+C).

Options:
  --family NAME    phone family: E700, E800, E330, S500 or Opti (required)
  --nor FILE       NOR contents from FILE (exactly the NOR size); default: a
                   deterministic pattern
  --line-rate      send and take bytes no faster than the negotiated line speed
  --help           show this text

E families:
  --maker HEX      flash maker ID the first loader reports (default EC);
                   needs --device as well
  --device HEX     flash device ID the first loader reports (default E2)
  --chip MODEL     report the IDs of a known flash chip instead, e.g. KBB05A300
  --no-reboot      after the PC ends the connection, stay off instead of
                   returning to boot mode

Opti:
  --model NAME     the phone model, e.g. X480 (any loader is taken); it sets the
                   NOR size: 32 MiB for the models with the larger areas
  --chip MAKER:DEVICE@BASE
                   a flash chip the loader reports, in hexadecimal, e.g.
                   EC:22E20000@0; repeat for up to 4 chips (default: Samsung
                   KBB05A300 chips of 8 MiB, one at every 8 MiB of the NOR)
  --nor-size MIB   NOR size: 16 or 32 (default: the model's, 16 without --model)
  --baud-list A,B,...
                   speeds the loader offers (default 115200,230400,460800,921600)
  --max-read N     largest read the loader serves (default 65536)
  --max-write N    largest piece the loader programs (default 131072)
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

// MAKER:DEVICE@BASE, all hexadecimal (an optional 0x each).
bool ParseOptiChip(const std::string& text, brantle::sim::OptiChipConfig& chip) {
  const size_t colon = text.find(':');
  const size_t at = text.find('@');
  if (colon == std::string::npos || at == std::string::npos || at < colon) return false;
  auto hex = [](std::string part, int64_t& out) {
    if (part.size() > 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) part.erase(0, 2);
    if (part.empty()) return false;
    out = brantle::HexToInt(part);
    return out >= 0;
  };
  int64_t maker = 0, device = 0, base = 0;
  if (!hex(text.substr(0, colon), maker) || maker > 0xFF ||
      !hex(text.substr(colon + 1, at - colon - 1), device) || !hex(text.substr(at + 1), base)) {
    return false;
  }
  chip = brantle::sim::OptiChipConfig{};
  chip.maker = static_cast<uint8_t>(maker);
  chip.device = static_cast<uint32_t>(device);
  chip.base = static_cast<uint32_t>(base);
  return true;
}

// A positive number, decimal or with 0x hexadecimal, that fits 32 bits.
bool ParseCount(const std::string& text, uint32_t& out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || end == nullptr || *end != 0 || v == 0 || v > 0xFFFFFFFFull) return false;
  out = static_cast<uint32_t>(v);
  return true;
}

bool ParseBaudList(const std::string& text, std::vector<uint32_t>& out) {
  out.clear();
  size_t from = 0;
  for (;;) {
    const size_t comma = text.find(',', from);
    uint32_t baud = 0;
    if (!ParseCount(text.substr(from, comma - from), baud)) return false;
    out.push_back(baud);
    if (comma == std::string::npos) return true;
    from = comma + 1;
  }
}

// Blocked before the phone's thread starts, so that only sigwait sees them.
sigset_t BlockStopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  return signals;
}

template <typename Phone, typename Config>
int Serve(const Config& config) {
  sigset_t signals = BlockStopSignals();
  Phone phone(config);
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

}  // namespace

int main(int argc, char** argv) {
  brantle::sim::EPhoneConfig config;
  brantle::sim::OptiPhoneConfig opti;
  bool haveFamily = false, haveMaker = false, haveDevice = false, noReboot = false;
  // Options whose meaning depends on the family, which may come later.
  std::vector<std::string> chips;
  std::vector<std::string> optiOnly;
  int modelType = 0;
  bool norSizeGiven = false;
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
      if (v == "OPTI") v = "Opti";
      if (v != "E700" && v != "E800" && v != "E330" && v != "S500" && v != "Opti") {
        return UsageError("unknown family '" + v + "' (E700, E800, E330, S500 or Opti)");
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
      chips.push_back(v);
    } else if (arg == "--nor") {
      if (!value(v)) return UsageError("--nor needs a file");
      config.norFile = v;
      opti.norFile = v;
    } else if (arg == "--line-rate") {
      config.lineRate = true;
      opti.lineRate = true;
    } else if (arg == "--no-reboot") {
      config.rebootAfterTerminate = false;
      noReboot = true;
    } else if (arg == "--model") {
      if (!value(v)) return UsageError("--model needs a value");
      if (Upper(brantle::OptiModelByName(v, &modelType).name) != Upper(v))
        return UsageError("unknown model '" + v + "'");
      optiOnly.push_back(arg);  // every model's loader is taken alike
    } else if (arg == "--nor-size") {
      if (!value(v)) return UsageError("--nor-size needs a value");
      if (v != "16" && v != "32") return UsageError("--nor-size: '" + v + "' is not 16 or 32");
      opti.norSize = static_cast<uint32_t>(std::stoi(v)) << 20;
      norSizeGiven = true;
      optiOnly.push_back(arg);
    } else if (arg == "--baud-list") {
      if (!value(v)) return UsageError("--baud-list needs a value");
      if (!ParseBaudList(v, opti.baudList)) {
        return UsageError("--baud-list: '" + v + "' is not a list of speeds like 115200,921600");
      }
      optiOnly.push_back(arg);
    } else if (arg == "--max-read" || arg == "--max-write") {
      if (!value(v)) return UsageError(arg + " needs a value");
      uint32_t n = 0;
      if (!ParseCount(v, n)) return UsageError(arg + ": '" + v + "' is not a positive number");
      (arg == "--max-read" ? opti.maxReadChunk : opti.maxWriteChunk) = n;
      optiOnly.push_back(arg);
    } else {
      return UsageError("unknown option '" + arg + "'");
    }
  }
  if (!haveFamily) return UsageError("--family is required");

  if (config.family == "Opti") {
    if (haveMaker || haveDevice) return UsageError("--maker and --device are for the E families");
    if (noReboot) return UsageError("--no-reboot is for the E families");
    if (chips.size() > 4) return UsageError("at most 4 --chip options");
    // A phone of the model the program expects: its NOR as large as the model's areas,
    // and covered by chips, so that every region the program offers can be read.
    if (!norSizeGiven) opti.norSize = brantle::NorAreasFor("Opti", modelType).Total();
    opti.chips.clear();
    for (uint32_t base = 0; chips.empty() && base < opti.norSize; base += 8u << 20) {
      brantle::sim::OptiChipConfig chip;  // a Samsung KBB05A300, 8 MiB
      chip.base = base;
      opti.chips.push_back(chip);
    }
    for (const std::string& text : chips) {
      brantle::sim::OptiChipConfig chip;
      if (!ParseOptiChip(text, chip)) {
        return UsageError("--chip: '" + text + "' is not MAKER:DEVICE@BASE in hexadecimal");
      }
      opti.chips.push_back(chip);
    }
    return Serve<brantle::sim::VirtualOptiPhone>(opti);
  }

  if (!optiOnly.empty()) return UsageError(optiOnly.front() + " is for the Opti family");
  if (!chips.empty()) {  // the last one counts
    if (haveMaker || haveDevice) {
      return UsageError("--chip cannot be combined with --maker or --device");
    }
    std::string known;
    if (!ChipIds(chips.back(), config.makerId, config.deviceId, known)) {
      return UsageError("unknown chip '" + chips.back() + "' (known: " + known + ")");
    }
  }
  if (haveMaker != haveDevice) return UsageError("--maker and --device go together");
  return Serve<brantle::sim::VirtualEPhone>(config);
}
