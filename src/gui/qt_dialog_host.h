#pragma once
// The real modal windows: Qt's message box (with the kind's sound), file dialog and
// input box. The dialogs of the DIF and TFS workflows that have no window yet
// answer as a front end without them does: the DIF choice confirmed as proposed, the
// parameters unchanged, the TFS selection and the DIF creation cancelled.

#include "dialog_host.h"

namespace brantle::gui {

class QtDialogHost : public DialogHost {
 public:
  Answer Message(QWidget* parent, MessageKind kind, const std::string& text,
                 Buttons buttons) override;
  bool RunFileDialog(QWidget* parent, FileDialog& dialog) override;
  bool InputBox(QWidget* parent, const std::string& title, const std::string& prompt,
                std::string& value) override;
  bool ChooseDIFs(QWidget* parent, std::vector<DIFChoice>& files) override;
  void EditDifParameters(QWidget* parent, DifParametersDialog& dialog) override;
  bool SelectTfsFiles(QWidget* parent, std::vector<TfsUploadRow>& rows) override;
  void RunCreateDif(QWidget* parent, OperationFrame& frame, TKTZDCF& dialog) override;
  void ShowTfsFileManager(QWidget* parent, const std::string& family) override;
};

}  // namespace brantle::gui
