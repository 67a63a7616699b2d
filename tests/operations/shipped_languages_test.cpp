// The translations that ship in the source tree's language folder, read as the
// program reads them: one language a file, named in its own script, every key of the
// English table and no other, each text with the same named places and no printf
// specifiers, file filters with their structure and patterns kept, nothing empty,
// and most texts translated. A failure names the file and the key.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "files/file_access.h"
#include "files/ini_document.h"
#include "lang/languages.h"

namespace brantle {
namespace {

namespace fs = std::filesystem;

// The language files of the source tree, in name order.
std::vector<std::string> ShippedFiles() {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(fs::path(BRANTLE_SOURCE_DIR) / "language", error))
    if (entry.path().extension() == ".lng") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::multiset<std::string> Matches(const std::string& text, const std::regex& pattern) {
  std::multiset<std::string> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
       it != std::sregex_iterator(); ++it)
    found.insert(it->str());
  return found;
}

std::vector<std::string> Parts(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1)
    parts.push_back(text.substr(start, bar - start));
  parts.push_back(text.substr(start));
  return parts;
}

bool IsFilter(const std::string& key) {
  return key.rfind("FF_", 0) == 0 && key.find("Caption") == std::string::npos;
}

// What is wrong with one translated text, against its English one; empty when nothing.
std::string Problem(const std::string& key, const std::string& english, const std::string& text) {
  static const std::regex place(R"(\{[a-z]+\})");
  static const std::regex specifier(R"(%[-+ #0-9.]*[a-zA-Z%])");
  if (text.empty() && !english.empty()) return "is empty";
  if (Matches(text, place) != Matches(english, place)) return "changes the named places";
  if (Matches(text, specifier) != Matches(english, specifier)) return "changes the % specifiers";
  if (key == "Hint_Phone_Type" && Parts(text).size() != Parts(english).size())
    return "has another number of lines ('|')";
  if (IsFilter(key)) {
    const std::vector<std::string> parts = Parts(text), wanted = Parts(english);
    if (parts.size() != wanted.size()) return "has another number of '|' parts";
    for (size_t i = 0; i < parts.size(); ++i) {
      if (i % 2 == 1 && parts[i] != wanted[i]) return "changes the pattern " + wanted[i];
      if (i % 2 == 0 && parts[i].empty()) return "has an empty description";
    }
  }
  return "";
}

TEST(ShippedLanguages, EveryFileIsACompleteFaithfulTranslation) {
  const std::vector<std::string> files = ShippedFiles();
  ASSERT_GE(files.size(), 8u) << "the language folder of the sources";
  const Languages builtIn;
  const LanguageRecord& english = builtIn.Record(0);
  std::set<std::string> codes, names;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    std::string bytes;
    ASSERT_EQ(ReadWholeFile(file, bytes), FileStatus::Ok);
    IniDocument document;
    document.Parse(bytes);
    const std::vector<std::string> sections = document.Sections();
    ASSERT_EQ(sections.size(), 1u) << "one language, in a section named by its code";
    const std::string& code = sections[0];
    EXPECT_NE(code, "EN");
    EXPECT_TRUE(codes.insert(code).second) << "two files of " << code;

    std::map<std::string, std::string> texts;
    for (const std::string& key : document.Keys(code)) {
      EXPECT_TRUE(english.Find(key) != nullptr) << key << " is no key of the program";
      EXPECT_TRUE(texts.emplace(key, document.Value(code, key).value_or("")).second)
          << key << " twice";
    }
    size_t translated = 0;
    for (size_t i = 0; i < english.Keys.size(); ++i) {
      const std::string& key = english.Keys[i];
      const auto it = texts.find(key);
      if (it == texts.end()) {
        ADD_FAILURE() << key << " is missing";
        continue;
      }
      const std::string problem = Problem(key, english.Values[i], it->second);
      EXPECT_EQ(problem, "") << key << ": \"" << it->second << "\"";
      if (it->second != english.Values[i]) ++translated;
    }
    EXPECT_GE(translated * 100, english.Keys.size() * 85)
        << translated << " of " << english.Keys.size() << " texts translated";
    // Named in its own script, and a locale for Qt's own texts.
    EXPECT_NE(texts["Locale"], "English");
    EXPECT_TRUE(names.insert(texts["Locale"]).second) << "two languages named " << texts["Locale"];
    EXPECT_TRUE(std::regex_match(texts["Win_Locale"], std::regex("[a-z]{2}(_[A-Z]{2})?")))
        << "Win_Locale: " << texts["Win_Locale"];
  }
}

// The problems a translator can make are each found.
TEST(ShippedLanguages, TheChecksFindWhatBreaksATranslation) {
  EXPECT_EQ(Problem("Msg_X", "{count} of {total}", "{total} von {count}"), "");
  EXPECT_EQ(Problem("Msg_X", "{count} left", "übrig"), "changes the named places");
  EXPECT_EQ(Problem("Msg_X", "{count} left", "{anzahl} übrig"), "changes the named places");
  EXPECT_EQ(Problem("Msg_X", "done", "%s fertig"), "changes the % specifiers");
  EXPECT_EQ(Problem("Msg_X", "done", ""), "is empty");
  EXPECT_EQ(Problem("FF_BIN", "BIN files (*.bin)|*.bin|All Files (*.*)|*.*",
                    "BIN-Dateien (*.bin)|*.bin|Alle Dateien (*.*)|*.*"),
            "");
  EXPECT_EQ(Problem("FF_BIN", "BIN files (*.bin)|*.bin|All Files (*.*)|*.*",
                    "BIN-Dateien|*.BIN|Alle Dateien|*.*"),
            "changes the pattern *.bin");
  EXPECT_EQ(Problem("FF_BIN", "BIN files (*.bin)|*.bin", "BIN-Dateien (*.bin)"),
            "has another number of '|' parts");
  EXPECT_EQ(Problem("FF_BINR_Caption", "Choose BIN file...", "BIN-Datei wählen..."), "");
  EXPECT_EQ(Problem("Hint_Phone_Type", "a|b|c", "a|b"), "has another number of lines ('|')");
}

}  // namespace
}  // namespace brantle
