#pragma once
// The field rules of two flash pages, as pure functions: the page passes in what its
// controls hold and shows what comes out. "Flash BIN file part at offset" keeps its
// three hexadecimal fields inside the file and the NOR; "Flash hex data" turns the
// typed text into bytes and keeps them inside the NOR.

#include <cstdint>
#include <string>

namespace brantle {

// HexToInt of the field's text with leading and trailing blanks removed.
int32_t TrimmedFieldValue(const std::string& text);

// What the BIN-offset page shows after its rule ran.
struct BinOffsetView {
  bool FieldsEnabled = false;  // the three fields
  bool ActionEnabled = false;
  // The fields rewritten in upper-case hexadecimal.
  std::string BinOffset;
  std::string PhoneOffset;
  std::string Length;
  // Last byte in the file and in the NOR, or "-" when nothing would be flashed.
  std::string EndBinOffset = "-";
  std::string EndPhoneOffset = "-";
};

// Keeps BINOffset .. BINOffset + Length - 1 inside a file of fileSize bytes and
// PhoneOffset .. PhoneOffset + Length - 1 inside the NOR's norTotal (FW + EE) bytes.
// Without a chosen file everything is disabled and the fields stay as they are.
BinOffsetView ApplyBinOffsetRule(bool haveFile, const std::string& binOffset,
                                 const std::string& phoneOffset, const std::string& length,
                                 uint64_t fileSize, uint32_t norTotal);

// Bytes typed as hexadecimal digits: pairs of digits, or single digits standing
// alone, separated by blanks (space, tab, CR, LF, NUL). False (and no bytes) for
// any other character or for three or more digits in a row of odd length.
bool ParseHexData(const std::string& text, std::string& bytes);

// What the hex data page shows after its rule ran.
struct HexDataView {
  std::string Bytes;  // what the action button flashes
  bool Red = false;   // the editor text colour: red when there is nothing to flash
  bool ActionEnabled = false;
  std::string Offset;     // the offset field rewritten
  std::string EndOffset;  // offset of the last byte, or "-"
  std::string Length;     // the byte count in hexadecimal
};

HexDataView ApplyHexDataRule(const std::string& editorText, const std::string& offsetText,
                             uint32_t norTotal);

}  // namespace brantle
