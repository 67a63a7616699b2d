#include "cli_options.h"

#include <cctype>
#include <cstdlib>
#include <map>

#include "engine/opti_models.h"
#include "settings/settings.h"

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

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The E families switch to one of the speed selector's ten speeds; an OptiFlash
// loader says which it takes only once it runs.
bool IsOfferedSpeed(uint32_t speed) {
  for (const char* offered : kOfferedSpeeds)
    if (std::to_string(speed) == offered) return true;
  return false;
}

std::string OfferedSpeedList() {
  std::string list;
  for (const char* offered : kOfferedSpeeds)
    list += (list.empty() ? "" : ", ") + std::string(offered);
  return list;
}

bool OneOf(const std::string& v, std::initializer_list<const char*> allowed) {
  for (const char* a : allowed)
    if (v == a) return true;
  return false;
}

// Operands each command takes: the smallest and largest count (-1: any).
struct Arity {
  int min;
  int max;
};

bool CheckOperands(const Options& o, std::string& error) {
  static const std::map<std::string, Arity> kFlash = {
      {"bin", {1, 1}}, {"dif", {1, -1}}, {"diff", {2, 2}}, {"s500", {0, 0}},
      {"s3", {1, 1}},  {"part", {1, 1}}, {"hex", {1, 1}}};
  static const std::map<std::string, Arity> kTfs = {{"flash", {1, 1}},
                                                    {"put", {1, -1}},
                                                    {"format", {0, 0}},
                                                    {"dump", {1, 1}},
                                                    {"raw-read", {3, 3}}};
  const std::map<std::string, Arity>* table = nullptr;
  if (o.command == "flash") table = &kFlash;
  if (o.command == "tfs") table = &kTfs;
  if (!table) {
    if (!o.operands.empty()) return error = "unexpected argument " + o.operands[0], false;
    return true;
  }
  if (o.operands.empty()) return error = o.command + " needs a kind", false;
  const auto it = table->find(o.operands[0]);
  if (it == table->end()) return error = "unknown " + o.command + " kind " + o.operands[0], false;
  const int n = static_cast<int>(o.operands.size()) - 1;
  if (n < it->second.min || (it->second.max >= 0 && n > it->second.max))
    return error = "wrong number of files for " + o.command + " " + o.operands[0], false;
  return true;
}

}  // namespace

std::string CanonicalFamily(const std::string& name) {
  for (const char* family : {"E700", "E800", "E330", "S500", "Opti"})
    if (SameText(name, family)) return family;
  return "";
}

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
  std::string start, end;  // the older --start/--end form of a region
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
    const std::map<std::string, std::string*> texts = {{"--port", &o.port},
                                                       {"--family", &o.family},
                                                       {"--model", &o.model},
                                                       {"--trace", &o.trace},
                                                       {"--region", &o.region},
                                                       {"--format", &o.format},
                                                       {"-o", &o.output},
                                                       {"--output", &o.output},
                                                       {"--comment", &o.commentFile},
                                                       {"--undo", &o.undo},
                                                       {"--eeprom", &o.eeprom},
                                                       {"--compare", &o.compare},
                                                       {"--bin1", &o.bin1},
                                                       {"--bin2", &o.bin2},
                                                       {"--ogm1", &o.ogm1},
                                                       {"--ogm2", &o.ogm2},
                                                       {"--file-offset", &o.fileOffset},
                                                       {"--length", &o.length},
                                                       {"--phone-offset", &o.phoneOffset},
                                                       {"--offset", &o.offset},
                                                       {"--start", &start},
                                                       {"--end", &end},
                                                       {"--simulate", &o.simulate}};
    std::string v;
    if (const auto it = texts.find(a); it != texts.end()) {
      if (!value(*it->second)) return false;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--overwrite") {
      o.overwrite = true;
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
    } else if (a == "--yes") {
      o.yes = true;
    } else if (a == "--zlib") {
      o.zlib = true;
    } else if (a == "--resume") {
      o.resume = true;
    } else if (a == "--verify") {
      o.verify = true;
    } else if (a == "--skip-unchanged") {
      o.skipUnchanged = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return error = "unknown option " + a, false;
    } else if (o.command.empty()) {
      o.command = a;
    } else {
      o.operands.push_back(a);
    }
  }
  if (o.help || o.version) return true;
  if (!OneOf(o.command, {"identify", "dump", "dump-s500", "flash", "erase", "tfs"}))
    return error = o.command.empty() ? "no command given" : "unknown command " + o.command, false;
  if (!CheckOperands(o, error)) return false;
  if (o.port.empty() && o.simulate.empty())
    return error = o.command + (o.command == "tfs" ? " " + o.operands[0] : "") +
                   " talks to a phone: give --port PATH (its serial device) or --simulate FAMILY",
           false;
  if (!o.port.empty() && !o.simulate.empty())
    return error = "give either --port PATH or --simulate FAMILY, not both", false;
  if (!o.simulate.empty()) {
    const std::string family = CanonicalFamily(o.simulate);
    if (family.empty()) return error = "unknown family for --simulate: " + o.simulate, false;
    o.simulate = family;
  }
  if (o.family.empty()) o.family = o.simulate;
  if (o.family.empty()) return error = "--family is needed (E700, E800, E330, S500 or Opti)", false;
  const std::string family = CanonicalFamily(o.family);
  if (family.empty())
    return error = "unknown family " + o.family + " (E700, E800, E330, S500 or Opti)", false;
  o.family = family;
  if (!o.model.empty()) {
    if (o.family != "Opti") return error = "--model goes with --family Opti", false;
    if (!SameText(OptiModelByName(o.model).name, o.model))
      return error = "unknown model " + o.model, false;
  }
  if (o.family != "Opti" && !IsOfferedSpeed(o.speed))
    return error = "--speed " + std::to_string(o.speed) + " is not one of the speeds of the " +
                   o.family + " family: " + OfferedSpeedList(),
           false;
  if (!start.empty() || !end.empty()) {
    if (!o.region.empty()) return error = "give --region or --start/--end, not both", false;
    o.region = start + "-" + end;
  }
  if ((o.command == "dump" || o.command == "erase") && o.region.empty())
    return error = o.command + " needs --region", false;
  if ((o.command == "dump" || o.command == "dump-s500") && o.output.empty())
    return error = o.command + " needs -o FILE", false;
  if (!o.undo.empty() && o.command != "flash" && o.command != "erase")
    return error = "--undo goes with flash and erase", false;
  if (o.resume && o.command != "dump") return error = "--resume goes with dump", false;
  if (!OneOf(o.format, {"bin", "s3", "dif"})) return error = "--format is bin, s3 or dif", false;
  if (!OneOf(o.eeprom, {"ask", "yes", "no"})) return error = "--eeprom is ask, yes or no", false;
  if (!OneOf(o.compare, {"bytewise", "64k"})) return error = "--compare is bytewise or 64k", false;
  if ((o.family == "Opti" || o.family == "S500") && o.command == "tfs")
    return error = "the " + o.family + " phones have no file system (TFS) commands", false;
  if (o.command == "dump-s500" && o.family != "S500")
    return error = "dump-s500 goes with --family S500", false;
  return true;
}

}  // namespace brantle::cli
