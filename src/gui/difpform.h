#pragma once
// The DIF creation parameters dialog: comparison, reversal and compression, the
// compatibility line that follows them, and the comment editor with "Load
// comment..." and "Save comment...". The caller says the caption and which
// selectors apply; the values stay as the person left them, whatever closed it.

#include <QDialog>

#include "captions.h"
#include "ui/ui.h"

class QComboBox;
class QLabel;

namespace brantle {
class OperationFrame;
}

namespace brantle::gui {

class CommentEditor;

class TNDPF : public QDialog {
  Q_OBJECT
 public:
  TNDPF(OperationFrame& frame, QWidget* parent);
  // Shows the values, runs the dialog modally and stores them back.
  void Run(DifParametersDialog& parameters);

  void Load(const DifParametersDialog& parameters);
  void Store(DifParametersDialog& parameters) const;
  CommentEditor* Editor() const { return editor_; }

 private:
  void Compatibility();
  void LoadComment();
  void SaveComment();

  OperationFrame& frame_;
  Captions captions_;
  QComboBox* cType_;
  QComboBox* rType_;
  QComboBox* compress_;
  QLabel* compatibility_;
  CommentEditor* editor_;
};

}  // namespace brantle::gui
