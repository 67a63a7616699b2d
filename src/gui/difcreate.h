#pragma once
// The "Create DIF" dialog, a view over the core's model of it: the original and
// target images, a TFS file and the DIFs to merge, each with Select and Clear, the
// parameters, and "Create DIF..." once there is something to create.

#include <QDialog>

#include "captions.h"
#include "operations/create_dif_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace brantle::gui {

class CreateDifDialog : public QDialog {
  Q_OBJECT
 public:
  CreateDifDialog(OperationFrame& frame, TKTZDCF& model, QWidget* parent);
  // Shows the model; the model says afterwards whether "Create DIF..." confirmed it.
  void Run();
  void Refresh();

 private:
  QLineEdit* Row(int row, const char* labelKey, const char* name,
                 const std::function<bool()>& select, const std::function<void()>& clear);

  OperationFrame& frame_;
  TKTZDCF& model_;
  Captions captions_;
  QLineEdit* bin1_;
  QLineEdit* bin2_;
  QLineEdit* tfs_;
  QLineEdit* difs_;
  QPushButton* create_;
};

}  // namespace brantle::gui
