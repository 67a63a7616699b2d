#pragma once
// The dialog that picks files to write into the phone's file system, a view over
// the core's selector: rows of (file here, name in the phone), the file chooser,
// the phone folder and name fields, and the list buttons.

#include <QDialog>

#include "captions.h"
#include "operations/tfs_selector.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace brantle::gui {

class TTFSSelector : public QDialog {
  Q_OBJECT
 public:
  TTFSSelector(OperationFrame& frame, QWidget* parent);
  // "Flash TFS...": true with the rows to write.
  bool Run(std::vector<TfsUploadRow>& rows);

  TfsSelector& Model() { return model_; }
  // Shows the model's state (after every action).
  void Refresh();

 private:
  void TakeFields();

  OperationFrame& frame_;
  TfsSelector model_;
  Captions captions_;
  QTreeWidget* list_;
  QLineEdit* source_;
  QComboBox* folder_;
  QLineEdit* name_;
  QPushButton* add_;
  QPushButton* remove_;
  QPushButton* modify_;
  QPushButton* clear_;
  QPushButton* flash_;
};

}  // namespace brantle::gui
