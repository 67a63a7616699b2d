#include "scripted_dialogs.h"

#include <algorithm>

namespace brantle::test {

Answer ScriptedDialogs::Message(QWidget*, MessageKind kind, const std::string& text,
                                Buttons buttons) {
  messages.push_back({kind, text});
  if (onMessage) onMessage(messages.back());
  if (buttons == Buttons::Ok) return Answer::Ok;
  if (answers.empty()) return Answer::Yes;
  const Answer a = answers.front();
  answers.pop_front();
  return a;
}

bool ScriptedDialogs::RunFileDialog(QWidget*, FileDialog& dialog) {
  fileDialogs.push_back(dialog);
  if (files.empty()) return false;
  const std::optional<std::vector<std::string>> chosen = files.front();
  files.pop_front();
  if (!chosen) return false;
  dialog.Names = *chosen;
  dialog.FilterIndex = 1;
  return true;
}

bool ScriptedDialogs::InputBox(QWidget*, const std::string&, const std::string&,
                               std::string& value) {
  if (inputs.empty()) return false;
  const std::optional<std::string> typed = inputs.front();
  inputs.pop_front();
  if (!typed) return false;
  value = *typed;
  return true;
}

bool ScriptedDialogs::ChooseDIFs(QWidget*, std::vector<DIFChoice>& files) {
  return chooseDIFs ? chooseDIFs(files) : true;
}

void ScriptedDialogs::EditDifParameters(QWidget*, DifParametersDialog&) {}

bool ScriptedDialogs::SelectTfsFiles(QWidget*, std::vector<TfsUploadRow>&) {
  return false;
}

int ScriptedDialogs::Count(const std::string& text) const {
  return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                        [&](const Shown& s) { return s.text == text; }));
}

std::vector<std::string> ScriptedDialogs::Texts(MessageKind kind) const {
  std::vector<std::string> texts;
  for (const Shown& s : messages)
    if (s.kind == kind) texts.push_back(s.text);
  return texts;
}

}  // namespace brantle::test
