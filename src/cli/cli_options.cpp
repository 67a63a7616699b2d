#include "cli_options.h"

#include <cctype>
#include <cstdlib>
#include <map>

#include "engine/opti_models.h"

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

bool IsFamily(const std::string& f) {
  return f == "E700" || f == "E800" || f == "E330" || f == "S500" || f == "Opti";
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

const char* UsageText() {
  return "usage: brantle-cli (--port PATH | --simulate FAMILY) [--family FAMILY] [options] "
         "COMMAND\n"
         "\n"
         "Phone commands:\n"
         "  identify                         connect, show the flash type, disconnect\n"
         "  dump --region R [--format bin|s3|dif] [--zlib] [--comment FILE] -o FILE\n"
         "                                   save a NOR region; R is firmware, eeprom, full\n"
         "                                   or START-END in hexadecimal (inclusive)\n"
         "  dump-s500 -o STEM                firmware as STEM_1.bin, STEM_2.bin, STEM_1.ogm,\n"
         "                                   STEM_2.ogm\n"
         "  flash bin FILE                   a BIN/CLA firmware image from address 0\n"
         "  flash dif FILE...                DIF patches (merged in the order given)\n"
         "  flash diff ORIGINAL TARGET [--compare bytewise|64k]\n"
         "                                   only what TARGET changes against ORIGINAL\n"
         "  flash s500 [--bin1 F] [--bin2 F] [--ogm1 F] [--ogm2 F]\n"
         "  flash s3 FILE\n"
         "  flash part FILE --file-offset HEX --length HEX --phone-offset HEX\n"
         "  flash hex --offset HEX \"BYTES\"   bytes typed in hexadecimal, e.g. \"0A 1B 2C\"\n"
         "      every flash takes [--undo FILE [--zlib] [--comment FILE]] and\n"
         "      --eeprom ask|yes|no (whether to write the EEPROM area; ask needs a terminal)\n"
         "  erase --region R [--undo FILE [--zlib] [--comment FILE]]\n"
         "  tfs flash PAIR.tfs               write a TFS/CFG pair into the phone's file system\n"
         "  tfs put LOCAL=/TFS/PATH...       write files into the phone's file system\n"
         "  tfs format                       format the NAND (asks first)\n"
         "  tfs dump OUT.tfs                 save the phone's file system as a TFS/CFG pair\n"
         "  tfs raw-read FIRST LAST OUT.tfr  save NAND sectors FIRST..LAST (decimal)\n"
         "\n"
         "Options:\n"
         "  --port PATH          serial device of the phone, e.g. /dev/ttyUSB0\n"
         "  --simulate FAMILY    start a virtual phone (brantle-phonesim) for this run only\n"
         "  --family FAMILY      E700, E800, E330, S500 (speaks E700) or Opti\n"
         "  --model NAME         the OptiFlash model: C200, X120, S20x, P500, P400, S208, E105,\n"
         "                       X105, S108, V2E5, V208, E308, E608, X40x, S10x, S30x, X480\n"
         "  --speed N            line speed after the loader starts (default 115200)\n"
         "  --wait-states N      memory timing value of the E700 boot packet (0-255, default 0)\n"
         "  --trace FILE         hex-dump every byte on the line into FILE\n"
         "  --boot-timeout S     seconds to wait for the phone in boot mode (default 60)\n"
         "  --yes                answer Yes to every question (unknown flash, NAND format)\n"
         "  --verify             read back every sector written (flash, erase) and write it\n"
         "                       once more on a mismatch\n"
         "  --skip-unchanged     do not program sectors that were read and stay the same\n"
         "  --resume             dump: continue an interrupted dump into the same -o FILE\n"
         "  --help               this text\n"
         "\n"
         "Ctrl-C asks whether to cancel and stops after the current block; SIGTERM and SIGHUP\n"
         "stop there without asking, end the phone connection and exit with 143 and 129.\n"
         "Exit status: 0 on success, 1 when the operation failed or was cancelled, 2 for bad\n"
         "options.\n";
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
  if (o.help) return true;
  if (!OneOf(o.command, {"identify", "dump", "dump-s500", "flash", "erase", "tfs"}))
    return error = o.command.empty() ? "no command given" : "unknown command " + o.command, false;
  if (!CheckOperands(o, error)) return false;
  if (o.port.empty() == o.simulate.empty())
    return error = "give either --port PATH or --simulate FAMILY", false;
  if (!o.simulate.empty() && !IsFamily(o.simulate))
    return error = "unknown family for --simulate: " + o.simulate, false;
  if (o.family.empty()) o.family = o.simulate;
  if (o.family.empty()) return error = "--family is needed", false;
  if (!IsFamily(o.family)) return error = "unknown family: " + o.family, false;
  if (!o.model.empty()) {
    if (o.family != "Opti") return error = "--model goes with --family Opti", false;
    if (!SameText(OptiModelByName(o.model).name, o.model))
      return error = "unknown model " + o.model, false;
  }
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
