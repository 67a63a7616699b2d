#pragma once
// The TFS/CFG file pair: a data file holding the contents of every file of the
// phone's NAND file system back to back, and beside it a CFG text listing the
// directories and, in data order, each file's TFS path and size.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dif/DIFFiles.h"

namespace brantle {

class Ui;

constexpr char kTFSVersion[] = "TFS3.0_E700_0001";

// The CFG beside a data file: same folder and base name, extension ".cfg".
std::string CfgNameFor(const std::string& dataFileName);

// Whether a TFS name names a file: it does not end in "/" and has no empty, "." or
// ".." part. "/user/" or "/user//a" would give the phone a file without a name, which
// can cost every file written with it.
bool IsTfsFileName(const std::string& name);
// The first name of a "TFSF" block with contents that names no file; "" when every
// one does (an empty file is not sent, only its folders are made).
std::string TfsNameNamingNoFile(const TDIFFile& dif);

// One CFG line: the key is the text before the first ":" without surrounding blanks,
// upper-cased; the value the text after it without surrounding blanks. A line without
// ":" has an empty key.
struct CfgLine {
  std::string Key;
  std::string Value;
};
CfgLine ParseCfgLine(std::string_view line);

struct CfgFile {
  std::string Path;
  uint64_t Size = 0;
};
struct CfgContents {
  std::vector<std::string> Directories;  // DIR_NAME values in file order
  std::vector<CfgFile> Files;            // FILE_NAME entries in data order
  uint64_t TotalSize = 0;                // what the data file must hold
};

enum class CfgError {
  None,
  Version,              // a TFSVERSION other than TFS3.0_E700_0001 (any case)
  FileNameWithoutSize,  // a FILE_NAME line not directly followed by FILE_SIZE
  BadSize,              // a FILE_SIZE that is not a decimal number
};

// Reads the CFG text (lines end at CR, LF or CR LF). Unknown keys, NUM_DIR and
// MAXFILES are ignored. contents is empty unless the result is None.
CfgError ParseCfg(std::string_view text, CfgContents& contents);

// Every directory the files and the given directory list imply, with all their
// ancestors (never the root), without duplicates, ordered shorter first and equal
// lengths by the collation of the process locale, so that a directory follows its
// ancestors and the same files always give the same order.
std::vector<std::string> TfsDirectories(const std::vector<std::string>& filePaths,
                                        const std::vector<std::string>* directoryList);

// The CFG text (CR LF line ends) for the container's "TFSF" blocks in their order;
// files of length 0 are left out. Other kinds are ignored.
std::string CfgText(const TDIFFile& dif, const std::vector<std::string>* directoryList);

// True when every TFS path can be written into a CFG and read back unchanged: no line
// break in it and no blank at either end (the reader strips those).
bool CfgCanHold(const TDIFFile& dif, const std::vector<std::string>* directoryList);

// Loads the pair into the container as "TFSF" blocks and optimises it; DIR_NAME
// values are appended to directoryList when given. A rejected CFG, a size that is not
// decimal or a data file shorter than the sizes claim shows the Err_Invalid_TFS
// message and leaves the container empty.
bool ReadTfsPair(Ui& ui, TDIFFile& dif, const std::string& dataFileName,
                 std::vector<std::string>* directoryList);

// Replaces the data file and its CFG with the container's "TFSF" blocks.
bool WriteTfsPair(Ui& ui, const TDIFFile& dif, const std::string& dataFileName,
                  const std::vector<std::string>* directoryList);

}  // namespace brantle
