#include "phone_checks.h"

#include <cstdio>

#include "console_ui.h"
#include "engine/ktze_loaders.h"
#include "engine/opti_models.h"
#include "formats/stde_decoder.h"
#include "help_texts.h"
#include "operations/operation_frame.h"
#include "operations/tfs_workflows.h"
#include "phone_commands.h"
#include "run_log.h"

namespace brantle::cli {

int CheckRegion(const Options& o, const NorAreas& areas, std::string& start, std::string& end) {
  if (o.command != "dump" && o.command != "erase") return 0;
  const std::string& region = o.region;
  const std::string given = "--region " + region;
  if (region == "firmware") {
    start = "0", end = RegionHex(areas.FirmwareSize - 1);
  } else if (region == "eeprom") {
    start = RegionHex(areas.EepromStart()), end = RegionHex(areas.Total() - 1);
  } else if (region == "full") {
    start = "0", end = RegionHex(areas.Total() - 1);
  } else {
    const size_t dash = region.find('-');
    if (dash == std::string::npos)
      return UsageError(given + ": give firmware, eeprom, full or START-END in hexadecimal",
                        o.command);
    start = region.substr(0, dash), end = region.substr(dash + 1);
    for (std::string* field : {&start, &end})
      if (field->size() > 2 && (*field)[0] == '0' && ((*field)[1] == 'x' || (*field)[1] == 'X'))
        field->erase(0, 2);
  }
  // The tab's own field rule: at most eight hexadecimal digits.
  const int32_t first = FieldHexToInt(start), last = FieldHexToInt(end);
  if (first < 0 || last < 0 || start.empty() || end.empty())
    return UsageError(given + ": START and END are hexadecimal NOR addresses", o.command);
  if (first > last) return UsageError(given + ": the start lies above the end", o.command);
  if (static_cast<uint32_t>(last) >= areas.Total())
    return UsageError(given + " reaches beyond the end of the " + o.family + " NOR (" +
                          RegionHex(areas.Total() - 1) + ")",
                      o.command);
  return 0;
}

int CheckSectors(const Options& o) {
  if (o.command != "tfs" || o.operands[0] != "raw-read") return 0;
  ConsoleProgress progress;
  ConsoleUi ui(progress, false);
  ui.log = RunLog();
  uint32_t first = 0, last = 0;
  if (CheckSectorRange(ui, NandSectorCount(o.family), o.operands[1], o.operands[2], first, last))
    return 0;
  return PointToHelp("tfs");
}

int CheckLoaders(const Options& o) {
  const std::vector<LoaderFile> files =
      o.family == "Opti"
          ? std::vector<LoaderFile>{OptiModelByName(o.model).loader}
          : std::vector<LoaderFile>{ELoaders(o.family == "S500" ? "E700" : o.family).first,
                                    ELoaders(o.family == "S500" ? "E700" : o.family).second};
  const std::string folder = DefaultLoadersFolder();
  bool ok = true;
  for (const LoaderFile& file : files) {
    std::string image, error;
    if (LoadLoader(folder, file, image, error)) continue;
    std::fprintf(stderr, "brantle-cli: %s\n", error.c_str());
    ok = false;
  }
  if (ok) return 0;
  std::fprintf(stderr,
               "The loaders folder is $BRANTLE_LOADERS, else loaders/ beside the program, else "
               "../share/brantle/loaders. Nothing was sent to the phone.\n");
  return kExitUsage;
}

}  // namespace brantle::cli
