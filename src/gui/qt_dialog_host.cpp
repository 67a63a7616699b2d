#include "qt_dialog_host.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

#include "difcreate.h"
#include "difif.h"
#include "difpform.h"
#include "event_sound.h"
#include "file_filter.h"
#include "lang/lang_get.h"
#include "tfsfm.h"
#include "tfssel.h"

namespace brantle::gui {
namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Error:
      return QMessageBox::Critical;
    case MessageKind::Warning:
      return QMessageBox::Warning;
    case MessageKind::Question:
      return QMessageBox::Question;
    case MessageKind::Information:
      break;
  }
  return QMessageBox::Information;
}

}  // namespace

QtDialogHost::QtDialogHost() = default;
QtDialogHost::~QtDialogHost() = default;

Answer QtDialogHost::Message(QWidget* parent, MessageKind kind, const std::string& text,
                             Buttons buttons) {
  PlayEventSound(kind);
  QMessageBox box(IconOf(kind), LangGet("Win_Product").c_str(), QString::fromStdString(text),
                  buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  parent);
  box.setObjectName("MessageBox");
  if (buttons == Buttons::YesNo) {
    // No is the safe answer to every question asked: Yes writes, erases or formats,
    // gives up what runs or was chosen (cancel, clear the list) or trusts the bytes
    // of an interrupted dump. Return and Escape answer No.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
  }
  const int chosen = box.exec();
  if (buttons == Buttons::Ok) return Answer::Ok;
  return chosen == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

bool QtDialogHost::RunFileDialog(QWidget* parent, FileDialog& d) {
  const QStringList filters = QtNameFilters(d.Filter);
  QFileDialog dialog(parent, QString::fromStdString(d.Title), QString::fromStdString(d.Folder));
  dialog.setObjectName("FileDialog");
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QString::fromStdString(d.DefaultExt));
  switch (d.DialogMode) {
    case FileDialog::Mode::Open:
      dialog.setFileMode(QFileDialog::ExistingFile);
      break;
    case FileDialog::Mode::OpenMany:
      dialog.setFileMode(QFileDialog::ExistingFiles);
      break;
    case FileDialog::Mode::Save:
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      if (!d.OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
      if (!d.InitialName.empty()) dialog.selectFile(QString::fromStdString(d.InitialName));
      break;
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  d.Names.clear();
  for (const QString& name : dialog.selectedFiles()) d.Names.push_back(name.toStdString());
  d.FilterIndex = FilterIndexOf(filters, dialog.selectedNameFilter());
  return !d.Names.empty();
}

bool QtDialogHost::InputBox(QWidget* parent, const std::string& title, const std::string& prompt,
                            std::string& value) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent, QString::fromStdString(title), QString::fromStdString(prompt),
                            QLineEdit::Normal, QString::fromStdString(value), &ok);
  if (ok) value = text.toStdString();
  return ok;
}

bool QtDialogHost::ChooseDIFs(QWidget* parent, std::vector<DIFChoice>& files) {
  TDIFInfo dialog(parent);
  return dialog.Run(files);
}

void QtDialogHost::EditDifParameters(QWidget* parent, DifParametersDialog& parameters) {
  TNDPF dialog(*frame_, parent);
  dialog.Run(parameters);
}

bool QtDialogHost::SelectTfsFiles(QWidget* parent, std::vector<TfsUploadRow>& rows) {
  if (!tfsSelector_) tfsSelector_ = std::make_unique<TTFSSelector>(*frame_, parent);
  return tfsSelector_->Run(rows);
}

void QtDialogHost::RunCreateDif(QWidget* parent, OperationFrame& frame, TKTZDCF& model) {
  CreateDifDialog dialog(frame, model, parent);
  dialog.Run();
}

void QtDialogHost::OpenFolder(const std::string& folder) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
}

void QtDialogHost::ShowTfsFileManager(QWidget* parent, const std::string& family) {
  auto* manager = new TSTFM(family, parent);
  manager->show();
}

}  // namespace brantle::gui
