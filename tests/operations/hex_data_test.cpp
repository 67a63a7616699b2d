// The field rules of the hex data and BIN-offset pages.

#include "operations/hex_data.h"

#include <gtest/gtest.h>

namespace brantle {
namespace {

constexpr uint32_t kNor = 0x1000000;  // FW + EE of the E families

std::string Parsed(const std::string& text, bool expectValid = true) {
  std::string bytes = "left over";
  EXPECT_EQ(ParseHexData(text, bytes), expectValid) << text;
  return bytes;
}

TEST(ParseHexDataTest, SingleDigitsPairsAndRunsGiveTheSameBytes) {
  const std::string want("\x00\x01\x0A\x0B", 4);
  EXPECT_EQ(Parsed("0 1 A b"), want);
  EXPECT_EQ(Parsed("00 01 0a 0B"), want);
  EXPECT_EQ(Parsed("00010A0B"), want);
  EXPECT_EQ(Parsed("AB 1"), "\xAB\x01");
  EXPECT_EQ(Parsed("1 2 A0"), "\x01\x02\xA0");
  EXPECT_EQ(Parsed(std::string("\tde\r\nAD\0be", 10)), "\xDE\xAD\xBE");
  EXPECT_EQ(Parsed(" \r\n"), "");
}

TEST(ParseHexDataTest, OddRunsAndForeignCharactersMakeTheWholeTextInvalid) {
  EXPECT_EQ(Parsed("12 ABC", false), "");
  EXPECT_EQ(Parsed("12 G0", false), "");
  EXPECT_EQ(Parsed("12,34", false), "");
  EXPECT_EQ(Parsed("0x12", false), "");
}

TEST(HexDataRuleTest, BytesInsideTheNorKeepTheOffset) {
  const HexDataView view = ApplyHexDataRule("11 22 33", " 1f0 ", kNor);
  EXPECT_EQ(view.Bytes, "\x11\x22\x33");
  EXPECT_FALSE(view.Red);
  EXPECT_TRUE(view.ActionEnabled);
  EXPECT_EQ(view.Offset, "1F0");
  EXPECT_EQ(view.EndOffset, "1F2");
  EXPECT_EQ(view.Length, "3");
  // An invalid offset counts as negative and becomes 0.
  EXPECT_EQ(ApplyHexDataRule("11", "xyz", kNor).Offset, "0");
}

TEST(HexDataRuleTest, OffsetsPastTheEndMoveBackAndTooManyBytesTurnRed) {
  HexDataView view = ApplyHexDataRule("11 22 33 44", "FFFFFE", kNor);
  EXPECT_EQ(view.Offset, "FFFFFC");
  EXPECT_EQ(view.EndOffset, "FFFFFF");

  view = ApplyHexDataRule("11 22 33", "2", 2);
  EXPECT_TRUE(view.Red);
  EXPECT_FALSE(view.ActionEnabled);
  EXPECT_EQ(view.Offset, "0");
  EXPECT_EQ(view.EndOffset, "-");
  EXPECT_EQ(view.Length, "3");
}

TEST(HexDataRuleTest, NothingToFlashIsRedAndDisabled) {
  HexDataView view = ApplyHexDataRule("12 Q", "10", kNor);
  EXPECT_TRUE(view.Red);
  EXPECT_FALSE(view.ActionEnabled);
  EXPECT_EQ(view.Length, "0");
  EXPECT_EQ(view.Offset, "10");
  EXPECT_EQ(ApplyHexDataRule("", "0", kNor).EndOffset, "-");
}

TEST(BinOffsetRuleTest, WithoutAFileEverythingIsDisabled) {
  const BinOffsetView view = ApplyBinOffsetRule(false, "10", "20", "30", 0, kNor);
  EXPECT_FALSE(view.FieldsEnabled);
  EXPECT_FALSE(view.ActionEnabled);
  EXPECT_EQ(view.BinOffset, "10");
  EXPECT_EQ(view.EndBinOffset, "-");
}

TEST(BinOffsetRuleTest, FieldsAreKeptInsideTheFileAndTheNor) {
  // Length beyond the file's end shrinks to what the file holds after the offset.
  BinOffsetView view = ApplyBinOffsetRule(true, "100", "2000", "FFFF", 0x180, kNor);
  EXPECT_TRUE(view.FieldsEnabled);
  EXPECT_TRUE(view.ActionEnabled);
  EXPECT_EQ(view.Length, "80");
  EXPECT_EQ(view.EndBinOffset, "17F");
  EXPECT_EQ(view.EndPhoneOffset, "207F");

  // Then to what the NOR holds after the phone offset.
  view = ApplyBinOffsetRule(true, "0", "FFFFF0", "100", 0x1000, kNor);
  EXPECT_EQ(view.Length, "10");
  EXPECT_EQ(view.EndPhoneOffset, "FFFFFF");

  // Invalid entries: offsets 0, the length the whole file; offsets past the end 0.
  view = ApplyBinOffsetRule(true, " x ", "1000000", "", 0x40, kNor);
  EXPECT_EQ(view.BinOffset, "0");
  EXPECT_EQ(view.PhoneOffset, "0");
  EXPECT_EQ(view.Length, "0");
  view = ApplyBinOffsetRule(true, "40", "-1", "FFFFFFFF", 0x40, kNor);
  EXPECT_EQ(view.BinOffset, "0");
  EXPECT_EQ(view.Length, "40");
  EXPECT_EQ(view.EndBinOffset, "3F");
}

TEST(BinOffsetRuleTest, ZeroLengthDisablesTheAction) {
  const BinOffsetView view = ApplyBinOffsetRule(true, "10", "0", "0", 0x40, kNor);
  EXPECT_FALSE(view.ActionEnabled);
  EXPECT_EQ(view.EndBinOffset, "-");
  EXPECT_EQ(view.EndPhoneOffset, "-");
  EXPECT_TRUE(view.FieldsEnabled);
}

}  // namespace
}  // namespace brantle
