#include "console_ui.h"

#include <unistd.h>

#include <cstdio>

#include "dif/DIFCore.h"

namespace brantle::cli {
namespace {

bool Named(const std::set<std::string>& names, const std::string& fileName) {
  for (const auto& n : names) {
    const size_t slash = n.rfind('/');
    if (n == fileName || (slash != std::string::npos && n.substr(slash + 1) == fileName))
      return true;
  }
  return false;
}

}  // namespace

ConsoleUi::ConsoleUi(ConsoleProgress& progress, bool assumeYes)
    : progress_(progress), assumeYes_(assumeYes) {}

Answer ConsoleUi::Message(MessageKind kind, const std::string& text, Buttons buttons) {
  progress_.Finish();
  const bool loud = kind == MessageKind::Error || kind == MessageKind::Warning;
  if (loud && isatty(STDERR_FILENO)) std::fputc('\a', stderr);
  if (kind == MessageKind::Error) ++errors_;
  std::fprintf(stderr, "%s\n", text.c_str());
  if (buttons == Buttons::Ok) return Answer::Ok;
  std::fprintf(
      stderr, assumeYes_ ? "(answered Yes: --yes)\n" : "(answered No; give --yes to answer Yes)\n");
  return assumeYes_ ? Answer::Yes : Answer::No;
}

void ConsoleUi::SetProgressRange(int64_t min, int64_t max) {
  min_ = min;
  progress_.Start(static_cast<uint64_t>(max > min ? max - min : 0), false);
}

void ConsoleUi::SetProgressPosition(int64_t position) {
  progress_.SetPosition(position - min_);
}

void ConsoleUi::StepProgress(int64_t delta) {
  progress_.Step(static_cast<int32_t>(delta));
}

void ConsoleUi::SetStatus(const std::string& text) {
  progress_.Status(text);
}

void ConsoleUi::ShowIdleState() {
  progress_.Finish();
}

bool ConsoleUi::ChooseDIFs(std::vector<DIFChoice>& files) {
  for (DIFChoice& f : files) {
    // The same rules as the dialog's check boxes: Undo clears Apply and the TFS box.
    if (Named(undoFiles, f.Name)) CheckUndo(f, true);
    if (Named(noTfsFiles, f.Name)) CheckTakeTFS(f, false);
    std::fprintf(stderr, "%-32s %s%s%s\n", f.Name.c_str(), f.Apply ? " apply" : "",
                 f.Undo ? " undo" : "", f.TakeTFS ? " tfs" : "");
  }
  return true;
}

}  // namespace brantle::cli
