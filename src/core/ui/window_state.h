#pragma once
// What the main window shows around an operation: which controls are enabled or
// visible, the phone-status and flash-type lines with their colours, and which
// family panel is up. The operation frame computes it; a front end only renders it.

#include <string>

namespace brantle {

enum class TextColor { Default, Green, Maroon, Navy };

struct ColoredText {
  std::string Text;
  TextColor Color = TextColor::Default;
  bool operator==(const ColoredText& o) const { return Text == o.Text && Color == o.Color; }
};

enum class FamilyPanel { Tfs, S500, Opti };

struct WindowState {
  ColoredText PhoneStatus;
  std::string StatusLine;
  std::string EtaLine = "ETA: 00:00:00";

  // An operation or a connect sequence runs: everything but Cancel waits.
  bool Busy = false;
  bool CancelEnabled = false;
  bool DisconnectEnabled = false;
  // "Connect again": a connect failed and the window waits for the person.
  bool RetryEnabled = false;
  // The port, speed, phone-type and language selectors change together.
  bool SelectorsEnabled = true;
  bool CreateDifEnabled = true;
  bool UnpackDifEnabled = true;
  // A phone is connected: the commands that talk to it may run, each once its page
  // has what it needs (its sources chosen). Offline commands do not ask.
  bool PhoneCommandsEnabled = false;
  // The same for the commands that reach the phone's file system: only the phones
  // that keep one (not the S500 and OptiFlash phones).
  bool FileSystemCommandsEnabled = false;
  bool PhoneCommand(bool pageReady) const { return pageReady && PhoneCommandsEnabled; }
  bool FileSystemCommand(bool pageReady) const { return pageReady && FileSystemCommandsEnabled; }

  bool FlashTypeVisible = false;  // the flash-type panel
  ColoredText FlashType;
  bool FlashHelpVisible = false;  // the "?" beside the flash type
  bool FlashHelpEnabled = true;

  int FamilySelectorIndex = 0;
  FamilyPanel Panel = FamilyPanel::Tfs;
  // The service buttons of the panel shown: TFS flash/format/dump, the two S500
  // conversions or the two S3 conversions.
  bool PanelButtonsEnabled = false;
  bool DeveloperButtonsVisible = false;
};

}  // namespace brantle
