#include "input_checks.h"

#include <cstdio>

#include "operations/hex_data.h"
#include "phone_commands.h"

namespace brantle::cli {
namespace {

int Refuse(int status, const std::string& message) {
  std::fprintf(stderr, "brantle-cli: %s\n", message.c_str());
  return status;
}

// The page's hexadecimal data rule decides what the text means. Where the rule
// would move the offset to make the bytes fit, the command refuses instead: a
// script asked for that address and no other.
int CheckHexData(const Options& o, const NorAreas& areas, std::string& bytes) {
  const std::string& text = o.operands[1];
  if (o.offset.empty()) return Refuse(kExitUsage, "flash hex needs --offset HEX");
  const int32_t offset = TrimmedFieldValue(o.offset);
  if (offset < 0) return Refuse(kExitUsage, "--offset needs a hexadecimal NOR address");
  const HexDataView view = ApplyHexDataRule(text, o.offset, areas.Total());
  if (view.Bytes.empty())
    return Refuse(kExitUsage, "flash hex: \"" + text +
                                  "\" is not hexadecimal data (bytes as pairs of digits 0-9, "
                                  "A-F separated by blanks, e.g. \"0A 1B 2C\")");
  if (!view.ActionEnabled || TrimmedFieldValue(view.Offset) != offset)
    return Refuse(kExitUsage, "flash hex: " + std::to_string(view.Bytes.size()) + " bytes at " +
                                  RegionHex(static_cast<uint32_t>(offset)) +
                                  " reach beyond the NOR's end (" + RegionHex(areas.Total() - 1) +
                                  ")");
  bytes = view.Bytes;
  return 0;
}

}  // namespace

int CheckInputs(const Options& o, const NorAreas& areas, CheckedInputs& inputs) {
  if (o.command == "flash" && o.operands[0] == "hex")
    return CheckHexData(o, areas, inputs.hexBytes);
  return 0;
}

}  // namespace brantle::cli
