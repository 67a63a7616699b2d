#include "formats/tfs_pair.h"

#include <algorithm>
#include <clocale>
#include <cstring>
#include <set>

#include "dif/DIFCore.h"
#include "files/file_access.h"
#include "formats/input_file_problem.h"
#include "lang/lang_get.h"
#include "ui/ui.h"

namespace brantle {
namespace {

constexpr char kEol[] = "\r\n";

// Blanks as the CFG reader strips them: space and the control characters.
bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  return lines;
}

// A plain decimal number; false for anything else, a sign or an overflow included.
bool ParseDecimal(std::string_view text, uint64_t& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

// The path and contents of a "TFSF" payload, read the way TDIFFile::GetTFSFile reads
// them but without copying the contents.
struct TfsView {
  std::string_view Path;
  std::string_view Contents;
};
TfsView ViewTfsFile(const TDIFBlock& block) {
  const std::string_view data(block.Data);
  if (data.size() <= 4) return {};
  const auto* p = reinterpret_cast<const unsigned char*>(data.data());
  const uint32_t declared = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                            static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  const size_t length = std::min<size_t>(declared, data.size() - 4);
  return {data.substr(4, length), data.substr(4 + length)};
}

std::vector<TfsView> TfsFiles(const TDIFFile& dif) {
  std::vector<TfsView> files;
  for (const TDIFBlock& block : dif.Blocks)
    if (block.Kind == "TFSF") files.push_back(ViewTfsFile(block));
  return files;
}

void AddAncestors(std::string path, std::set<std::string>& directories) {
  for (;;) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return;
    path.erase(slash);
    if (!path.empty() && path.back() == '/') path.pop_back();
    if (path.empty()) return;
    directories.insert(path);
  }
}

bool LineSafe(std::string_view text) {
  if (text.find_first_of("\r\n") != std::string_view::npos) return false;
  return text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back()));
}

bool FailInvalid(Ui& ui, TDIFFile& dif) {
  dif.Clear();
  ui.Error(LangGet("Err_Invalid_TFS"));
  return false;
}

bool FailFile(Ui& ui, TDIFFile* dif, const std::string& detail) {
  if (dif) dif->Clear();
  ui.Error(LangGet("ErrC_Operation_Aborted") + " " + detail);
  ui.ShowIdleState();
  return false;
}

}  // namespace

std::string CfgNameFor(const std::string& dataFileName) {
  const size_t slash = dataFileName.rfind('/');
  const size_t dot = dataFileName.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    return dataFileName.substr(0, dot) + ".cfg";
  return dataFileName + ".cfg";
}

bool IsTfsFileName(const std::string& name) {
  if (name.empty() || name.back() == '/') return false;
  size_t start = name[0] == '/' ? 1 : 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

std::string TfsNameNamingNoFile(const TDIFFile& dif) {
  for (const TDIFBlock& block : dif.Blocks) {
    if (block.Kind != "TFSF") continue;
    std::string name, bytes;
    TDIFFile::GetTFSFile(block, name, bytes);
    if (!bytes.empty() && !IsTfsFileName(name)) return name.empty() ? "\"\"" : name;
  }
  return "";
}

CfgLine ParseCfgLine(std::string_view line) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {};
  return {UpperAscii(TrimBlanks(line.substr(0, colon))),
          std::string(TrimBlanks(line.substr(colon + 1)))};
}

CfgError ParseCfg(std::string_view text, CfgContents& contents) {
  contents = CfgContents();
  CfgContents read;
  const std::vector<std::string_view> lines = SplitLines(text);
  CfgError error = CfgError::None;
  for (size_t i = 0; i < lines.size() && error == CfgError::None; ++i) {
    CfgLine line = ParseCfgLine(lines[i]);
    if (line.Key == "TFSVERSION") {
      if (UpperAscii(line.Value) != kTFSVersion) error = CfgError::Version;
    } else if (line.Key == "DIR_NAME") {
      read.Directories.push_back(std::move(line.Value));
    } else if (line.Key == "FILE_NAME") {
      if (i + 1 >= lines.size()) {
        error = CfgError::FileNameWithoutSize;
        break;
      }
      const CfgLine sizeLine = ParseCfgLine(lines[++i]);
      CfgFile file;
      file.Path = std::move(line.Value);
      if (sizeLine.Key != "FILE_SIZE") {
        error = CfgError::FileNameWithoutSize;
      } else if (!ParseDecimal(sizeLine.Value, file.Size)) {
        error = CfgError::BadSize;
      } else {
        // Saturates: a sum past 2^64 is as unsatisfiable as any other too large one.
        read.TotalSize =
            file.Size > UINT64_MAX - read.TotalSize ? UINT64_MAX : read.TotalSize + file.Size;
        read.Files.push_back(std::move(file));
      }
    }
  }
  if (error == CfgError::None) contents = std::move(read);
  return error;
}

std::vector<std::string> TfsDirectories(const std::vector<std::string>& filePaths,
                                        const std::vector<std::string>* directoryList) {
  std::set<std::string> unique;
  for (const std::string& path : filePaths) AddAncestors(path, unique);
  if (directoryList) {
    for (std::string entry : *directoryList) {
      if (!entry.empty() && entry.back() == '/') entry.pop_back();
      AddAncestors(entry + "/123", unique);
    }
  }
  std::vector<std::string> sorted(unique.begin(), unique.end());
  std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    const int order = std::strcoll(a.c_str(), b.c_str());
    // Collation may call distinct texts equal; the byte order keeps the sort strict.
    return order != 0 ? order < 0 : a < b;
  });
  return sorted;
}

std::string CfgText(const TDIFFile& dif, const std::vector<std::string>* directoryList) {
  const std::vector<TfsView> files = TfsFiles(dif);
  std::vector<std::string> paths;
  paths.reserve(files.size());
  for (const TfsView& file : files) paths.emplace_back(file.Path);
  const std::vector<std::string> directories = TfsDirectories(paths, directoryList);

  std::string text;
  text += std::string("TFSVERSION : ") + kTFSVersion + kEol;
  text += "NUM_DIR : " + std::to_string(directories.size()) + kEol;
  text += std::string("MAXFILES : 200") + kEol;
  text += std::string("SET_DIR") + kEol;
  for (const std::string& directory : directories) text += "DIR_NAME : " + directory + kEol;
  text += std::string("END_DIR") + kEol;
  text += std::string("SET_FILE") + kEol;
  for (const TfsView& file : files) {
    if (file.Contents.empty()) continue;
    text += "FILE_NAME : ";
    text += file.Path;
    text += kEol;
    text += "FILE_SIZE : " + std::to_string(file.Contents.size()) + kEol;
  }
  text += std::string("END_FILE") + kEol;
  text += std::string("END_TFS") + kEol;
  return text;
}

bool CfgCanHold(const TDIFFile& dif, const std::vector<std::string>* directoryList) {
  for (const TfsView& file : TfsFiles(dif))
    if (!LineSafe(file.Path)) return false;
  if (directoryList)
    for (const std::string& entry : *directoryList)
      if (!LineSafe(entry)) return false;
  return true;
}

bool ReadTfsPair(Ui& ui, TDIFFile& dif, const std::string& dataFileName,
                 std::vector<std::string>* directoryList) {
  InputFile data;
  if (!data.Open(dataFileName)) return FailFile(ui, &dif, OpenFailure(dataFileName));
  std::string cfg;
  const FileStatus cfgStatus = ReadWholeFile(CfgNameFor(dataFileName), cfg);
  if (cfgStatus == FileStatus::OpenFailed)
    return FailFile(ui, &dif, OpenFailure(CfgNameFor(dataFileName)));
  if (cfgStatus != FileStatus::Ok) return FailFile(ui, &dif, LangGet("Err_Read_File"));

  CfgContents contents;
  if (ParseCfg(cfg, contents) != CfgError::None) return FailInvalid(ui, dif);
  cfg = std::string();
  // Checked before anything is read, so a CFG claiming more than the data file holds
  // neither loads a part nor makes us allocate what is not there.
  if (contents.TotalSize > data.Size()) return FailInvalid(ui, dif);

  for (const CfgFile& file : contents.Files) {
    const size_t index = dif.AddBlock();
    TDIFBlock& block = dif.Blocks[index];
    TDIFFile::SetTFSFile(block, file.Path, std::string());
    const size_t offset = block.Data.size();
    block.Data.resize(offset + static_cast<size_t>(file.Size));
    if (!data.ReadExactly(block.Data.data() + offset, static_cast<size_t>(file.Size)))
      return FailFile(ui, &dif, LangGet("Err_Read_File"));
  }
  if (directoryList)
    directoryList->insert(directoryList->end(), contents.Directories.begin(),
                          contents.Directories.end());
  OptimizeDIF(dif, ui);
  return true;
}

bool WriteTfsPair(Ui& ui, const TDIFFile& dif, const std::string& dataFileName,
                  const std::vector<std::string>* directoryList) {
  const std::string cfgName = CfgNameFor(dataFileName);
  if (!CfgCanHold(dif, directoryList)) {
    ui.Error(LangGet("Err_Invalid_TFS"));
    return false;
  }
  // A data file named *.cfg would be its own CFG; one of the two would be lost.
  if (cfgName == dataFileName) return FailFile(ui, nullptr, LangGet("Err_Create_File"));

  ReplacementFile data;
  ReplacementFile cfg;
  if (!data.Open(dataFileName) || !cfg.Open(cfgName))
    return FailFile(ui, nullptr, LangGet("Err_Create_File"));
  for (const TfsView& file : TfsFiles(dif)) data.Write(file.Contents.data(), file.Contents.size());
  cfg.Write(CfgText(dif, directoryList));
  if (!data.Commit() || !cfg.Commit()) return FailFile(ui, nullptr, LangGet("Err_Create_File"));
  return true;
}

}  // namespace brantle
