#pragma once
// The Developer page: the offline service (create and apply DIFs, convert S3 and
// 2BIN+2OGM files) and the file-system buttons, one service sub-page each with the
// text that says what it is for. A family's buttons show where the chosen family has
// them; elsewhere the page says they are not available.

#include <QWidget>

#include "operations/create_dif_dialog.h"
#include "operations/service_pages.h"
#include "window_context.h"

class QLabel;
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
  struct ServiceButton {
    const char* name;
    const char* key;
    std::function<void()> handler;
  };
  // A sub-page of its text, its buttons and, for a family's page, the note shown
  // instead of them for other families; name: "S500" gives "T_ServiceS500", "P_S500",
  // "L_S500_Service" and "L_S500_NA".
  QWidget* ServiceSubPage(brantle::ServicePage page, const char* name,
                          const std::vector<ServiceButton>& buttons);
  QPushButton* Add(QWidget* parent, const char* name, const char* key,
                   const std::function<void()>& handler);

  struct Shown {
    brantle::ServicePage page;
    QWidget* buttons;
    QLabel* notAvailable;
  };

  WindowContext& context_;
  DialogHost& dialogs_;
  TKTZDCF createDif_;
  QPushButton* createButton_ = nullptr;
  QPushButton* unpackButton_ = nullptr;
  std::vector<Shown> pages_;
  std::vector<QPushButton*> panelButtons_;
};

}  // namespace brantle::gui
