// The language layer: the built-in English table, language files merged and completed
// in the language folder, the choice of the shown language, and missing keys.

#include "lang/languages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "files/ini_document.h"
#include "lang/fill_text.h"
#include "lang/lang_get.h"
#include "lang/lang_table.h"
#include "lang/window_texts.h"
#include "support/temp_dir.h"

namespace brantle {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

std::string EnglishText(const std::string& key) {
  for (const LangEntry& entry : kEnglishTable) {
    if (key == entry.Key) return entry.Text;
  }
  return "(absent)";
}

TEST(LangTable, HoldsEveryKeyOnceInTheTableOrder) {
  std::set<std::string> keys;
  for (const LangEntry& entry : kEnglishTable) keys.insert(entry.Key);
  EXPECT_EQ(keys.size(), kEnglishTableSize);
  EXPECT_STREQ(kEnglishTable.front().Key, "Locale");
  EXPECT_STREQ(kEnglishTable.front().Text, "English");
  EXPECT_STREQ(kEnglishTable.back().Key, "Warn_EEPROM");
  // The decoder's nine codes sit together; code -6 has no key, the engine names it.
  size_t first = 0;
  while (first < kEnglishTableSize && std::string(kEnglishTable[first].Key) != "STD_Error_-256") {
    ++first;
  }
  ASSERT_LE(first + 9, kEnglishTableSize);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(kEnglishTable[first + i].Key, "STD_Error_" + std::to_string(-256 - i));
  }
  EXPECT_EQ(keys.count("KTZ_Error_-6"), 0u);
  EXPECT_EQ(keys.count("KTZ_Error_-5"), 1u);
}

TEST(LangTable, MessagePartsHaveTheirFixedTexts) {
  EXPECT_EQ(EnglishText("ErrC_Init_Bootup"), "Initializing (bootup):");
  EXPECT_EQ(EnglishText("Err_Lost_Phone"), "Error: phone connection lost");
  EXPECT_EQ(EnglishText("Msg_Phone_Disconnected"), "Phone disconnected.");
  EXPECT_EQ(EnglishText("Err_LangNotFound"),
            "Language resource not found, please report to the author:");
  EXPECT_EQ(EnglishText("FF_BIN"),
            "BIN and CLA files (*.bin; *.CLA)|*.bin;*.cla|All Files (*.*)|*.*");
  EXPECT_EQ(EnglishText("SCap_RDIF_Create_Parameters"), "Reverse DIF file creation parameters...");
}

TEST(LangTable, CreateDifDialogAndFlashTypeHaveTheirTexts) {
  EXPECT_EQ(EnglishText("SCap_Create_DIF"), "Creating DIF file from BINs/TFS/DIFs...");
  EXPECT_EQ(EnglishText("SLbl_Target_BIN"),
            "Target BIN file (select none to not to use BIN at all):");
  EXPECT_EQ(EnglishText("SLbl_TFS"), "TFS file (select none to not to use TFS at all):");
  EXPECT_EQ(EnglishText("SLbl_DIFs"), "DIF files to apply (you can merge multiple DIFs here):");
  EXPECT_EQ(EnglishText("FType_Unknown"), "Unidentified!!!");
}

TEST(LangTable, EngineSlotsStartWithTheTableTexts) {
  const EStatusTexts defaults;
  for (const StatusTextKey& slot : kStatusTextKeys) {
    EXPECT_EQ(defaults.*slot.text, EnglishText(slot.key)) << slot.key;
  }
}

// A key looked up in the sources but absent from the table would show the
// placeholder and the missing-key box to every user.
// Every key the sources look up: LangGet("key"), the window's Tr("key") and the
// captions of its controls. Empty when the sources are not beside the test.
std::set<std::string> KeysTheSourcesLookUp() {
  const fs::path src = fs::path(BRANTLE_SOURCE_DIR) / "src";
  std::set<std::string> keys;
  if (!fs::is_directory(src)) return keys;
  const std::regex lookup(
      R"re((?:LangGet(?:For)?|Tr)\("([^"]+)"[,)]|(?:Label|Button|Text)\([^;]*?"((?:Win|Btn|Lbl|SBtn|SLbl|SChk)_[A-Za-z0-9_]+)"\))re");
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    const std::string text = ReadFile(entry.path().string());
    for (std::sregex_iterator it(text.begin(), text.end(), lookup), end; it != end; ++it)
      keys.insert((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
  }
  return keys;
}

TEST(LangTable, EveryKeyTheSourcesLookUpIsInTheTable) {
  const std::set<std::string> looked = KeysTheSourcesLookUp();
  if (looked.empty()) GTEST_SKIP() << "sources not found in " << BRANTLE_SOURCE_DIR;
  std::set<std::string> tableKeys;
  for (const LangEntry& entry : kEnglishTable) tableKeys.insert(entry.Key);
  for (const LangEntry& entry : kWindowTexts) tableKeys.insert(entry.Key);
  for (const std::string& key : looked) EXPECT_EQ(tableKeys.count(key), 1u) << key;
}

class LanguagesTest : public ::testing::Test {
 protected:
  LanguagesTest() : folder(dir.File("language")), settings(dir.File("brntl.ini")) {
    fs::create_directory(folder);
  }

  void WriteLanguageFile(const std::string& name, const std::string& text) const {
    std::ofstream(folder + "/" + name, std::ios::binary) << text;
  }
  std::string LanguageFile(const std::string& name) const { return folder + "/" + name; }

  size_t IndexOf(const std::string& code) const {
    for (size_t i = 0; i < languages.Count(); ++i) {
      if (languages.Record(i).Code == code) return i;
    }
    return languages.Count();
  }

  test::TempDir dir;
  std::string folder;
  Settings settings;
  Languages languages;
};

TEST_F(LanguagesTest, WithoutFilesTheBuiltInTableIsShown) {
  EXPECT_EQ(languages.Count(), 1u);
  EXPECT_EQ(languages.Record(0).Keys.size(), Languages::kKeyCount);
  EXPECT_EQ(languages.Get("Query_Sure"), "Are you sure?");
  EXPECT_EQ(LangGet("Msg_Phone_Disconnected"), "Phone disconnected.");
}

// The window's captions and later messages are keys like the table's: a language
// file translates them and is completed with those it lacks, so a translator sees
// every text the window shows.
TEST_F(LanguagesTest, WindowCaptionsAreCompletedLikeTheTableKeys) {
  WriteLanguageFile("deutsch.lng", "[DE]\nWin_Tab_Flashing=Flashen\n");
  languages.Load(folder);
  int reports = 0;
  languages.SetMissingKeyReporter([&](const std::string&) { ++reports; });
  languages.Select(IndexOf("DE"), settings);
  EXPECT_EQ(languages.Get("Win_Tab_Flashing"), "Flashen");
  EXPECT_EQ(languages.Get("Win_Tab_Dumping"), "Dumping");
  EXPECT_EQ(languages.Get("Msg_File_Empty"), "{file}: is empty");
  EXPECT_EQ(reports, 0);
  IniDocument file;
  file.Parse(ReadFile(LanguageFile("deutsch.lng")));
  EXPECT_EQ(file.ReadString("DE", "Win_Tab_Flashing", ""), "Flashen");
  EXPECT_EQ(file.ReadString("DE", "Win_Tab_Dumping", ""), "Dumping");
  EXPECT_EQ(file.ReadString("DE", "Win_Locale", ""), "en");
  EXPECT_EQ(languages.Get("Win_No_Such_Caption"), Languages::kMissingText);
  EXPECT_EQ(reports, 1);
}

// The window's own dialogs (Qt's buttons) follow the locale the language names.
TEST_F(LanguagesTest, TheShownLanguageNamesItsLocale) {
  WriteLanguageFile("deutsch.lng", "[DE]\nWin_Locale= de \n");
  WriteLanguageFile("portugues.lng", "[PT]\nWin_Locale=pt_BR\n");
  WriteLanguageFile("blank.lng", "[XX]\nWin_Locale=\n");
  languages.Load(folder);
  EXPECT_EQ(languages.ShownLocale(), "en");
  languages.Select(IndexOf("DE"), settings);
  EXPECT_EQ(languages.ShownLocale(), "de");
  languages.Select(IndexOf("PT"), settings);
  EXPECT_EQ(languages.ShownLocale(), "pt_BR");
  languages.Select(IndexOf("XX"), settings);
  EXPECT_EQ(languages.ShownLocale(), "en");
}

TEST(FillText, PutsValuesAtTheirNamedPlacesInAnyOrder) {
  EXPECT_EQ(FillText("read {done} of {total} bytes", {{"done", "5"}, {"total", "9"}}),
            "read 5 of 9 bytes");
  EXPECT_EQ(FillText("{total}: {done}", {{"done", "5"}, {"total", "9"}}), "9: 5");
  EXPECT_EQ(FillText("{n} and {n}", {{"n", "7"}}), "7 and 7");
  // Unknown and unclosed places stay; a value is not searched again.
  EXPECT_EQ(FillText("{other} {n} {", {{"n", "{n}"}}), "{other} {n} {");
  EXPECT_EQ(FillText("no places", {{"n", "1"}}), "no places");
  EXPECT_EQ(FillText("", {}), "");
}

// Messages with numbers come from the language's text, whose places a translation
// may reorder.
TEST_F(LanguagesTest, ATranslatedMessageTakesItsValuesAtItsOwnPlaces) {
  WriteLanguageFile("deutsch.lng",
                    "[DE]\nMsg_Verify_Failed=Bei {address} gelesen: {found} statt {expected}\n");
  languages.Load(folder);
  languages.Select(IndexOf("DE"), settings);
  EXPECT_EQ(FillText(languages.Get("Msg_Verify_Failed"),
                     {{"address", "012345"}, {"expected", "AB"}, {"found", "54"}}),
            "Bei 012345 gelesen: 54 statt AB");
  EXPECT_EQ(FillText(languages.Get("Msg_Unchanged_Skipped"), {{"count", "3"}}),
            "Unchanged sectors skipped: 3");
}

TEST_F(LanguagesTest, ALanguageFileIsCompletedInEnglishAndWrittenBack) {
  WriteLanguageFile("deutsch.lng", "[DE]\nQuery_Sure=Sind Sie sicher?\n");
  languages.Load(folder);

  const size_t de = IndexOf("DE");
  ASSERT_LT(de, languages.Count());
  const LanguageRecord& record = languages.Record(de);
  ASSERT_EQ(record.Keys.size(), Languages::kKeyCount);
  EXPECT_EQ(record.Keys[0], "Query_Sure");
  EXPECT_EQ(record.Values[0], "Sind Sie sicher?");
  EXPECT_EQ(*record.Find("Locale"), "English");

  // The keys it lacked follow in the order of the installed english.lng: the table's,
  // then the window's.
  IniDocument file;
  file.Parse(ReadFile(LanguageFile("deutsch.lng")));
  const std::vector<std::string> keys = file.Keys("DE");
  ASSERT_EQ(keys.size(), Languages::kKeyCount);
  EXPECT_EQ(keys[0], "Query_Sure");
  EXPECT_EQ(keys[1], "Locale");
  EXPECT_EQ(keys[kEnglishTableSize], kWindowTexts.front().Key);
  EXPECT_EQ(keys.back(), kWindowTexts.back().Key);
  EXPECT_EQ(file.ReadString("DE", "Query_Sure", ""), "Sind Sie sicher?");
  EXPECT_EQ(file.ReadString("DE", "Warn_EEPROM", ""), EnglishText("Warn_EEPROM"));
  EXPECT_EQ(file.ReadString("DE", "Win_Tab_TFS", ""), "TFS Operations");
}

TEST_F(LanguagesTest, EnglishFileIsCreatedInFullAndOverridesTheBuiltInTexts) {
  languages.Load(folder);
  IniDocument created;
  created.Parse(ReadFile(LanguageFile(Languages::kEnglishFile)));
  const std::vector<std::string> keys = created.Keys("EN");
  ASSERT_EQ(keys.size(), Languages::kKeyCount);
  for (size_t i = 0; i < kEnglishTableSize; ++i) EXPECT_EQ(keys[i], kEnglishTable[i].Key);
  for (size_t i = 0; i < kWindowTextCount; ++i)
    EXPECT_EQ(keys[kEnglishTableSize + i], kWindowTexts[i].Key);
  EXPECT_EQ(created.ReadString("EN", "Win_Tab_Flashing", ""), "Flashing");

  WriteLanguageFile(Languages::kEnglishFile, "[EN]\nLocale=British\nQuery_Sure=Really?\n");
  languages.Load(folder);
  EXPECT_EQ(languages.Count(), 1u);
  EXPECT_EQ(languages.Record(0).Code, "EN");
  EXPECT_EQ(languages.Get("Query_Sure"), "Really?");
  EXPECT_EQ(languages.Record(0).Keys.size(), Languages::kKeyCount);
}

// The english.lng made beside a portable copy is the translators' template: it lists
// every key the window looks up, its captions ("Win_") included.
TEST_F(LanguagesTest, TheTemplateListsEveryKeyTheWindowUses) {
  const std::set<std::string> looked = KeysTheSourcesLookUp();
  if (looked.empty()) GTEST_SKIP() << "sources not found in " << BRANTLE_SOURCE_DIR;
  languages.Load(folder);
  IniDocument created;
  created.Parse(ReadFile(LanguageFile(Languages::kEnglishFile)));
  const std::vector<std::string> listed = created.Keys("EN");
  const std::set<std::string> keys(listed.begin(), listed.end());
  size_t windowKeys = 0;
  for (const std::string& key : looked) {
    EXPECT_EQ(keys.count(key), 1u) << key;
    windowKeys += key.rfind("Win_", 0) == 0;
  }
  EXPECT_GT(windowKeys, 0u) << "the scan found none of the window's captions";
}

TEST_F(LanguagesTest, TheLaterFileOfALanguageReplacesTheEarlierOne) {
  WriteLanguageFile("a.lng", "[RU]\nLocale=Russian A\nQuery_Sure=A?\n");
  WriteLanguageFile("b.lng", "[EN]\nLocale=ignored\n[RU]\nQuery_Cancel=B?\nLocale=Russian B\n");
  languages.Load(folder);

  EXPECT_EQ(languages.Count(), 2u);
  const size_t ru = IndexOf("RU");
  ASSERT_LT(ru, languages.Count());
  const LanguageRecord& record = languages.Record(ru);
  EXPECT_EQ(record.Keys[0], "Query_Cancel");
  EXPECT_EQ(*record.Find("Locale"), "Russian B");
  EXPECT_EQ(*record.Find("Query_Sure"), "Are you sure?");
  EXPECT_EQ(*languages.Record(0).Find("Locale"), "English");
}

TEST_F(LanguagesTest, FilesWithoutALanguageChangeNothing) {
  WriteLanguageFile("only-english.lng", "[EN]\nQuery_Sure=not loaded\n");
  WriteLanguageFile("notes.txt", "no sections here\n");
  languages.Load(folder);
  EXPECT_EQ(languages.Count(), 1u);
  EXPECT_EQ(languages.Get("Query_Sure"), "Are you sure?");
  EXPECT_EQ(ReadFile(LanguageFile("notes.txt")), "no sections here\n");
}

TEST_F(LanguagesTest, AnUnknownLocaleShowsEnglishAndIsStoredAsEN) {
  WriteLanguageFile("deutsch.lng", "[DE]\nLocale=Deutsch\n");
  languages.Load(folder);
  settings.SetLocale("XX");
  const LanguageSelector selector = languages.Apply(settings);
  EXPECT_EQ(selector.Current, 0u);
  EXPECT_EQ(languages.CurrentIndex(), 0u);
  EXPECT_EQ(settings.Locale(), "EN");
  EXPECT_EQ(selector.Items, (std::vector<std::string>{"[EN] English", "[DE] Deutsch"}));
}

TEST_F(LanguagesTest, SelectingALanguageStoresItsCode) {
  WriteLanguageFile("deutsch.lng", "[DE]\nLocale=Deutsch\nQuery_Sure=Sicher?\n");
  languages.Load(folder);
  const LanguageSelector selector = languages.Select(IndexOf("DE"), settings);
  EXPECT_EQ(settings.Locale(), "DE");
  EXPECT_EQ(selector.Current, IndexOf("DE"));
  EXPECT_EQ(languages.Get("Query_Sure"), "Sicher?");
}

TEST_F(LanguagesTest, LookupInAnotherLanguageKeepsTheShownOne) {
  WriteLanguageFile("deutsch.lng", "[DE]\nLocale=Deutsch\n");
  languages.Load(folder);
  settings.SetLocale("DE");
  languages.Apply(settings);
  const size_t de = languages.CurrentIndex();
  EXPECT_EQ(languages.GetFor("Locale", 0), "English");
  EXPECT_EQ(languages.CurrentIndex(), de);
  EXPECT_EQ(languages.Get("Locale"), "Deutsch");
}

TEST_F(LanguagesTest, AMissingKeyIsReportedOnce) {
  std::vector<std::string> reports;
  languages.SetMissingKeyReporter([&](const std::string& message) { reports.push_back(message); });
  EXPECT_EQ(languages.Get("No_Such_Key"), Languages::kMissingText);
  EXPECT_EQ(languages.Get("No_Such_Key"), Languages::kMissingText);
  EXPECT_EQ(reports, (std::vector<std::string>{
                         "Language resource not found, please report to the author: No_Such_Key"}));
}

TEST_F(LanguagesTest, TheProgramWideLookupReportsThroughItsHook) {
  std::vector<std::string> reports;
  SetMissingKeyReporter([&](const std::string& message) { reports.push_back(message); });
  EXPECT_EQ(LangGet("Key_Only_This_Test_Asks_For"), Languages::kMissingText);
  SetMissingKeyReporter(nullptr);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("Key_Only_This_Test_Asks_For"), std::string::npos);
}

TEST_F(LanguagesTest, EngineSlotsTakeTheShownLanguage) {
  WriteLanguageFile("deutsch.lng", "[DE]\nKTZ_Waiting=Warten\n");
  languages.Load(folder);
  settings.SetLocale("DE");
  languages.Apply(settings);
  EStatusTexts texts;
  texts.TimeOut = "stale";
  languages.ApplyEngineTexts(texts);
  EXPECT_EQ(texts.Waiting, "Warten");
  EXPECT_EQ(texts.TimeOut, "timeout in:");
  EXPECT_EQ(texts.ErasingAt, "Erasing at");
}

TEST_F(LanguagesTest, AMissingFolderStillLoadsEnglish) {
  languages.Load(dir.File("absent"));
  EXPECT_EQ(languages.Count(), 1u);
  EXPECT_EQ(languages.Record(0).Keys.size(), Languages::kKeyCount);
  EXPECT_FALSE(fs::exists(dir.File("absent")));
}

TEST_F(LanguagesTest, AReadOnlyFileIsLoadedAndLeftAsItWas) {
  const std::string text = "[DE]\nLocale=Deutsch\n";
  WriteLanguageFile("deutsch.lng", text);
  ASSERT_EQ(chmod(LanguageFile("deutsch.lng").c_str(), 0444), 0);
  languages.Load(folder);

  EXPECT_EQ(ReadFile(LanguageFile("deutsch.lng")), text);
  const size_t de = IndexOf("DE");
  ASSERT_LT(de, languages.Count());
  EXPECT_EQ(languages.Record(de).Keys.size(), Languages::kKeyCount);
  EXPECT_EQ(*languages.Record(de).Find("Locale"), "Deutsch");
}

TEST_F(LanguagesTest, AReadOnlyFolderStillLoadsItsLanguages) {
  WriteLanguageFile("deutsch.lng", "[DE]\nLocale=Deutsch\n");
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  languages.Load(folder);
  chmod(folder.c_str(), 0755);

  EXPECT_FALSE(fs::exists(LanguageFile(Languages::kEnglishFile)));
  EXPECT_EQ(languages.Count(), 2u);
  EXPECT_EQ(languages.Record(IndexOf("DE")).Keys.size(), Languages::kKeyCount);
}

// An installed copy: the shipped folder cannot be written, so the completed file
// goes to the person's folder, once; their copy is read after the shipped one.
TEST_F(LanguagesTest, AShippedFileIsCompletedIntoThePersonsFolderOnce) {
  const std::string user = dir.File("user-language");
  WriteLanguageFile("deutsch.lng", "[DE]\nQuery_Sure=Sicher?\n");
  const std::string shipped = ReadFile(LanguageFile("deutsch.lng"));
  ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
  languages.Load(folder, user);
  EXPECT_EQ(ReadFile(LanguageFile("deutsch.lng")), shipped);
  const std::string copy = ReadFile(user + "/deutsch.lng");
  EXPECT_NE(copy.find("Query_Sure=Sicher?"), std::string::npos);
  EXPECT_NE(copy.find("Warn_EEPROM="), std::string::npos);
  EXPECT_NE(copy.find("Win_Tab_Flashing=Flashing"), std::string::npos);
  EXPECT_EQ(languages.Record(IndexOf("DE")).Keys.size(), Languages::kKeyCount);

  // The person edits their copy; the next start keeps it and shows their text.
  std::string edited = copy;
  edited.replace(edited.find("Sicher?"), 7, "Wirklich?");
  std::ofstream(user + "/deutsch.lng", std::ios::binary | std::ios::trunc) << edited;
  languages.Load(folder, user);
  chmod(folder.c_str(), 0755);
  EXPECT_EQ(ReadFile(user + "/deutsch.lng"), edited);
  EXPECT_EQ(*languages.Record(IndexOf("DE")).Find("Query_Sure"), "Wirklich?");
}

}  // namespace
}  // namespace brantle
