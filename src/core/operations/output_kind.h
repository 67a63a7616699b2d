#pragma once
// The save dialogs that offer both DIF and BIN files decide the kind of the output
// from the name typed and the filter entry chosen, and complete a bare name.

#include <string>

namespace brantle {

// Filter entries of "DIF files|BIN files|All Files".
constexpr int kDifFilter = 1;
constexpr int kBinFilter = 2;
constexpr int kAnyFilter = 3;

struct OutputChoice {
  std::string FileName;  // trimmed, with the default extension of a bare name
  bool Dif = false;
};

// DIF filter: a bare name gets ".dif"; a DIF unless the extension is exactly ".bin".
// BIN filter: a bare name gets ".bin"; a DIF only if the extension is exactly ".dif".
// Any other entry: a DIF when the extension is ".dif" in any case.
OutputChoice DecideOutputKind(const std::string& chosenName, int filterIndex);

// The extension of the file's name with its dot; empty when the name has none.
std::string FileExtension(const std::string& path);
// True when the extension is ".dif" in any case.
bool HasDifExtension(const std::string& path);
// The file's name without folder and extension.
std::string FileBaseName(const std::string& path);

}  // namespace brantle
