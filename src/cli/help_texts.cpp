#include "help_texts.h"

#include <cstdio>
#include <map>

#include "lang/lang_get.h"
#include "phone_commands.h"
#include "run_log.h"

namespace brantle::cli {
namespace {

const char kPhoneUsage[] =
    "usage: brantle-cli (--port PATH | --simulate FAMILY) [--family FAMILY] [options] COMMAND\n";

const char kConnectionOptions[] =
    "Connection options (every phone command):\n"
    "  --port PATH          serial device of the phone, e.g. /dev/ttyUSB0\n"
    "  --simulate FAMILY    start a virtual phone (brantle-phonesim) for this run only;\n"
    "                       it also sets --family\n"
    "  --family FAMILY      E700, E800, E330, S500 (speaks E700) or Opti, in any case\n"
    "  --model NAME         the OptiFlash model, which picks its loader (default C200):\n"
    "                       C200, X120, S20x, P500, P400, S208, E105, X105, S108, V2E5,\n"
    "                       V208, E308, E608, X40x, S10x, S30x, X480\n"
    "  --speed N            line speed after the first loader (default 115200); E families:\n"
    "                       38400, 76800, 115200, 153600, 230400, 307200, 460800, 537600,\n"
    "                       614400 or 806400; Opti: a speed the phone's loader offers\n"
    "  --wait-states N      memory timing value of the E700 boot packet (0-255, default 0)\n"
    "  --boot-timeout S     seconds to wait for the phone in boot mode (default 60)\n"
    "  --trace FILE         hex-dump every byte on the line into FILE\n"
    "  --yes                answer Yes to the questions (unknown flash, NAND format)\n"
    "  --verify             read back every sector written (flash, erase) and write it\n"
    "                       once more on a mismatch\n"
    "  --skip-unchanged     do not program sectors that were read and stay the same\n"
    "  --resume             dump: continue an interrupted dump into the same -o FILE\n";

const char kTargetOption[] =
    "  --overwrite          replace target files that exist (on a terminal the command\n"
    "                       asks; without one it refuses to replace them)\n";

const char kUndoOptions[] =
    "  --undo FILE          save what is overwritten or erased as a DIF first; flash dif\n"
    "                       FILE puts it back\n"
    "  --zlib               compress the DIF written\n"
    "  --comment FILE       the DIF's comment (an RTF or plain text file)\n";

const char kIdentify[] = "brantle-cli identify: connect, show the flash type, disconnect.\n";

const char kDump[] =
    "brantle-cli dump --region R [--format bin|s3|dif] [--zlib] [--comment FILE] -o FILE\n"
    "  Saves a NOR region. R is firmware, eeprom, full or START-END in hexadecimal\n"
    "  (inclusive, e.g. 10000-1FFFF). --format: the file written (default bin); --zlib\n"
    "  and --comment go with --format dif.\n";

const char kDumpS500[] =
    "brantle-cli dump-s500 -o STEM  (--family S500)\n"
    "  Saves the firmware as STEM_1.bin, STEM_2.bin, STEM_1.ogm and STEM_2.ogm.\n";

const char kFlash[] =
    "brantle-cli flash KIND ...\n"
    "  flash bin FILE                   a BIN/CLA firmware image from address 0\n"
    "  flash dif FILE...                DIF patches, merged in the order given\n"
    "  flash diff ORIGINAL TARGET [--compare bytewise|64k]\n"
    "                                   only what TARGET changes against ORIGINAL (default\n"
    "                                   bytewise; 64k writes every 64 KB block that differs)\n"
    "  flash s500 [--bin1 F] [--bin2 F] [--ogm1 F] [--ogm2 F]\n"
    "                                   any of the four S500 files\n"
    "  flash s3 FILE                    an S3 (S-record) file\n"
    "  flash part FILE --file-offset HEX --length HEX --phone-offset HEX\n"
    "                                   a piece of a file at a NOR address\n"
    "  flash hex --offset HEX \"BYTES\"   bytes typed in hexadecimal, e.g. \"0A 1B 2C\"\n"
    "  --eeprom ask|yes|no  whether to write into the EEPROM area (default ask, which\n"
    "                       needs a terminal)\n";

const char kErase[] =
    "brantle-cli erase --region R\n"
    "  Erases the region (firmware, eeprom, full or START-END in hexadecimal): whole\n"
    "  sectors are erased and what lies outside R is written back.\n";

const char kTfs[] =
    "brantle-cli tfs ...  the phone's file system (E700, E800 and E330)\n"
    "  tfs flash PAIR.tfs               write a TFS/CFG pair into the phone's file system\n"
    "  tfs put LOCAL=/TFS/PATH...       write files into the phone's file system\n"
    "  tfs format                       format the NAND (asks first)\n"
    "  tfs dump OUT.tfs                 save the phone's file system as OUT.tfs and OUT.cfg\n"
    "  tfs raw-read FIRST LAST OUT.tfr  save NAND sectors FIRST..LAST (decimal)\n"
    "  Writing into the file system ends the connection, as on the phone itself.\n"
    "Files only (no phone):\n"
    "  tfs decode IN.tfr OUT.tfs [--family E700|E800|E330]\n"
    "                                   a raw NAND dump decoded into a TFS/CFG pair\n"
    "  tfs ls IN.tfr [--family E700|E800|E330]\n"
    "                                   its directory tree with file sizes\n"
    "  Without --family, a dump larger than 16 MiB is taken as the 32 MiB NAND of the E800.\n";

const char kDif[] =
    "brantle-cli dif ...  DIF patch files (no phone)\n"
    "  dif info FILE...                 the blocks and comment of each file\n"
    "  dif create [--original A.bin] [--target B.bin] [--tfs T.tfs] [--merge D.dif]...\n"
    "             [--compare bytewise|64k] [--reversal none|separate|embed]\n"
    "             [--undo-out R.dif] [--undo-comment FILE] [--undo-zlib]\n"
    "             [--zlib] [--comment FILE] -o OUT.dif\n"
    "      what B.bin changes against A.bin, the files of a TFS/CFG pair and merged DIFs\n"
    "      --compare   default bytewise; 64k keeps every 64 KB block that differs\n"
    "      --reversal  undo data (default none): separate writes it to --undo-out R.dif,\n"
    "                  embed keeps it in OUT.dif\n"
    "  dif apply D.dif... [--bin IMAGE.bin] [--tfs OUT.tfs] [--undo D.dif]... [--no-tfs D.dif]...\n"
    "      applies the DIFs in the order given to IMAGE.bin (changed in place; an image\n"
    "      that does not exist yet starts as all FF) and writes their files as OUT.tfs;\n"
    "      --undo applies a DIF backwards, --no-tfs leaves its files out\n"
    "  Comments are RTF or plain text files.\n";

const char kConvert[] =
    "brantle-cli convert KIND INPUT OUTPUT [--zlib] [--comment FILE]  (no phone)\n"
    "  KIND: s3-to-bin s3-to-dif bin-to-s3 dif-to-s3 bin-to-s500 dif-to-s500\n"
    "        s500-to-bin s500-to-dif\n"
    "  A 2BIN+2OGM set is named by its stem: STEM_1.bin STEM_1.ogm STEM_2.bin STEM_2.ogm;\n"
    "  it holds the firmware area only (the EEPROM area is left out). --zlib and\n"
    "  --comment go with a DIF written.\n";

// Every command, phone or files, keeps the operation log.
const char kLogOptions[] =
    "  --log FILE           keep the operation log in FILE (default:\n"
    "                       $XDG_STATE_HOME/brantle/brantle.log, ~/.local/state/brantle/)\n"
    "  --no-log             keep no operation log for this run\n";

const char kEnding[] =
    "Every run ends with a line saying whether it completed, was cancelled or failed.\n"
    "Ctrl-C asks whether to cancel and stops after the current block; SIGTERM and SIGHUP\n"
    "stop there without asking and end the phone connection.\n"
    "Exit status: 0 completed; 1 failed or cancelled; 2 refused before anything was\n"
    "touched (bad options, input files that cannot be used, a target that cannot or may\n"
    "not be written, missing loader files); 143 after SIGTERM, 129 after SIGHUP.\n";

}  // namespace

std::string MainHelp() {
  return std::string(kPhoneUsage) +
         "       brantle-cli dif|convert|tfs decode|tfs ls ...   (files only, no phone)\n"
         "       brantle-cli COMMAND --help                      (one command alone)\n"
         "\n" +
         kIdentify + kDump + kDumpS500 + kFlash + kErase + kTfs + "\n" + kConnectionOptions +
         "Other options:\n" + kUndoOptions +
         "                       (--undo with flash and erase; --zlib and --comment also\n"
         "                       with dump --format dif)\n" +
         kTargetOption + kLogOptions +
         "  --version            the program's version\n"
         "  --help               this text\n"
         "\n" +
         kDif + "\n" + kConvert + "\n" + kEnding;
}

std::string CommandHelp(const std::string& command) {
  const std::string phone = std::string(kPhoneUsage) + "\n";
  const std::string connection = std::string("\n") + kConnectionOptions;
  static const std::map<std::string, std::string> texts = {
      {"identify", phone + kIdentify + connection},
      {"dump", phone + kDump + kTargetOption + connection},
      {"dump-s500", phone + kDumpS500 + kTargetOption + connection},
      {"flash", phone + kFlash + kUndoOptions + kTargetOption + connection},
      {"erase", phone + kErase + kUndoOptions + kTargetOption + connection},
      {"tfs", phone + kTfs + kTargetOption + connection},
      {"dif", std::string(kDif) + kTargetOption},
      {"convert", std::string(kConvert) + kTargetOption},
  };
  const auto it = texts.find(command);
  return it == texts.end() ? "" : it->second + kLogOptions + "\n" + kEnding;
}

std::string VersionText() {
  return "brantle-cli " + LangGet("Win_Version");
}

int PointToHelp(const std::string& command) {
  const std::string topic = CommandHelp(command).empty() ? "" : command + " ";
  std::fprintf(stderr, "see brantle-cli %s--help\n", topic.c_str());
  return kExitUsage;
}

int UsageError(const std::string& message, const std::string& command) {
  std::fprintf(stderr, "brantle-cli: %s\n", message.c_str());
  LogRun("refused: " + message);
  return PointToHelp(command);
}

}  // namespace brantle::cli
