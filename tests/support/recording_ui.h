#pragma once
// A Ui that records what the core shows and answers from a script: messages with
// their kinds, progress and status calls, pumps, window states, and the dialogs
// (DIF information, file dialogs, input boxes, DIF parameters, TFS selection)
// answered by scripts or test functions.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace brantle::test {

class RecordingUi final : public Ui {
 public:
  struct Shown {
    MessageKind kind;
    std::string text;
    Buttons buttons;
  };

  Answer Message(MessageKind kind, const std::string& text, Buttons buttons) override;
  void SetProgressRange(int64_t min, int64_t max) override;
  void SetProgressPosition(int64_t position) override;
  void StepProgress(int64_t delta) override;
  void SetStatus(const std::string& text) override;
  void PumpMessages() override;
  void ShowIdleState() override { ++idleStates; }
  bool ChooseDIFs(std::vector<DIFChoice>& files) override;
  void ShowWindow(const WindowState& state) override { windows.push_back(state); }
  void SetEtaLine(const std::string& text) override { etaLines.push_back(text); }
  bool RunFileDialog(FileDialog& dialog) override;
  void EditDifParameters(DifParametersDialog& dialog) override;
  bool InputBox(const std::string& title, const std::string& prompt, std::string& value) override;
  bool SelectTfsFiles(std::vector<TfsUploadRow>& rows) override;

  // Answers for Yes/No questions, in order; Yes when the script runs out.
  std::deque<Answer> answers;
  // The DIF information dialog: may reorder and change the rows, returns OK. Without
  // one the dialog is confirmed unchanged.
  std::function<bool(std::vector<DIFChoice>&)> chooseDIFs;
  // File dialogs in order: the names chosen (and the filter), or nothing for Cancel.
  // Cancel when the script runs out.
  struct FileAnswer {
    std::vector<std::string> names;
    int filterIndex = 1;
  };
  std::deque<std::optional<FileAnswer>> fileAnswers;
  // Input boxes in order: the text typed, or nothing for Cancel.
  std::deque<std::optional<std::string>> inputAnswers;
  // The parameters dialog and the TFS selector, when a test needs them.
  std::function<void(DifParametersDialog&)> editParameters;
  std::function<bool(std::vector<TfsUploadRow>&)> selectTfsFiles;
  // Runs at every pump: where a test clicks Cancel in the middle of an operation.
  std::function<void()> onPump;

  std::vector<Shown> messages;
  std::vector<std::vector<DIFChoice>> dialogs;  // the rows each dialog was shown with
  std::vector<FileDialog> fileDialogs;          // as asked
  std::vector<DifParametersDialog> parameterDialogs;
  std::vector<std::string> inputPrompts;
  std::vector<std::string> statuses;
  std::vector<std::string> etaLines;
  std::vector<WindowState> windows;
  std::vector<int64_t> steps;
  int64_t progressMin = 0;
  int64_t progressMax = 0;
  int64_t position = 0;
  int rangeSets = 0;
  int pumps = 0;
  int idleStates = 0;

  std::vector<std::string> Texts(MessageKind kind) const;
};

}  // namespace brantle::test
