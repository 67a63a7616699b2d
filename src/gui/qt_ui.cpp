#include "qt_ui.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace brantle::gui {
namespace {

int Clamp(int64_t v) {
  return static_cast<int>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
}

}  // namespace

QtUi::QtUi(QWidget* window, DialogHost& dialogs, StatusArea& status, Renderer render)
    : window_(window), dialogs_(dialogs), status_(status), render_(std::move(render)) {}

Answer QtUi::Message(MessageKind kind, const std::string& text, Buttons buttons) {
  if (declining_) return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  return dialogs_.Message(window_, kind, text, buttons);
}

void QtUi::SetProgressRange(int64_t min, int64_t max) {
  // A bar whose range is empty becomes Qt's busy indicator, which would run on after
  // the phase: an empty phase shows an empty bar instead.
  status_.Progress()->setRange(Clamp(min), Clamp(std::max(max, min + 1)));
}

void QtUi::SetProgressPosition(int64_t position) {
  status_.Progress()->setValue(Clamp(position));
}

void QtUi::StepProgress(int64_t delta) {
  QProgressBar* bar = status_.Progress();
  const int64_t next = static_cast<int64_t>(bar->value()) + delta;
  bar->setValue(Clamp(std::min<int64_t>(std::max<int64_t>(next, bar->minimum()), bar->maximum())));
}

void QtUi::SetStatus(const std::string& text) {
  status_.SetStatus(QString::fromStdString(text));
}

void QtUi::PumpMessages() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool QtUi::ChooseDIFs(std::vector<DIFChoice>& files) {
  return dialogs_.ChooseDIFs(window_, files);
}

void QtUi::SetEtaLine(const std::string& text) {
  status_.SetEta(QString::fromStdString(text));
}

bool QtUi::RunFileDialog(FileDialog& dialog) {
  if (declining_) return false;
  return dialogs_.RunFileDialog(window_, dialog);
}

void QtUi::EditDifParameters(DifParametersDialog& dialog) {
  dialogs_.EditDifParameters(window_, dialog);
}

bool QtUi::InputBox(const std::string& title, const std::string& prompt, std::string& value) {
  if (declining_) return false;
  return dialogs_.InputBox(window_, title, prompt, value);
}

bool QtUi::SelectTfsFiles(std::vector<TfsUploadRow>& rows) {
  return dialogs_.SelectTfsFiles(window_, rows);
}

}  // namespace brantle::gui
