// The INI document behind the settings and language files: what a file holds must
// come back out in the same order, and no file may crash or flood the reader.

#include "files/ini_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brantle {
namespace {

using Names = std::vector<std::string>;

TEST(IniDocument, UnchangedDocumentIsWrittenBackByteForByte) {
  const std::string text =
      "; written by hand\n"
      "[Settings]\n"
      "ComPort=COM3\n"
      "# a note\n"
      "Locale=DE\n"
      "\n"
      "[Paths]\n"
      "FlashBIN=/home/me/fw\n";
  IniDocument doc;
  doc.Parse(text);
  EXPECT_FALSE(doc.Truncated());
  EXPECT_EQ(doc.Serialize(), text);
}

TEST(IniDocument, KeepsKeyOrderWhenValuesChangeAndKeysAreAdded) {
  IniDocument doc;
  doc.Parse("[DE]\nZeta=1\nAlpha=2\nMid=3\n\n[RU]\nA=1\n");
  ASSERT_TRUE(doc.WriteString("DE", "Alpha", "zwei"));
  ASSERT_TRUE(doc.WriteString("DE", "New_Key", "neu"));
  ASSERT_TRUE(doc.WriteString("FR", "B", "x"));
  EXPECT_EQ(doc.Serialize(),
            "[DE]\nZeta=1\nAlpha=zwei\nMid=3\nNew_Key=neu\n\n[RU]\nA=1\n[FR]\nB=x\n");
  EXPECT_EQ(doc.Keys("DE"), (Names{"Zeta", "Alpha", "Mid", "New_Key"}));
  EXPECT_EQ(doc.Sections(), (Names{"DE", "RU", "FR"}));
}

TEST(IniDocument, RoundTripOfABuiltDocument) {
  IniDocument built;
  built.WriteString("Settings", "PhoneType", "Opti");
  built.WriteInteger("Settings", "OptiType", 16);
  built.WriteInteger("Settings", "Wait_States", -3);
  built.WriteString("RU", "Btn_Exit", "\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4");
  IniDocument read;
  read.Parse(built.Serialize());
  EXPECT_EQ(read.Serialize(), built.Serialize());
  EXPECT_EQ(read.ReadString("Settings", "PhoneType", ""), "Opti");
  EXPECT_EQ(read.ReadInteger("Settings", "OptiType", 0), 16);
  EXPECT_EQ(read.ReadInteger("Settings", "Wait_States", 0), -3);
  EXPECT_EQ(read.ReadString("RU", "Btn_Exit", ""), "\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4");
}

TEST(IniDocument, NamesIgnoreAsciiCaseAndKeepTheirFirstSpelling) {
  IniDocument doc;
  doc.Parse("[Settings]\nComPort=COM2\n");
  EXPECT_EQ(doc.ReadString("SETTINGS", "comport", ""), "COM2");
  doc.WriteString("settings", "COMPORT", "COM4");
  EXPECT_EQ(doc.Serialize(), "[Settings]\nComPort=COM4\n");
}

TEST(IniDocument, RepeatedSectionContinuesTheFirstAndFirstKeyWins) {
  IniDocument doc;
  doc.Parse("[A]\nk=1\n[B]\nx=0\n[a]\nk=2\nj=3\n");
  EXPECT_EQ(doc.Sections(), (Names{"A", "B"}));
  EXPECT_EQ(doc.ReadString("A", "k", ""), "1");
  EXPECT_EQ(doc.ReadString("A", "j", ""), "3");
  EXPECT_EQ(doc.Keys("A"), (Names{"k", "j"}));
  ASSERT_TRUE(doc.DeleteKey("A", "k"));
  EXPECT_EQ(doc.ReadString("A", "k", ""), "2");  // the second one comes to light
}

TEST(IniDocument, AcceptsEveryLineEndingAndAByteOrderMark) {
  for (const std::string& lb : {std::string("\r\n"), std::string("\r"), std::string("\n")}) {
    const std::string text = "\xEF\xBB\xBF[EN]" + lb + "Key = some value " + lb + "Other=" + lb;
    IniDocument doc;
    doc.Parse(text);
    EXPECT_EQ(doc.Sections(), (Names{"EN"}));  // the mark is not part of the name
    EXPECT_EQ(doc.ReadString("EN", "Key", ""), "some value");
    EXPECT_EQ(doc.ReadString("EN", "Other", "absent"), "");
    // The file's own line ending and mark are written back, and its lines as they were
    // until a value changes.
    EXPECT_EQ(doc.Serialize(), text);
    ASSERT_TRUE(doc.WriteString("EN", "Key", "some value"));
    EXPECT_EQ(doc.Serialize(), text);
    ASSERT_TRUE(doc.WriteString("en", "KEY", "other value"));
    EXPECT_EQ(doc.Serialize(), "\xEF\xBB\xBF[EN]" + lb + "Key=other value" + lb + "Other=" + lb);
  }
  // Blanks and trailing text after a header survive a save, and a line that only looks
  // like an entry keeps its leading blank, which a byte order mark after it needs in
  // order to stay no mark. A repeated header stays with the lines it brings to the
  // first section of its name.
  const std::string odd =
      " \xEF\xBB\xBF[=x\n  [ S ]  ; the settings\n\tk =  v\n[T]\n[s]\nj=1\n";
  IniDocument kept;
  kept.Parse(odd);
  EXPECT_EQ(kept.Serialize(),
            " \xEF\xBB\xBF[=x\n  [ S ]  ; the settings\n\tk =  v\n[s]\nj=1\n[T]\n");
  IniDocument again;
  again.Parse(kept.Serialize());
  EXPECT_EQ(again.Sections(), (Names{"S", "T"}));
  EXPECT_EQ(again.Keys("S"), (Names{"k", "j"}));
  IniDocument mixed;
  mixed.Parse("[S]\r\na=1\nb=2\rc=3");
  EXPECT_EQ(mixed.Keys("S"), (Names{"a", "b", "c"}));
}

TEST(IniDocument, ValueKeepsEqualsSignsAndCommentCharacters) {
  IniDocument doc;
  doc.Parse("[S]\nFilter=Images (*.bin;*.cla)|*.bin;*.cla\nEq=a=b\n");
  EXPECT_EQ(doc.ReadString("S", "Filter", ""), "Images (*.bin;*.cla)|*.bin;*.cla");
  EXPECT_EQ(doc.ReadString("S", "Eq", ""), "a=b");
}

TEST(IniDocument, IntegersAreStrictDecimal) {
  IniDocument doc;
  doc.Parse(
      "[S]\nok= 42 \nneg=-7\nplus=+5\nhex=0x10\ntext=abc\nempty=\nsign=-\n"
      "max=2147483647\nmin=-2147483648\nover=2147483648\nhuge=99999999999999999999999\n");
  EXPECT_EQ(doc.ReadInteger("S", "ok", -1), 42);
  EXPECT_EQ(doc.ReadInteger("S", "neg", 0), -7);
  EXPECT_EQ(doc.ReadInteger("S", "plus", 0), 5);
  EXPECT_EQ(doc.ReadInteger("S", "max", 0), 2147483647);
  EXPECT_EQ(doc.ReadInteger("S", "min", 0), -2147483647 - 1);
  for (const char* key : {"hex", "text", "empty", "sign", "over", "huge", "absent"}) {
    EXPECT_EQ(doc.ReadInteger("S", key, 9), 9) << key;
  }
}

TEST(IniDocument, RefusesNamesThatCouldNotBeReadBack) {
  IniDocument doc;
  EXPECT_FALSE(doc.WriteString("S", "", "v"));
  EXPECT_FALSE(doc.WriteString("S", "a=b", "v"));
  EXPECT_FALSE(doc.WriteString("S", "[x", "v"));
  EXPECT_FALSE(doc.WriteString("S", ";c", "v"));
  EXPECT_FALSE(doc.WriteString("S", "a\nb", "v"));
  EXPECT_FALSE(doc.WriteString("", "k", "v"));
  EXPECT_FALSE(doc.WriteString("a]b", "k", "v"));
  EXPECT_EQ(doc.Serialize(), "");
  // A line break in a value must not smuggle a new key into the file.
  ASSERT_TRUE(doc.WriteString("S", "k", "one\nInjected=1\r[T]"));
  IniDocument read;
  read.Parse(doc.Serialize());
  EXPECT_EQ(read.Keys("S"), (Names{"k"}));
  EXPECT_FALSE(read.HasSection("T"));
  EXPECT_EQ(read.ReadString("S", "k", ""), "one Injected=1 [T]");
}

TEST(IniDocument, MalformedLinesAreKeptButNotRead) {
  const std::string text =
      "stray=before any section\n[]\n[Unclosed\n=no key\njust words\n[S]\nk=v\n";
  IniDocument doc;
  doc.Parse(text);
  EXPECT_EQ(doc.Sections(), (Names{"S"}));
  EXPECT_FALSE(doc.HasKey("", "stray"));
  EXPECT_EQ(doc.Serialize(), text);
}

TEST(IniDocument, OverlongLinesAreDroppedAndTheRestRead) {
  const std::string text =
      "[S]\nbig=" + std::string(IniDocument::kMaxLineLength, 'x') + "\nafter=1\n";
  IniDocument doc;
  doc.Parse(text);
  EXPECT_TRUE(doc.Truncated());
  EXPECT_FALSE(doc.HasKey("S", "big"));
  EXPECT_EQ(doc.ReadString("S", "after", ""), "1");
}

TEST(IniDocument, OversizedTextAndEndlessLinesAreCut) {
  IniDocument doc;
  doc.Parse("[S]\nfirst=1\n" + std::string(IniDocument::kMaxTextSize, '\n') + "late=1\n");
  EXPECT_TRUE(doc.Truncated());
  EXPECT_EQ(doc.ReadString("S", "first", ""), "1");
  EXPECT_FALSE(doc.HasKey("S", "late"));
  EXPECT_LE(doc.Serialize().size(), IniDocument::kMaxLines + 16);
}

TEST(IniDocument, ManyDistinctSectionsParse) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "[s" + std::to_string(i) + "]\n";
  IniDocument doc;
  doc.Parse(text);
  EXPECT_EQ(doc.Sections().size(), 50000u);
  EXPECT_TRUE(doc.HasSection("S49999"));
}

TEST(IniDocument, BinaryGarbageDoesNotBreakTheDocument) {
  std::string text;
  for (int i = 0; i < 4096; ++i) text += static_cast<char>((i * 131 + 7) & 0xFF);
  IniDocument doc;
  doc.Parse(text);
  IniDocument again;
  again.Parse(doc.Serialize());
  EXPECT_EQ(again.Sections(), doc.Sections());
  EXPECT_EQ(again.Serialize(), doc.Serialize());
}

}  // namespace
}  // namespace brantle
