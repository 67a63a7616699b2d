#include "support/recording_ui.h"

namespace brantle::test {

Answer RecordingUi::Message(MessageKind kind, const std::string& text, Buttons buttons) {
  messages.push_back({kind, text, buttons});
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (answers.empty()) return Answer::Yes;
  const Answer answer = answers.front();
  answers.pop_front();
  return answer;
}

void RecordingUi::SetProgressRange(int64_t min, int64_t max) {
  progressMin = min;
  progressMax = max;
  ++rangeSets;
}

void RecordingUi::SetProgressPosition(int64_t newPosition) {
  position = newPosition;
}

void RecordingUi::StepProgress(int64_t delta) {
  steps.push_back(delta);
  position += delta;
}

void RecordingUi::SetStatus(const std::string& text) {
  statuses.push_back(text);
}

void RecordingUi::PumpMessages() {
  ++pumps;
  if (onPump) onPump();
}

bool RecordingUi::ChooseDIFs(std::vector<DIFChoice>& files) {
  dialogs.push_back(files);
  return chooseDIFs ? chooseDIFs(files) : true;
}

bool RecordingUi::RunFileDialog(FileDialog& dialog) {
  fileDialogs.push_back(dialog);
  if (fileAnswers.empty()) return false;
  const std::optional<FileAnswer> answer = fileAnswers.front();
  fileAnswers.pop_front();
  if (!answer) return false;
  dialog.Names = answer->names;
  dialog.FilterIndex = answer->filterIndex;
  return true;
}

void RecordingUi::EditDifParameters(DifParametersDialog& dialog) {
  parameterDialogs.push_back(dialog);
  if (editParameters) editParameters(dialog);
}

bool RecordingUi::InputBox(const std::string& title, const std::string& prompt,
                           std::string& value) {
  inputPrompts.push_back(title + ": " + prompt + " [" + value + "]");
  if (inputAnswers.empty()) return false;
  const std::optional<std::string> answer = inputAnswers.front();
  inputAnswers.pop_front();
  if (!answer) return false;
  value = *answer;
  return true;
}

bool RecordingUi::SelectTfsFiles(std::vector<TfsUploadRow>& rows) {
  return selectTfsFiles ? selectTfsFiles(rows) : false;
}

std::vector<std::string> RecordingUi::Texts(MessageKind kind) const {
  std::vector<std::string> texts;
  for (const Shown& shown : messages) {
    if (shown.kind == kind) texts.push_back(shown.text);
  }
  return texts;
}

}  // namespace brantle::test
