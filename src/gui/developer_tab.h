#pragma once
// The Developer page: the offline service (create and apply DIFs, convert S3 and
// 2BIN+2OGM files) and the file-system buttons of the family's panel.

#include <QWidget>

#include "operations/create_dif_dialog.h"
#include "window_context.h"

class QPushButton;

namespace brantle::gui {

class DialogHost;

class DeveloperTab : public QWidget {
  Q_OBJECT
 public:
  DeveloperTab(WindowContext& context, DialogHost& dialogs);
  void Render(const WindowState& state);
  // "Dev-TFSM".
  void OpenFileManager();

 private:
  QPushButton* Add(QWidget* parent, const char* name, const char* key,
                   const std::function<void()>& handler);

  WindowContext& context_;
  DialogHost& dialogs_;
  TKTZDCF createDif_;
  QPushButton* createButton_;
  QPushButton* unpackButton_;
  QWidget* panels_[3];
  std::vector<QPushButton*> panelButtons_;
};

}  // namespace brantle::gui
