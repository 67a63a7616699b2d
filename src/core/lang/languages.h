#pragma once
// The language list: the built-in English table and the languages of the files in the
// language folder, one record per language code, and which of them is shown.
//
// Loading merges "english.lng" over the built-in table first and then every file of
// the folder in name order. Each language a file brings is completed with the English
// text of every key it lacks (the message table's and the window's, in the order of
// the installed english.lng), and the completed section is written back to the file,
// so translators find every new key in their file after one run of a newer program.
// A folder or file that cannot be written only means the file stays as it was.
//
// A key missing from the shown language is reported once and then reads as
// kMissingText for the rest of the run. Used from the window thread only.

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/status_texts.h"
#include "lang/lang_table.h"
#include "lang/window_texts.h"
#include "settings/settings.h"

namespace brantle {

// One language: its code (the section name of its file, "EN" for English) and its
// texts, value i belonging to key i.
struct LanguageRecord {
  std::string Code;
  std::vector<std::string> Keys;
  std::vector<std::string> Values;

  // The text of the first entry with exactly this key, or nullptr.
  const std::string* Find(const std::string& key) const;
};

// The language selector's items, "[CODE] display name", and the shown entry.
struct LanguageSelector {
  std::vector<std::string> Items;
  size_t Current = 0;
};

class Languages {
 public:
  static constexpr const char* kMissingText = "- LNG RESOURCE NOT FOUND -";
  static constexpr const char* kEnglishCode = "EN";
  static constexpr const char* kEnglishFile = "english.lng";
  // Every key of a language: the message table's, then the window's texts.
  static constexpr size_t kKeyCount = kEnglishTableSize + kWindowTextCount;

  using MissingKeyReporter = std::function<void(const std::string& message)>;

  // The built-in English table as the only language, shown.
  Languages();

  // The folder of the language files that come with the program.
  static std::string DefaultFolder();

  // Starts again from the built-in table and merges the folder's files, then those
  // of the person's own folder (empty: none), whose languages replace those of the
  // same code. A file in a folder that cannot be written is completed into the
  // person's folder instead.
  void Load(const std::string& folder, const std::string& userFolder = "");
  // The folders of this installation.
  void Load();

  // Shows the language whose code is the stored Locale (English for an unknown or
  // empty one) and stores that language's code back.
  LanguageSelector Apply(Settings& settings);
  // The user's choice in the selector: stores its code as Locale and applies it. An
  // index outside the list changes nothing but the selector's refresh.
  LanguageSelector Select(size_t index, Settings& settings);

  // The key's text in the shown language. A missing key is added with kMissingText
  // and reported with the text of "Err_LangNotFound", one space and the key.
  std::string Get(const std::string& key);
  // The same in the language at index (the shown one for an index outside the list).
  std::string GetFor(const std::string& key, size_t index);

  // The locale the shown language names ("de", "pt_BR"; "en" when it names none), which
  // the texts of the window system (standard buttons, file dialogs) follow.
  std::string ShownLocale();

  // The engine builds its status lines without lookups: it gets the shown language's
  // texts copied in, each time a language is applied.
  void ApplyEngineTexts(EStatusTexts& texts);

  // Without a reporter a missing key only reads as kMissingText.
  void SetMissingKeyReporter(MissingKeyReporter reporter) { reporter_ = std::move(reporter); }

  size_t Count() const { return records_.size(); }
  const LanguageRecord& Record(size_t index) const { return records_.at(index); }
  size_t CurrentIndex() const { return current_; }

 private:
  // Merges the language of one file. isDefault: the file is english.lng, whose "EN"
  // section becomes the English record.
  void Merge(const std::string& path, bool isDefault);
  // Where the completed copy of a language file goes; empty: nowhere.
  std::string CompletionTarget(const std::string& path) const;

  std::vector<LanguageRecord> records_;
  size_t current_ = 0;
  std::string userFolder_;
  MissingKeyReporter reporter_;
};

// The program's one language list, behind LangGet.
Languages& CurrentLanguages();

}  // namespace brantle
