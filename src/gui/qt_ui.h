#pragma once
// The Ui port for Qt: the core's messages, questions and dialogs go to the dialog
// host with the main window as their parent; progress, status and time-left lines go
// to the status area; pumping processes the window's pending events, which is how
// the Cancel button stays live while an operation runs on the window's thread.

#include <functional>

#include "dialog_host.h"
#include "status_area.h"
#include "ui/ui.h"

namespace brantle::gui {

class QtUi final : public Ui {
 public:
  using Renderer = std::function<void(const WindowState&)>;
  QtUi(QWidget* window, DialogHost& dialogs, StatusArea& status, Renderer render);

  Answer Message(MessageKind kind, const std::string& text, Buttons buttons) override;
  void SetProgressRange(int64_t min, int64_t max) override;
  void SetProgressPosition(int64_t position) override;
  void StepProgress(int64_t delta) override;
  void SetStatus(const std::string& text) override;
  void PumpMessages() override;
  void ShowIdleState() override {}
  bool ChooseDIFs(std::vector<DIFChoice>& files) override;
  void ShowWindow(const WindowState& state) override { render_(state); }
  void SetEtaLine(const std::string& text) override;
  bool RunFileDialog(FileDialog& dialog) override;
  void EditDifParameters(DifParametersDialog& dialog) override;
  bool InputBox(const std::string& title, const std::string& prompt, std::string& value) override;
  bool SelectTfsFiles(std::vector<TfsUploadRow>& rows) override;

  // The window is closing: every question from now on is answered Cancel/No at once,
  // without being shown.
  void DeclineFromNowOn() { declining_ = true; }

 private:
  bool declining_ = false;
  QWidget* window_;
  DialogHost& dialogs_;
  StatusArea& status_;
  Renderer render_;
};

}  // namespace brantle::gui
