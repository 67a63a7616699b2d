#include "qt_dialog_host.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "event_sound.h"
#include "file_filter.h"
#include "lang/lang_get.h"

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

Answer QtDialogHost::Message(QWidget* parent, MessageKind kind, const std::string& text,
                             Buttons buttons) {
  PlayEventSound(kind);
  QMessageBox box(IconOf(kind), LangGet("Win_Product").c_str(), QString::fromStdString(text),
                  buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  parent);
  box.setObjectName("MessageBox");
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

bool QtDialogHost::ChooseDIFs(QWidget*, std::vector<DIFChoice>&) {
  return true;
}

void QtDialogHost::EditDifParameters(QWidget*, DifParametersDialog&) {}

bool QtDialogHost::SelectTfsFiles(QWidget*, std::vector<TfsUploadRow>&) {
  return false;
}

void QtDialogHost::RunCreateDif(QWidget*, OperationFrame&, TKTZDCF&) {}

void QtDialogHost::ShowTfsFileManager(QWidget*, const std::string&) {}

}  // namespace brantle::gui
