#include "settings/settings.h"

#include <algorithm>
#include <filesystem>

#include "files/app_paths.h"
#include "files/file_access.h"

namespace brantle {

const std::array<const char*, 10> kOfferedSpeeds = {"38400",  "76800",  "115200", "153600",
                                                    "230400", "307200", "460800", "537600",
                                                    "614400", "806400"};

const std::array<const char*, kOptiModels> kOptiModelNames = {
    "C200", "X120", "S20x", "P500", "P400", "S208", "E105", "X105", "S108",
    "V2E5", "V208", "E308", "E608", "X40x", "S10x", "S30x", "X480"};

namespace {

const char* const kFamilies[] = {"E700", "E800", "E330", "S500"};
constexpr int kFirstOptiIndex = 4;

}  // namespace

FamilyChoice FamilyForSelectorIndex(int index) {
  if (index < 0 || index >= kFamilySelectorEntries) index = 0;
  FamilyChoice choice;
  choice.SelectorIndex = index;
  if (index < kFirstOptiIndex) {
    choice.Family = kFamilies[index];
  } else {
    choice.Family = "Opti";
    choice.OptiType = index - kFirstOptiIndex;
  }
  choice.Areas = NorAreasFor(choice.Family, choice.OptiType);
  return choice;
}

std::string ChoosePort(const std::string& stored, std::vector<std::string> available) {
  if (available.empty()) return "";
  if (std::find(available.begin(), available.end(), stored) != available.end()) return stored;
  return *std::min_element(available.begin(), available.end());
}

std::string FollowPortList(const std::string& chosen, const std::vector<std::string>& before,
                           const std::vector<std::string>& now) {
  const auto listed = [](const std::vector<std::string>& list, const std::string& port) {
    return std::find(list.begin(), list.end(), port) != list.end();
  };
  if (listed(now, chosen)) return chosen;
  std::vector<std::string> added;
  for (const std::string& port : now)
    if (!listed(before, port)) added.push_back(port);
  return added.empty() ? chosen : ChoosePort("", added);
}

Settings::Settings(std::string path) : path_(std::move(path)) {}

std::string Settings::DefaultPath() {
  return CurrentAppPaths().SettingsFile;
}

bool Settings::Load() {
  std::string text;
  if (ReadWholeFile(path_, text, IniDocument::kMaxTextSize) != FileStatus::Ok) {
    document_.Clear();
    return false;
  }
  document_.Parse(text);
  return true;
}

bool Settings::Save() const {
  // The settings folder of an installed copy may not exist yet.
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  return ReplaceFileContents(path_, document_.Serialize());
}

std::string Settings::ComPort() const {
  return document_.ReadString(kSection, "ComPort", "COM1");
}

void Settings::SetComPort(const std::string& port) {
  document_.WriteString(kSection, "ComPort", port);
}

std::string Settings::ComSpeed() const {
  return kOfferedSpeeds[ComSpeedIndex()];
}

int Settings::ComSpeedIndex() const {
  const std::string stored = document_.ReadString(kSection, "ComSpeed", "115200");
  for (size_t i = 0; i < kOfferedSpeeds.size(); ++i) {
    if (stored == kOfferedSpeeds[i]) return static_cast<int>(i);
  }
  return 0;
}

void Settings::SetComSpeed(const std::string& speed) {
  document_.WriteString(kSection, "ComSpeed", speed);
}

FamilyChoice Settings::Family() const {
  const std::string type = document_.ReadString(kSection, "PhoneType", "E700");
  for (int i = 0; i < kFirstOptiIndex; ++i) {
    if (type == kFamilies[i]) return FamilyForSelectorIndex(i);
  }
  if (type == "Opti") {
    const int model = document_.ReadInteger(kSection, "OptiType", 0);
    if (model >= 0 && model < kOptiModels) return FamilyForSelectorIndex(kFirstOptiIndex + model);
  }
  return FamilyForSelectorIndex(0);
}

FamilyChoice Settings::SetFamilyBySelectorIndex(int index) {
  const FamilyChoice choice = FamilyForSelectorIndex(index);
  document_.WriteString(kSection, "PhoneType", choice.Family);
  if (choice.Family == "Opti") document_.WriteInteger(kSection, "OptiType", choice.OptiType);
  return choice;
}

uint8_t Settings::WaitStates() const {
  return static_cast<uint8_t>(document_.ReadInteger(kSection, "Wait_States", 0) & 0xFF);
}

void Settings::SetWaitStates(int value) {
  document_.WriteInteger(kSection, "Wait_States", value);
}

bool Settings::Flag(const char* key) const {
  return document_.ReadInteger(kSection, key, 0) == 1;
}

void Settings::SetFlag(const char* key, bool on) {
  document_.WriteInteger(kSection, key, on ? 1 : 0);
}

bool Settings::DeveloperMode() const {
  return Flag("Developer_Mode");
}
void Settings::SetDeveloperMode(bool on) {
  SetFlag("Developer_Mode", on);
}
bool Settings::DisableDisconnectMessage() const {
  return Flag("Disable_Disconnect_Message");
}
void Settings::SetDisableDisconnectMessage(bool on) {
  SetFlag("Disable_Disconnect_Message", on);
}
bool Settings::DisableAllStatusMessages() const {
  return Flag("Disable_All_Status_Messages");
}
void Settings::SetDisableAllStatusMessages(bool on) {
  SetFlag("Disable_All_Status_Messages", on);
}
bool Settings::ShowLog() const {
  return Flag("Show_Log");
}

void Settings::SetShowLog(bool on) {
  SetFlag("Show_Log", on);
}

bool Settings::VerifyWrites() const {
  return Flag("Verify_Writes");
}
void Settings::SetVerifyWrites(bool on) {
  SetFlag("Verify_Writes", on);
}
bool Settings::SkipUnchanged() const {
  return Flag("Skip_Unchanged");
}
void Settings::SetSkipUnchanged(bool on) {
  SetFlag("Skip_Unchanged", on);
}

std::string Settings::Locale() const {
  return document_.ReadString(kSection, "Locale", "");
}
void Settings::SetLocale(const std::string& code) {
  document_.WriteString(kSection, "Locale", code);
}

std::string Settings::Folder(const std::string& dialog) const {
  return document_.ReadString(kPathsSection, dialog, "");
}

void Settings::SetFolder(const std::string& dialog, const std::string& folder) {
  document_.WriteString(kPathsSection, dialog, folder);
}

}  // namespace brantle
