#include "lang/languages.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/app_paths.h"
#include "files/file_access.h"
#include "files/ini_document.h"
#include "files/program_folder.h"
#include "lang/lang_table.h"
#include "lang/window_texts.h"

namespace brantle {
namespace {

// Every key the program looks up: the message table, then the window's texts.
LanguageRecord BuiltInEnglish() {
  LanguageRecord record;
  record.Code = Languages::kEnglishCode;
  const auto add = [&record](const LangEntry& entry) {
    record.Keys.emplace_back(entry.Key);
    record.Values.emplace_back(entry.Text);
  };
  for (const LangEntry& entry : kEnglishTable) add(entry);
  for (const LangEntry& entry : kWindowTexts) add(entry);
  return record;
}

// Every regular file of the folder, in name order so that the later of two files with
// the same language wins the same way on every system.
std::vector<std::string> FolderFiles(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_regular_file(error)) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The language a file brings: with isDefault its "EN" section, otherwise the first
// section after any leading "EN" ones; empty when there is none.
std::string LanguageSection(const IniDocument& document, bool isDefault) {
  if (isDefault) return Languages::kEnglishCode;
  for (const std::string& name : document.Sections()) {
    if (name != Languages::kEnglishCode) return name;
  }
  return "";
}

}  // namespace

const std::string* LanguageRecord::Find(const std::string& key) const {
  const auto it = std::find(Keys.begin(), Keys.end(), key);
  return it == Keys.end() ? nullptr : &Values[it - Keys.begin()];
}

Languages::Languages() : records_{BuiltInEnglish()} {}

std::string Languages::DefaultFolder() {
  return CurrentAppPaths().ShippedLanguages;
}

void Languages::Load() {
  const AppPaths paths = CurrentAppPaths();
  Load(paths.ShippedLanguages, paths.UserLanguages);
}

void Languages::Load(const std::string& folder, const std::string& userFolder) {
  records_.assign(1, BuiltInEnglish());
  current_ = 0;
  userFolder_ = userFolder;
  const std::string userEnglish = userFolder + "/" + kEnglishFile;
  std::error_code error;
  Merge(!userFolder.empty() && std::filesystem::exists(userEnglish, error)
            ? userEnglish
            : folder + "/" + kEnglishFile,
        true);
  for (const std::string& path : FolderFiles(folder)) Merge(path, false);
  if (!userFolder.empty())
    for (const std::string& path : FolderFiles(userFolder)) Merge(path, false);
}

std::string Languages::CompletionTarget(const std::string& path) const {
  const std::filesystem::path file(path);
  if (FolderWritable(file.parent_path().string())) return path;
  if (userFolder_.empty() || file.parent_path() == std::filesystem::path(userFolder_)) return "";
  // A shipped file that cannot be completed in place is completed into the person's
  // folder, unless the person has a copy of it there already (theirs is read later
  // and wins; it must not be overwritten).
  const std::string copy = userFolder_ + "/" + file.filename().string();
  std::error_code error;
  if (std::filesystem::exists(copy, error)) return "";
  std::filesystem::create_directories(userFolder_, error);
  return copy;
}

void Languages::Merge(const std::string& path, bool isDefault) {
  std::string text;
  const FileStatus status = ReadWholeFile(path, text, IniDocument::kMaxTextSize);
  // Only a file that is not there at all starts empty (english.lng is then created);
  // one that exists but cannot be read must not be overwritten.
  std::error_code error;
  if (status != FileStatus::Ok &&
      (status != FileStatus::OpenFailed || std::filesystem::exists(path, error))) {
    return;
  }
  IniDocument document;
  document.Parse(text);

  const std::string section = LanguageSection(document, isDefault);
  if (section.empty()) return;

  LanguageRecord record;
  record.Code = section;
  for (const std::string& key : document.Keys(section)) {
    record.Keys.push_back(key);
    record.Values.push_back(document.Value(section, key).value_or(""));
  }

  bool added = false;
  const LanguageRecord& english = records_.front();
  for (size_t i = 0; i < english.Keys.size(); ++i) {
    if (record.Find(english.Keys[i])) continue;
    record.Keys.push_back(english.Keys[i]);
    record.Values.push_back(english.Values[i]);
    // The file's lookups ignore case: a key spelt differently keeps its own text.
    if (!document.HasKey(section, english.Keys[i])) {
      document.WriteString(section, english.Keys[i], english.Values[i]);
    }
    added = true;
  }
  // A cut-off document would lose the rest of the file; a failed write leaves the file
  // as it was and the language is still loaded.
  if (added && !document.Truncated()) {
    const std::string target = CompletionTarget(path);
    if (!target.empty()) ReplaceFileContents(target, document.Serialize());
  }

  if (isDefault) {
    records_.assign(1, std::move(record));
    return;
  }
  const auto same = std::find_if(records_.begin(), records_.end(),
                                 [&](const LanguageRecord& r) { return r.Code == section; });
  if (same != records_.end()) {
    *same = std::move(record);
  } else {
    records_.push_back(std::move(record));
  }
}

LanguageSelector Languages::Apply(Settings& settings) {
  const std::string locale = settings.Locale();
  current_ = 0;
  for (size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].Code == locale) {
      current_ = i;
      break;
    }
  }
  settings.SetLocale(records_[current_].Code);

  LanguageSelector selector;
  selector.Current = current_;
  for (size_t i = 0; i < records_.size(); ++i) {
    selector.Items.push_back("[" + records_[i].Code + "] " + GetFor("Locale", i));
  }
  return selector;
}

LanguageSelector Languages::Select(size_t index, Settings& settings) {
  if (index < records_.size()) settings.SetLocale(records_[index].Code);
  return Apply(settings);
}

std::string Languages::Get(const std::string& key) {
  LanguageRecord& record = records_[current_];
  if (const std::string* text = record.Find(key)) return *text;
  // Added before reporting, so the report's own lookups and every later use of the
  // key find it and the person sees one message per key.
  record.Keys.push_back(key);
  record.Values.push_back(kMissingText);
  if (reporter_) reporter_(Get("Err_LangNotFound") + " " + key);
  return kMissingText;
}

std::string Languages::GetFor(const std::string& key, size_t index) {
  const size_t shown = current_;
  if (index < records_.size()) current_ = index;
  std::string text = Get(key);
  current_ = shown;
  return text;
}

std::string Languages::ShownLocale() {
  std::string locale = Get("Win_Locale");
  locale.erase(0, locale.find_first_not_of(" \t"));
  locale.erase(locale.find_last_not_of(" \t") + 1);
  return locale.empty() ? "en" : locale;
}

void Languages::ApplyEngineTexts(EStatusTexts& texts) {
  for (const StatusTextKey& slot : kStatusTextKeys) texts.*slot.text = Get(slot.key);
}

Languages& CurrentLanguages() {
  static Languages languages;
  return languages;
}

}  // namespace brantle
