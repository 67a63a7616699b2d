#include "cli_options.h"

#include <cctype>
#include <cstdlib>

#include "engine/opti_models.h"
#include "engine/text_fields.h"

namespace brantle::cli {
namespace {

bool ParseNumber(const std::string& text, uint64_t max, uint32_t& out) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  const uint64_t v = std::strtoull(text.c_str(), nullptr, 10);
  if (v > max) return false;
  out = static_cast<uint32_t>(v);
  return true;
}

bool ParseHexAddress(std::string text, uint32_t& out) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
  const int64_t v = HexToInt(text);
  if (text.empty() || v < 0) return false;
  out = static_cast<uint32_t>(v);
  return true;
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool IsFamily(const std::string& f) {
  return f == "E700" || f == "E800" || f == "E330" || f == "S500" || f == "Opti";
}

}  // namespace

const char* UsageText() {
  return "usage: brantle-cli (--port PATH | --simulate FAMILY) [--family FAMILY] [options] "
         "COMMAND\n"
         "\n"
         "Commands:\n"
         "  identify                          connect, show the flash type, disconnect\n"
         "  dump --start HEX --end HEX -o FILE  save NOR bytes START..END (inclusive)\n"
         "\n"
         "Options:\n"
         "  --port PATH          serial device of the phone, e.g. /dev/ttyUSB0\n"
         "  --simulate FAMILY    start the virtual phone (brantle-phonesim) and use it\n"
         "  --family FAMILY      E700, E800, E330, S500 (speaks E700) or Opti\n"
         "  --model NAME         the OptiFlash model: C200, X120, S20x, P500, P400, S208, E105,\n"
         "                       X105, S108, V2E5, V208, E308, E608, X40x, S10x, S30x, X480\n"
         "  --speed N            line speed after the loader starts (default 115200)\n"
         "  --wait-states N      memory timing value of the E700 boot packet (0-255, default 0)\n"
         "  --trace FILE         hex-dump every byte on the line into FILE\n"
         "  --boot-timeout S     seconds to wait for the phone in boot mode (default 60)\n"
         "  --yes                continue with a flash chip the program does not know\n"
         "  --help               this text\n"
         "\n"
         "Exit status: 0 on success, 1 when the phone operation failed, 2 for bad options.\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--port") {
      if (!value(o.port)) return false;
    } else if (a == "--simulate") {
      if (!value(o.simulate)) return false;
      if (!IsFamily(o.simulate))
        return error = "unknown family for --simulate: " + o.simulate, false;
    } else if (a == "--family") {
      if (!value(o.family)) return false;
      if (!IsFamily(o.family)) return error = "unknown family: " + o.family, false;
    } else if (a == "--model") {
      if (!value(o.model)) return false;
    } else if (a == "--speed") {
      if (!value(v)) return false;
      if (!ParseNumber(v, UINT32_MAX, o.speed) || o.speed == 0)
        return error = "--speed needs a positive whole number", false;
    } else if (a == "--wait-states") {
      uint32_t w = 0;
      if (!value(v)) return false;
      if (!ParseNumber(v, 255, w))
        return error = "--wait-states needs a number from 0 to 255", false;
      o.waitStates = static_cast<uint8_t>(w);
    } else if (a == "--boot-timeout") {
      if (!value(v)) return false;
      if (!ParseNumber(v, 86400, o.bootTimeoutS) || o.bootTimeoutS == 0)
        return error = "--boot-timeout needs seconds from 1 to 86400", false;
    } else if (a == "--trace") {
      if (!value(o.trace)) return false;
    } else if (a == "--yes") {
      o.yes = true;
    } else if (a == "--start" || a == "--end") {
      if (!value(v)) return false;
      uint32_t& target = a == "--start" ? o.start : o.end;
      if (!ParseHexAddress(v, target))
        return error = a + " needs a hexadecimal address of up to 8 digits", false;
      (a == "--start" ? o.haveStart : o.haveEnd) = true;
    } else if (a == "-o" || a == "--output") {
      if (!value(o.output)) return false;
    } else if (!a.empty() && a[0] == '-') {
      return error = "unknown option " + a, false;
    } else if (o.command.empty()) {
      o.command = a;
    } else {
      return error = "unexpected argument " + a, false;
    }
  }
  if (o.help) return true;
  if (o.command != "identify" && o.command != "dump")
    return error = o.command.empty() ? "no command given" : "unknown command " + o.command, false;
  if (o.port.empty() == o.simulate.empty())
    return error = "give either --port PATH or --simulate FAMILY", false;
  if (o.family.empty()) o.family = o.simulate;
  if (o.family.empty()) return error = "--family is needed", false;
  if (!o.model.empty()) {
    if (o.family != "Opti") return error = "--model goes with --family Opti", false;
    if (!SameText(OptiModelByName(o.model).name, o.model))
      return error = "unknown model " + o.model, false;
  }
  if (o.command == "dump") {
    if (!o.haveStart || !o.haveEnd || o.output.empty())
      return error = "dump needs --start, --end and -o FILE", false;
    if (o.start > o.end) return error = "--start lies after --end", false;
    if (o.family == "Opti" ? o.end > 0x1FFFFFF : o.end > 0xFFFFFF)
      return error = "--end lies beyond the NOR of this family", false;
  }
  return true;
}

}  // namespace brantle::cli
