#pragma once
// The workflows' dialogs as the real dialog classes, driven by the test instead of
// a person: each is built and shown its values as the window would, a test function
// acts on it, and what it holds then is the answer. Without a test function a dialog
// answers as the script does; message boxes and file dialogs stay scripted.

#include <functional>

#include "difcreate.h"
#include "difif.h"
#include "difpform.h"
#include "scripted_dialogs.h"
#include "tfssel.h"

namespace brantle::test {

class DrivenDialogs : public ScriptedDialogs {
 public:
  bool ChooseDIFs(QWidget* parent, std::vector<DIFChoice>& files) override;
  void EditDifParameters(QWidget* parent, DifParametersDialog& parameters) override;
  bool SelectTfsFiles(QWidget* parent, std::vector<TfsUploadRow>& rows) override;
  void RunCreateDif(QWidget* parent, OperationFrame& frame, TKTZDCF& model) override;

  OperationFrame* frame = nullptr;
  std::function<void(gui::TDIFInfo&)> onDifInfo;
  std::function<void(gui::TNDPF&)> onParameters;
  std::function<void(gui::TTFSSelector&)> onTfsFiles;
  std::function<void(gui::CreateDifDialog&)> onCreateDif;
};

}  // namespace brantle::test
