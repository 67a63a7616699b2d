#pragma once
// The real windows: Qt's message box (with the kind's sound), file dialog and input
// box, and the dialogs of the DIF and TFS workflows. They ask for files through the
// operation frame, which remembers a folder per purpose.

#include <memory>

#include "dialog_host.h"

namespace brantle::gui {

class TTFSSelector;

class QtDialogHost : public DialogHost {
 public:
  QtDialogHost();
  ~QtDialogHost() override;
  void Attach(OperationFrame& frame) { frame_ = &frame; }

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
  void OpenFolder(const std::string& folder) override;

 private:
  OperationFrame* frame_ = nullptr;
  // The file list stays between uses while the program runs.
  std::unique_ptr<TTFSSelector> tfsSelector_;
};

}  // namespace brantle::gui
