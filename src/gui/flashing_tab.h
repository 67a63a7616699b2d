#pragma once
// The Flashing tab: the seven ways to write the phone's NOR, one sub-page each, with
// their source fields, undo choice and action button.

#include <QWidget>

#include "operations/flash_pages.h"
#include "window_context.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace brantle::gui {

class FileField;
class PathEntry;
class UndoRow;
struct OpenKind;

class FlashingTab : public QWidget {
  Q_OBJECT
 public:
  explicit FlashingTab(WindowContext& context);
  // Runs every page's rule again (after an operation or a family change).
  void Refresh();
  // The action buttons: each page's own rule, and a phone to talk to.
  void Render(const WindowState& state);

 private:
  // The pages with one source file, the undo row and the action button.
  struct SingleFile {
    FileField* source;
    UndoRow* undo;
    QPushButton* action;
  };
  using FlashOneFile = void (*)(OperationFrame&, ConnectDriver&, const std::string& fileName,
                                const FlashUndoChoice&);
  // name gives the controls' names ("FlashS3": "T_FlashS3", "T_FlashS3_Src", ...).
  QWidget* SingleFilePage(SingleFile& page, const std::string& name, const char* labelKey,
                          OpenKind kind, FlashOneFile flash);
  QWidget* DifPage();
  QWidget* BinDiffPage();
  QWidget* S500Page();
  QWidget* BinOffsetPage();
  QWidget* HexPage();
  void BinOffsetRule();
  void HexRule();

  WindowContext& context_;

  SingleFile bin_;
  SingleFile s3_;

  FlashDifPage difPage_;
  PathEntry* difSource_;
  UndoRow* difUndo_;
  QPushButton* difDo_;

  FileField* diffOriginal_;
  FileField* diffTarget_;
  QComboBox* diffType_;
  UndoRow* diffUndo_;
  QPushButton* diffDo_;

  FileField* s500_[4];
  UndoRow* s500Undo_;
  QPushButton* s500Do_;

  FileField* part_;
  qint64 partSize_ = 0;
  QComboBox* partBinOffset_;
  QComboBox* partPhoneOffset_;
  QComboBox* partLength_;
  QLabel* partEndBin_;
  QLabel* partEndPhone_;
  UndoRow* partUndo_;
  QPushButton* partDo_;
  bool partReady_ = false;

  QPlainTextEdit* hexData_;
  QComboBox* hexOffset_;
  QLabel* hexEnd_;
  QLabel* hexLength_;
  UndoRow* hexUndo_;
  QPushButton* hexDo_;
  bool hexReady_ = false;
  std::string hexBytes_;
};

}  // namespace brantle::gui
