#include "driven_dialogs.h"

namespace brantle::test {

bool DrivenDialogs::ChooseDIFs(QWidget* parent, std::vector<DIFChoice>& files) {
  if (!onDifInfo) return ScriptedDialogs::ChooseDIFs(parent, files);
  gui::TDIFInfo dialog(parent);
  dialog.Show(files);
  onDifInfo(dialog);
  files = dialog.Files();
  return true;
}

void DrivenDialogs::EditDifParameters(QWidget* parent, DifParametersDialog& parameters) {
  if (!onParameters) return ScriptedDialogs::EditDifParameters(parent, parameters);
  gui::TNDPF dialog(*frame, parent);
  dialog.Load(parameters);
  onParameters(dialog);
  dialog.Store(parameters);
}

bool DrivenDialogs::SelectTfsFiles(QWidget* parent, std::vector<TfsUploadRow>& rows) {
  if (!onTfsFiles) return ScriptedDialogs::SelectTfsFiles(parent, rows);
  gui::TTFSSelector dialog(*frame, parent);
  onTfsFiles(dialog);
  rows = dialog.Model().Rows();
  return !rows.empty();
}

void DrivenDialogs::RunCreateDif(QWidget* parent, OperationFrame& frame, TKTZDCF& model) {
  if (!onCreateDif) return;
  gui::CreateDifDialog dialog(frame, model, parent);
  model.Shown();
  dialog.Refresh();
  onCreateDif(dialog);
}

}  // namespace brantle::test
