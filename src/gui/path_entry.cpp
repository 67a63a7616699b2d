#include "path_entry.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "page_parts.h"

namespace brantle::gui {
namespace {

// A pasted "file:" address (what some file managers copy) is a path too.
QString PathOf(const QString& typed) {
  const QString text = typed.trimmed();
  const QUrl url(text);
  const QString path = url.isLocalFile() ? url.toLocalFile() : text;
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

PathEntry::PathEntry(QWidget* parent, Takes takes) : QLineEdit(parent), takes_(takes) {
  // A path reads left to right in every language; a field that only shows what was
  // chosen ("2 DIF files selected") speaks the window's language.
  if (takes_ != Takes::Nothing) LeftToRight(this);
  if (takes_ == Takes::Nothing) {
    setReadOnly(true);
    setAcceptDrops(false);
    return;
  }
  connect(this, &QLineEdit::editingFinished, this, [this] { TakeTyped(); });
}

void PathEntry::Show(const QString& text) {
  shown_ = text;
  setText(text);
}

void PathEntry::TakeTyped() {
  const QString typed = text();
  if (typed == shown_) return;
  // Back to the page's value first: the page shows the path once it has taken it.
  setText(shown_);
  if (!typed.trimmed().isEmpty()) emit given({PathOf(typed).toStdString()});
}

std::vector<std::string> PathEntry::DroppedFiles(const QMimeData* data) const {
  std::vector<std::string> files;
  if (takes_ == Takes::Nothing || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    files.push_back(QDir::cleanPath(url.toLocalFile()).toStdString());
  }
  if (takes_ == Takes::OneFile && files.size() != 1) return {};
  return files;
}

void PathEntry::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).empty())
    event->acceptProposedAction();
  else if (!event->mimeData()->hasUrls())
    QLineEdit::dragEnterEvent(event);  // text, as typed
  else
    event->ignore();
}

void PathEntry::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedFiles(event->mimeData()).empty())
    event->acceptProposedAction();
  else if (!event->mimeData()->hasUrls())
    QLineEdit::dragMoveEvent(event);
  else
    event->ignore();
}

void PathEntry::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = DroppedFiles(event->mimeData());
  if (files.empty()) return QLineEdit::dropEvent(event);
  event->acceptProposedAction();
  setText(shown_);
  emit given(files);
}

}  // namespace brantle::gui
