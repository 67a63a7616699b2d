#include "dif/DIFFiles.h"

#include <algorithm>
#include <cstring>

#include "lang/lang_get.h"
#include "ui/ui.h"

namespace brantle {

const char kDIFPhoneID[] = "BRNA";
const std::string kDIFCreatorText(" BRNTL v0.68\0\0\0\0", 16);

const std::vector<std::string>& KnownDIFKinds() {
  static const std::vector<std::string> kinds = {"NORD", "nOrR", "TFSF", "dIFC"};
  return kinds;
}

namespace {

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}

std::string LittleEndian32(uint32_t value) {
  std::string out(4, '\0');
  for (size_t i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// Bytes 0..3 of a payload; a payload too short to hold them reads as zero-padded so
// that a getter never reads outside the block.
uint32_t Payload32(const std::string& data) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4 && i < data.size(); ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(data[i])) << (8 * i);
  }
  return value;
}

void SetAddressed(TDIFBlock& block, const char* kind, uint32_t address, const std::string& bytes) {
  block.Data.clear();
  block.Data.reserve(4 + bytes.size());
  block.Data += LittleEndian32(address);
  block.Data += bytes;
  TDIFFile::SetBlockKind(block, kind);
}

void GetAddressed(const TDIFBlock& block, uint32_t& address, std::string& bytes) {
  address = Payload32(block.Data);
  bytes = block.Data.size() > 4 ? block.Data.substr(4) : std::string();
}

// Message texts name kinds and phone IDs as they stand in the file, minus the
// padding blanks (and control bytes) around them.
std::string TrimBlanks(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<uint8_t>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<uint8_t>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

}  // namespace

void TDIFFile::Clear() {
  Blocks.clear();
  Blocks.shrink_to_fit();
  PhoneID.assign(4, ' ');
  CreatorText.assign(16, ' ');
}

int TDIFFile::CheckBlockKinds(const std::vector<std::string>& knownKinds) {
  size_t i = 0;
  while (i < Blocks.size()) {
    const TDIFBlock& block = Blocks[i];
    bool known = false;
    for (const std::string& kind : knownKinds) {
      if (block.Kind == kind) {
        known = true;
        break;
      }
    }
    if (known || (block.Optional && block.KeepUnknown)) {
      ++i;
    } else if (!block.Optional) {
      TDIFBlock offending = std::move(Blocks[i]);
      Blocks.erase(Blocks.begin() + static_cast<std::ptrdiff_t>(i));
      Blocks.insert(Blocks.begin(), std::move(offending));
      return kDIFUnsupportedKind;
    } else {
      Blocks.erase(Blocks.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  return kDIFOk;
}

size_t TDIFFile::AddBlock() {
  return InsertBlock(Blocks.size());
}

size_t TDIFFile::InsertBlock(size_t index) {
  if (index > Blocks.size()) index = Blocks.size();
  TDIFBlock block;
  SetBlockKind(block, "aAAA");
  Blocks.insert(Blocks.begin() + static_cast<std::ptrdiff_t>(index), std::move(block));
  return index;
}

void TDIFFile::SetBlockKind(TDIFBlock& block, const std::string& kind) {
  block.Kind = kind;
  block.Kind.resize(4, ' ');
  block.Optional = !IsUpper(block.Kind[0]);
  block.KeepUnknown = IsUpper(block.Kind[2]);
}

void TDIFFile::SetComment(TDIFBlock& block, const std::string& text) {
  block.Data = text;
  SetBlockKind(block, "dIFC");
}

std::string TDIFFile::GetComment(const TDIFBlock& block) {
  return block.Data;
}

void TDIFFile::SetNORData(TDIFBlock& block, uint32_t address, const std::string& bytes) {
  SetAddressed(block, "NORD", address, bytes);
}

void TDIFFile::GetNORData(const TDIFBlock& block, uint32_t& address, std::string& bytes) {
  GetAddressed(block, address, bytes);
}

void TDIFFile::SetReverseData(TDIFBlock& block, uint32_t address, const std::string& bytes) {
  SetAddressed(block, "nOrR", address, bytes);
}

void TDIFFile::GetReverseData(const TDIFBlock& block, uint32_t& address, std::string& bytes) {
  GetAddressed(block, address, bytes);
}

void TDIFFile::SetTFSFile(TDIFBlock& block, const std::string& name, const std::string& contents) {
  block.Data.clear();
  block.Data.reserve(4 + name.size() + contents.size());
  block.Data += LittleEndian32(static_cast<uint32_t>(name.size()));
  block.Data += name;
  block.Data += contents;
  SetBlockKind(block, "TFSF");
}

void TDIFFile::GetTFSFile(const TDIFBlock& block, std::string& name, std::string& contents) {
  const size_t rest = block.Data.size() > 4 ? block.Data.size() - 4 : 0;
  const size_t nameLength = std::min<size_t>(Payload32(block.Data), rest);
  name = block.Data.substr(block.Data.size() - rest, nameLength);
  contents = block.Data.substr(block.Data.size() - rest + nameLength);
}

uint32_t NORAddress(const TDIFBlock& block) {
  return Payload32(block.Data);
}

size_t NORDataLength(const TDIFBlock& block) {
  return block.Data.size() > 4 ? block.Data.size() - 4 : 0;
}

const char* NORDataBytes(const TDIFBlock& block) {
  return block.Data.data() + std::min<size_t>(4, block.Data.size());
}

std::string DIFErrorText(int code, const TDIFFile& dif) {
  switch (code) {
    case kDIFUnsupportedKind: {
      const std::string kind = dif.Blocks.empty() ? std::string() : dif.Blocks[0].Kind;
      return LangGet("DIF_Error_-3_1") + " '" + TrimBlanks(kind) + "' " + LangGet("DIF_Error_-3_2");
    }
    case kDIFForeignPhone:
      return LangGet("DIF_Error_-4_1") + " '" + TrimBlanks(dif.PhoneID) + "' " +
             LangGet("DIF_Error_-4_2");
    default:
      return LangGet("DIF_Error_" + std::to_string(code));
  }
}

void ShowDIFError(Ui& ui, const std::string& prefix, int code, const TDIFFile& dif) {
  ui.Message(MessageKind::Error, prefix + " " + DIFErrorText(code, dif), Buttons::Ok);
}

}  // namespace brantle
