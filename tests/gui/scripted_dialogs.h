#pragma once
// The modal windows of the window answered from a script, recording what was asked:
// message boxes with their kinds and texts, file dialogs, input boxes and the
// workflows' dialogs. Everything else in the window under test is real.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog_host.h"

namespace brantle::test {

class ScriptedDialogs : public gui::DialogHost {
 public:
  struct Shown {
    MessageKind kind;
    std::string text;
  };

  Answer Message(QWidget*, MessageKind kind, const std::string& text, Buttons buttons) override;
  bool RunFileDialog(QWidget*, FileDialog& dialog) override;
  bool InputBox(QWidget*, const std::string& title, const std::string& prompt,
                std::string& value) override;
  bool ChooseDIFs(QWidget*, std::vector<DIFChoice>& files) override;
  void EditDifParameters(QWidget*, DifParametersDialog& dialog) override;
  bool SelectTfsFiles(QWidget*, std::vector<TfsUploadRow>& rows) override;
  void RunCreateDif(QWidget*, OperationFrame&, TKTZDCF&) override {}
  void ShowTfsFileManager(QWidget*, const std::string&) override {}
  void OpenFolder(const std::string& folder) override { foldersOpened.push_back(folder); }

  // Yes/No answers in order; Yes when the script runs out.
  std::deque<Answer> answers;
  // File dialogs in order: the names chosen, or nothing for Cancel; Cancel when the
  // script runs out.
  std::deque<std::optional<std::vector<std::string>>> files;
  std::deque<std::optional<std::string>> inputs;
  std::function<bool(std::vector<DIFChoice>&)> chooseDIFs;
  // Runs when a message box is shown, before it is answered.
  std::function<void(const Shown&)> onMessage;

  std::vector<Shown> messages;
  std::vector<std::string> foldersOpened;
  std::vector<FileDialog> fileDialogs;

  // How many boxes showed exactly this text.
  int Count(const std::string& text) const;
  std::vector<std::string> Texts(MessageKind kind) const;
};

}  // namespace brantle::test
