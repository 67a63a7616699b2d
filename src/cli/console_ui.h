#pragma once
// The command line's side of the Ui port: messages on stderr (with the terminal
// bell for errors and warnings on a terminal), progress through ConsoleProgress,
// questions answered by --yes, and the DIF choices given as options.

#include <set>
#include <string>

#include "console_progress.h"
#include "ui/ui.h"

namespace brantle::cli {

class ConsoleUi final : public Ui {
 public:
  ConsoleUi(ConsoleProgress& progress, bool assumeYes);

  // DIF files (by name as given or without folder) to apply backwards, or whose
  // TFS files are left out.
  std::set<std::string> undoFiles;
  std::set<std::string> noTfsFiles;

  Answer Message(MessageKind kind, const std::string& text, Buttons buttons) override;
  void SetProgressRange(int64_t min, int64_t max) override;
  void SetProgressPosition(int64_t position) override;
  void StepProgress(int64_t delta) override;
  void SetStatus(const std::string& text) override;
  void PumpMessages() override {}
  void ShowIdleState() override;
  bool ChooseDIFs(std::vector<DIFChoice>& files) override;

  int errors() const { return errors_; }

 private:
  ConsoleProgress& progress_;
  bool assumeYes_;
  int64_t min_ = 0;
  int errors_ = 0;
};

}  // namespace brantle::cli
