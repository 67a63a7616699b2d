#pragma once
// A Ui that records what the core shows and answers from a script: messages with
// their kinds, progress and status calls, pumps, and the DIF information dialog
// handled by a test function.

#include <deque>
#include <functional>
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
  void PumpMessages() override { ++pumps; }
  void ShowIdleState() override { ++idleStates; }
  bool ChooseDIFs(std::vector<DIFChoice>& files) override;

  // Answers for Yes/No questions, in order; Yes when the script runs out.
  std::deque<Answer> answers;
  // The DIF information dialog: may reorder and change the rows, returns OK. Without
  // one the dialog is confirmed unchanged.
  std::function<bool(std::vector<DIFChoice>&)> chooseDIFs;

  std::vector<Shown> messages;
  std::vector<std::vector<DIFChoice>> dialogs;  // the rows each dialog was shown with
  std::vector<std::string> statuses;
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
