#pragma once
// The DIF file information dialog: one row per DIF with its Apply, Undo and TFS
// boxes (each enabled only where the file has that content), the order of
// application changed with Move up and Move down, and the selected file's comment.

#include <QDialog>
#include <vector>

#include "captions.h"
#include "dif/DIFCore.h"
#include "ui/ui.h"

class QTableWidget;
class QTextEdit;

namespace brantle::gui {

class TDIFInfo : public QDialog {
  Q_OBJECT
 public:
  explicit TDIFInfo(QWidget* parent);
  // OK: true with the list in its new order and marks; Cancel: false, files as given.
  bool Run(std::vector<DIFChoice>& files);

  // The dialog's state, for Run and for tests that drive it without exec.
  void Show(const std::vector<DIFChoice>& files);
  const std::vector<DIFChoice>& Files() const { return files_; }
  QTableWidget* Table() const { return table_; }

 private:
  void Fill();
  void BoxClicked(int row, int column);
  void Move(bool up);
  void ShowComment();

  Captions captions_;
  std::vector<DIFChoice> files_;
  DIFInfoView view_;
  QTableWidget* table_;
  QTextEdit* comment_;
};

}  // namespace brantle::gui
