#include "tfs_commands.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "cli_options.h"
#include "console_progress.h"
#include "console_ui.h"
#include "formats/input_file_problem.h"
#include "formats/stde_decoder.h"
#include "formats/tfs_pair.h"
#include "help_texts.h"
#include "input_checks.h"
#include "lang/lang_get.h"
#include "phone_commands.h"
#include "run_ending.h"
#include "target_checks.h"
#include "run_log.h"

namespace brantle::cli {
namespace {

// A dump larger than the common 16 MiB NAND comes from the E800's 32 MiB one.
uint32_t SectorsFor(const std::string& path, const std::string& family) {
  if (!family.empty()) return NandSectorCount(family);
  struct stat st {};
  const bool large = stat(path.c_str(), &st) == 0 &&
                     static_cast<uint64_t>(st.st_size) > uint64_t{kNandSectors} * kNandSectorSize;
  return large ? kNandSectorsE800 : kNandSectors;
}

// Decodes the dump into a container of files and the directory list.
bool Decode(ConsoleUi& ui, const std::string& in, const std::string& family, TDIFFile& dif,
            std::vector<std::string>& directories) {
  FileSectorSource source(SectorsFor(in, family));
  if (!source.Open(in)) {
    ui.Error(LangGet("ErrC_Operation_Aborted") + " " + OpenFailure(in));
    return false;
  }
  TFSDumpOptions options;
  options.ShowCompletion = false;
  return DumpTFS(ui, source, dif, directories, options);
}

}  // namespace

// "tfs decode" and "tfs ls" work on files; every other tfs command needs a phone.
bool IsTfsCommand(const std::vector<std::string>& args) {
  if (args.empty() || args[0] != "tfs") return false;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--family") {
      ++i;
    } else if (args[i].empty() || args[i][0] != '-') {
      return args[i] == "decode" || args[i] == "ls";
    }
  }
  return false;
}

int RunTfsCommand(const std::vector<std::string>& args) {
  std::vector<std::string> words;
  std::string family;
  bool overwrite = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--overwrite") {
      overwrite = true;
    } else if (args[i] == "--help" || args[i] == "-h") {
      std::fputs(CommandHelp("tfs").c_str(), stdout);
      return 0;
    } else if (args[i] == "--family" && i + 1 < args.size()) {
      family = CanonicalFamily(args[++i]);
      if (family.empty() || family == "Opti")
        return UsageError("unknown family " + args[i] + " (E700, E800 or E330)", "tfs");
    } else if (!args[i].empty() && args[i][0] == '-') {
      return UsageError("unknown option " + args[i], "tfs");
    } else {
      words.push_back(args[i]);
    }
  }
  const std::string sub = words.size() > 1 ? words[1] : "";
  if (!((sub == "decode" && words.size() == 4) || (sub == "ls" && words.size() == 3)))
    return UsageError(sub == "decode" ? "tfs decode takes IN.tfr OUT.tfs" : "tfs ls takes IN.tfr",
                      "tfs");

  if (sub == "decode")
    if (const int status =
            CheckTargets({{words[3], CfgNameFor(words[3])}, {words[2]}, overwrite}, "tfs"))
      return status;
  if (!CheckReadable({words[2]})) {
    if (sub == "decode") std::fprintf(stderr, "Nothing was written.\n");
    return kExitUsage;
  }
  ConsoleProgress progress;
  ConsoleUi ui(progress, false);
  ui.log = RunLog();
  TDIFFile dif;
  std::vector<std::string> directories;
  if (!Decode(ui, words[2], family, dif, directories)) return kExitFailed;
  if (sub == "decode") {
    if (!WriteTfsPair(ui, dif, words[3], &directories)) return kExitFailed;
    if (ui.errors()) return kExitFailed;
    return End({Ending::Kind::Completed, words[3] + " and " + CfgNameFor(words[3]) + " written: " +
                                             std::to_string(dif.Blocks.size()) + " files in " +
                                             std::to_string(directories.size()) + " directories"});
  }
  // One sorted listing: directories end in "/", files carry their size.
  std::vector<std::pair<std::string, std::string>> lines;
  for (const std::string& d : directories) lines.push_back({d, "          "});
  for (const TDIFBlock& b : dif.Blocks) {
    if (b.Kind != "TFSF") continue;
    std::string path, contents;
    TDIFFile::GetTFSFile(b, path, contents);
    char size[16];
    std::snprintf(size, sizeof size, "%10zu", contents.size());
    lines.push_back({path, size});
  }
  std::sort(lines.begin(), lines.end());
  for (const auto& [path, size] : lines) std::printf("%s %s\n", size.c_str(), path.c_str());
  return ui.errors() ? kExitFailed : 0;
}

}  // namespace brantle::cli
