#include "target_checks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "console_ui.h"
#include "help_texts.h"
#include "phone_commands.h"

namespace brantle::cli {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool SameFile(const struct stat& a, const std::string& path) {
  struct stat b {};
  return stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Why the file cannot be written where it is named; empty when it can.
std::string WhyNotWritable(const std::string& target) {
  const std::string folder = FolderOf(target);
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0) return "the folder " + folder + " does not exist";
  if (!S_ISDIR(st.st_mode)) return folder + " is not a folder";
  // Writers put a temporary file beside the target and rename it over the target.
  if (access(folder.c_str(), W_OK | X_OK) != 0) return "the folder " + folder + " is not writable";
  return "";
}

std::string Listed(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i)
    text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
  return text;
}

}  // namespace

int CheckTargets(const TargetCheck& check, const std::string& command) {
  std::vector<std::string> existing;
  for (const std::string& target : check.targets) {
    if (target.empty()) continue;
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) {
      const std::string why = WhyNotWritable(target);
      if (!why.empty()) return UsageError("cannot write " + target + ": " + why, command);
      continue;
    }
    if (S_ISDIR(st.st_mode)) return UsageError(target + " is a folder, not a file", command);
    for (const std::string& input : check.inputs)
      if (!input.empty() && SameFile(st, input))
        return UsageError(target + " is also a file this command reads (" + input +
                              "); the file written needs a name of its own",
                          command);
    existing.push_back(target);
  }
  if (existing.empty() || check.overwrite) return 0;
  const bool one = existing.size() == 1;
  const std::string names = Listed(existing);
  if (!CanAsk())
    return UsageError(names + (one ? " exists" : " exist") + "; give --overwrite to replace " +
                          (one ? "it" : "them"),
                      command);
  if (AskYes(names + (one ? " exists. Replace it?" : " exist. Replace them?"))) return 0;
  std::fprintf(stderr, "Cancelled: %s kept; nothing was done.\n", names.c_str());
  return kExitFailed;
}

}  // namespace brantle::cli
