#pragma once
// The DIF container: an ordered list of typed blocks (NOR data, NOR reversal data,
// TFS files, a rich-text comment), stored plain or zlib-compressed. Every patch, undo
// and DIF dump of the tool passes through TDIFFile; nothing else reads or writes the
// file layout.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brantle {

class Ui;

// DIF result codes.
constexpr int kDIFOk = 0;
constexpr int kDIFCannotOpen = -1;  // cannot open (load) or create (save)
constexpr int kDIFInvalid = -2;
constexpr int kDIFUnsupportedKind = -3;
constexpr int kDIFForeignPhone = -4;

// The phone ID and creator text of every file this tool writes.
extern const char kDIFPhoneID[];           // "BRNA"
extern const std::string kDIFCreatorText;  // " BRNTL v0.68" and four zero bytes

// The block kinds this version understands, in the order the window lists them.
const std::vector<std::string>& KnownDIFKinds();

struct TDIFBlock {
  std::string Kind = "aAAA";  // always four characters
  std::string Data;           // the payload; its layout depends on Kind
  // Derived from Kind by SetBlockKind only; a kind overwritten in place keeps them.
  bool Optional = true;
  bool KeepUnknown = true;
};

class TDIFFile {
 public:
  std::string PhoneID;      // 4 characters
  std::string CreatorText;  // 16 bytes
  std::vector<TDIFBlock> Blocks;

  TDIFFile() { Clear(); }

  void Clear();

  // 0, -1 (cannot open) or -2 (invalid DIF file). On any failure the object holds
  // whatever was read before the fault; callers discard it.
  int LoadFromFile(const std::string& fileName);
  // compress == 1 writes the zlib form, any other value the plain one. 0 or -1. The
  // old file under that name survives a failed write.
  int SaveToFile(const std::string& fileName, int compress) const;

  // 0, or -3 with the offending block moved to index 0 (so the message can name it).
  int CheckBlockKinds(const std::vector<std::string>& knownKinds);

  // Append (or insert at index) a placeholder block of kind "aAAA"; returns its index.
  size_t AddBlock();
  size_t InsertBlock(size_t index);

  // Setters and getters work on a block of any list; the getters neither check the
  // kind nor change the block, and never read past a payload too short for its layout.
  static void SetBlockKind(TDIFBlock& block, const std::string& kind);
  static void SetComment(TDIFBlock& block, const std::string& text);
  static std::string GetComment(const TDIFBlock& block);
  static void SetNORData(TDIFBlock& block, uint32_t address, const std::string& bytes);
  static void GetNORData(const TDIFBlock& block, uint32_t& address, std::string& bytes);
  static void SetReverseData(TDIFBlock& block, uint32_t address, const std::string& bytes);
  static void GetReverseData(const TDIFBlock& block, uint32_t& address, std::string& bytes);
  static void SetTFSFile(TDIFBlock& block, const std::string& name, const std::string& contents);
  static void GetTFSFile(const TDIFBlock& block, std::string& name, std::string& contents);

  // The same by index into Blocks.
  void SetBlockKind(size_t index, const std::string& kind) { SetBlockKind(Blocks[index], kind); }
  void SetComment(size_t index, const std::string& text) { SetComment(Blocks[index], text); }
  void SetNORData(size_t index, uint32_t address, const std::string& bytes) {
    SetNORData(Blocks[index], address, bytes);
  }
  void SetReverseData(size_t index, uint32_t address, const std::string& bytes) {
    SetReverseData(Blocks[index], address, bytes);
  }
  void SetTFSFile(size_t index, const std::string& name, const std::string& contents) {
    SetTFSFile(Blocks[index], name, contents);
  }
};

// Address and data length of a "NORD"/"nOrR" payload without copying the data.
uint32_t NORAddress(const TDIFBlock& block);
size_t NORDataLength(const TDIFBlock& block);
const char* NORDataBytes(const TDIFBlock& block);

// The pure core of LoadFromFile / SaveToFile: file bytes in, result code out; and a
// DIF out as the exact file bytes.
int ParseDIF(const char* bytes, size_t size, TDIFFile& dif);
int ParseDIF(const std::string& bytes, TDIFFile& dif);
std::string SerializeDIF(const TDIFFile& dif, int compress);

// The shared DIF error message: the text of a DIF result code (naming the kind of
// block 0 for -3 and the phone ID for -4), and the error box prefix + " " + text.
std::string DIFErrorText(int code, const TDIFFile& dif);
void ShowDIFError(Ui& ui, const std::string& prefix, int code, const TDIFFile& dif);

}  // namespace brantle
