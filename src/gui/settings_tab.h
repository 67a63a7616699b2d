#pragma once
// The Settings page: serial port, line speed, phone type, language, and the checks
// around writing. A change is written to the settings at once and takes effect as
// the settings say: a port or family change reopens the port, a speed change waits
// for the next connection, the checks apply from the next operation on.

#include <QCheckBox>
#include <QComboBox>
#include <QWidget>

#include "lang/languages.h"
#include "window_context.h"

namespace brantle::gui {

class TKTZF;

// A selector that lists its items again each time it opens, so that an adapter
// plugged in after start appears.
class PortSelector : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;
  void showPopup() override;
 signals:
  void aboutToOpen();
};

class SettingsTab : public QWidget {
  Q_OBJECT
 public:
  SettingsTab(WindowContext& context, TKTZF& window);

  // Start-up: the stored port, speed and family selected and applied.
  void LoadFromSettings();
  void ShowLanguages(const LanguageSelector& selector);
  void Render(const WindowState& state);
  // Lists the system's ports again, the chosen one selected (marked when it has gone).
  void ListPorts();

 private:
  void PortChosen(int index);

  WindowContext& context_;
  TKTZF& window_;
  PortSelector* port_;
  QComboBox* speed_;
  QComboBox* family_;
  QComboBox* language_;
  QCheckBox* verify_;
  QCheckBox* skipUnchanged_;
};

}  // namespace brantle::gui
