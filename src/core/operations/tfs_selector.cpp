#include "operations/tfs_selector.h"

#include <sys/stat.h>

#include <algorithm>

#include "lang/lang_get.h"

namespace brantle {
namespace {

const char* const kStandardFolders[] = {"/user",
                                        "/user/sounds",
                                        "/images",
                                        "/images/idle",
                                        "/wap",
                                        "/wap/images",
                                        "/wap/sounds",
                                        "/sms",
                                        "/test",
                                        "/mms",
                                        "/mms/inbox",
                                        "/mms/outbox",
                                        "/mms/draft",
                                        "/mms/myfolder",
                                        "/mms/template",
                                        "/mms/audio",
                                        "/mms/camera",
                                        "/mms/camera/image",
                                        "/mms/camera/thumb",
                                        "/mms/owtest",
                                        "/mms/updwload",
                                        "/mms/mmssound",
                                        "/mms/temp",
                                        "/mms/mmsimage",
                                        "/mms/voice",
                                        "/java"};

std::string Trimmed(const std::string& text) {
  const size_t from = text.find_first_not_of(" \t");
  if (from == std::string::npos) return "";
  return text.substr(from, text.find_last_not_of(" \t") - from + 1);
}

std::string OwnName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TfsSelector::TfsSelector(FileExists exists) : exists_(std::move(exists)) {
  for (const char* folder : kStandardFolders) folders_.push_back(std::string(folder) + "/");
  std::sort(folders_.begin(), folders_.end());
}

bool TfsSelector::RegularFileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string TfsSelector::TfsName(const std::string& name) const {
  return Trimmed(Folder) + Trimmed(name);
}

void TfsSelector::FilesChosen(const std::vector<std::string>& files) {
  if (files.size() == 1) {
    Source = files.front();
    Name = OwnName(Source);
  } else {
    for (const std::string& file : files) rows_.push_back({file, TfsName(OwnName(file))});
  }
  Refresh();
}

bool TfsSelector::Browse(OperationFrame& frame) {
  if (!frame.SelectOpenFiles("", "FF_ALL", "FF_ALLR_Caption", "TFSSelect")) return false;
  FilesChosen(frame.FileNames());
  return true;
}

void TfsSelector::Add() {
  if (AddEnabled()) rows_.push_back({Source, TfsName(Name)});
  Refresh();
}

void TfsSelector::Modify() {
  if (ModifyEnabled()) rows_[selected_] = {Source, TfsName(Name)};
  Refresh();
}

void TfsSelector::Remove() {
  if (selected_ >= 0) rows_.erase(rows_.begin() + selected_);
  selected_ = -1;
  Refresh();
}

void TfsSelector::Clear(Ui& ui) {
  if (ui.Message(MessageKind::Question, LangGet("Query_Sure"), Buttons::YesNo) == Answer::Yes) {
    rows_.clear();
    selected_ = -1;
  }
  Refresh();
}

void TfsSelector::Select(int row) {
  Refresh();
  selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
  if (selected_ < 0) return;
  const TfsUploadRow& r = rows_[selected_];
  Source = r.Source;
  const size_t slash = r.TfsName.rfind('/');
  Folder = slash == std::string::npos ? "" : r.TfsName.substr(0, slash + 1);
  Name = slash == std::string::npos ? r.TfsName : r.TfsName.substr(slash + 1);
}

void TfsSelector::Refresh() {
  for (size_t i = rows_.size(); i-- > 0;) {
    if (exists_(rows_[i].Source)) continue;
    rows_.erase(rows_.begin() + static_cast<long>(i));
    // The selection follows its row, and is lost with it.
    if (selected_ == static_cast<int>(i))
      selected_ = -1;
    else if (selected_ > static_cast<int>(i))
      --selected_;
  }
}

bool TfsSelector::AddEnabled() const {
  return !Source.empty() && NameValid();
}

bool TfsSelector::NameValid() const {
  return !Trimmed(Name).empty() && IsTfsFileName(TfsName(Name));
}

}  // namespace brantle
