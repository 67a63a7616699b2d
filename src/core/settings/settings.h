#pragma once
// The settings store: every persistent user choice, kept in brntl.ini beside the
// executable. It is read once at start, changed in memory as the user changes a
// setting and written back only when the window closes (the command-line front end
// never writes it), so a run that ends any other way leaves the file as it was.
// Getters give the stored value or, when it is absent or names nothing the window can
// select, the value the window would fall back to.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/ini_document.h"
#include "formats/nor_regions.h"

namespace brantle {

// The line speeds the speed selector offers, in its order.
extern const std::array<const char*, 10> kOfferedSpeeds;

// The phone-family selector: 0 E700, 1 E800, 2 E330, 3 S500, 4..20 the Opti models
// with model number index - 4.
constexpr int kFamilySelectorEntries = 21;
constexpr int kOptiModels = 17;
// Model names in model-number order (0 C200 .. 16 X480).
extern const std::array<const char*, kOptiModels> kOptiModelNames;

struct FamilyChoice {
  int SelectorIndex = 0;
  std::string Family = "E700";  // "E700", "E800", "E330", "S500" or "Opti"
  int OptiType = 0;             // meaningful only for "Opti"
  NorAreas Areas;
  // The E700, E800 and E330 phones keep files in a NAND file system; the S500 and
  // OptiFlash phones have none.
  bool HasFileSystem() const { return Family == "E700" || Family == "E800" || Family == "E330"; }
};

// What a selector index stands for; an index outside the selector counts as E700.
FamilyChoice FamilyForSelectorIndex(int index);

// The port the selector shows for a stored name: the name itself when it is among the
// available ports, otherwise the first of them in text order (so "COM10" before
// "COM2"); empty when there is no port at all.
std::string ChoosePort(const std::string& stored, std::vector<std::string> available);

// The port to use after the system's port list changed from before to now. A chosen
// port that is listed stays chosen, and so does one that has gone (its adapter may
// be plugged in again), unless a port appeared that was not listed before: that one
// is taken (the adapter plugged in again under another name, or the first adapter
// of a machine that had none).
std::string FollowPortList(const std::string& chosen, const std::vector<std::string>& before,
                           const std::vector<std::string>& now);

class Settings {
 public:
  static constexpr const char* kFileName = "brntl.ini";
  static constexpr const char* kSection = "Settings";
  static constexpr const char* kPathsSection = "Paths";

  // The store for the file at path; nothing is read until Load.
  explicit Settings(std::string path);
  // brntl.ini beside the executable for a portable copy, in the person's
  // configuration folder for an installed one (see files/app_paths.h); never the
  // current folder.
  static std::string DefaultPath();

  const std::string& FilePath() const { return path_; }

  // Reads the file. A missing, unreadable or oversized file leaves the store empty,
  // so every getter gives its default; false tells the caller so.
  bool Load();
  // Writes the whole store to the file (its folder made if needed); a failed write
  // keeps the old file intact.
  bool Save() const;

  std::string ComPort() const;  // default "COM1"
  void SetComPort(const std::string& port);

  // The stored speed when it is one of kOfferedSpeeds; "115200" when absent; the
  // selector's first entry ("38400") for anything else.
  std::string ComSpeed() const;
  int ComSpeedIndex() const;  // position of ComSpeed() in kOfferedSpeeds
  void SetComSpeed(const std::string& speed);

  // The family selector entry for PhoneType and, for "Opti", OptiType. A PhoneType
  // that names no family, or an Opti model number outside 0..16, selects no entry,
  // and that counts as E700.
  FamilyChoice Family() const;
  // A user's change of the family selector: writes PhoneType, and OptiType for an
  // Opti model (a change away from Opti leaves OptiType as it was).
  FamilyChoice SetFamilyBySelectorIndex(int index);

  // The connect sequence takes the value as a byte.
  uint8_t WaitStates() const;  // default 0
  void SetWaitStates(int value);

  // Each of these is on only for the stored value 1.
  bool DeveloperMode() const;
  void SetDeveloperMode(bool on);
  bool DisableDisconnectMessage() const;
  void SetDisableDisconnectMessage(bool on);
  bool DisableAllStatusMessages() const;
  void SetDisableAllStatusMessages(bool on);
  // Read every programmed sector or piece back and compare it.
  bool VerifyWrites() const;
  void SetVerifyWrites(bool on);
  // The window's operation log panel is shown (Show_Log).
  bool ShowLog() const;
  void SetShowLog(bool on);
  // Leave a sector unprogrammed when its old contents were read and equal the new.
  bool SkipUnchanged() const;
  void SetSkipUnchanged(bool on);

  std::string Locale() const;  // default empty
  void SetLocale(const std::string& code);

  // The last folder of a file dialog, keyed by the dialog's name; empty when unknown.
  std::string Folder(const std::string& dialog) const;
  void SetFolder(const std::string& dialog, const std::string& folder);

  // The underlying document, for keys the typed API does not cover.
  IniDocument& Document() { return document_; }
  const IniDocument& Document() const { return document_; }

 private:
  bool Flag(const char* key) const;
  void SetFlag(const char* key, bool on);

  std::string path_;
  IniDocument document_;
};

}  // namespace brantle
