#include "engine/text_fields.h"

#include <gtest/gtest.h>

namespace brantle {
namespace {

TEST(HexToIntTest, ReadsUpToEightDigitsOfEitherCase) {
  EXPECT_EQ(HexToInt("22490000"), 575209472);
  EXPECT_EQ(HexToInt("ffFF"), 65535);
  EXPECT_EQ(HexToInt("FFFFFFFF"), 0xFFFFFFFFLL);
  EXPECT_EQ(HexToInt("0"), 0);
}

TEST(HexToIntTest, EmptyTextIsZero) {
  EXPECT_EQ(HexToInt(""), 0);
}

TEST(HexToIntTest, RejectsLongTextAndForeignCharacters) {
  EXPECT_EQ(HexToInt("123456789"), -1);
  EXPECT_EQ(HexToInt("bo"), -1);
  EXPECT_EQ(HexToInt("1 2"), -1);
  EXPECT_EQ(HexToInt("g"), -1);
  EXPECT_EQ(HexToInt("0x10"), -1);
}

TEST(NextFieldTest, WalksFieldsInOrder) {
  std::string text = "ec;22e20000;Samsung";
  std::string field;
  NextField(text, field);
  EXPECT_EQ(field, "ec");
  EXPECT_EQ(text, "22e20000;Samsung");
  NextField(text, field);
  EXPECT_EQ(field, "22e20000");
  NextField(text, field);
  EXPECT_EQ(field, "Samsung");
  EXPECT_TRUE(text.empty());
}

TEST(NextFieldTest, AdjacentSeparatorsYieldAnEmptyField) {
  std::string text = "a;;b";
  std::string field;
  NextField(text, field);
  NextField(text, field);
  EXPECT_EQ(field, "");
  EXPECT_EQ(text, "b");
}

TEST(NextFieldTest, TextWithoutSeparatorIsTakenWhole) {
  std::string text = "KBB05A300";
  std::string field = "stale";
  NextField(text, field);
  EXPECT_EQ(field, "KBB05A300");
  EXPECT_TRUE(text.empty());
  NextField(text, field);
  EXPECT_EQ(field, "");
}

}  // namespace
}  // namespace brantle
