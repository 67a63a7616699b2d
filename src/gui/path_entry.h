#pragma once
// A file name field. It shows the name its page holds; where the page takes them, a
// path typed or pasted into it (taken on Enter or when the field is left) and files
// dropped onto it from a file manager are handed to the page, which checks them as
// it checks a file chosen in a dialog. Until the page takes a path the field shows
// what it showed before, so a refused path is never left standing in it.

#include <QLineEdit>
#include <string>
#include <vector>

class QMimeData;

namespace brantle::gui {

class PathEntry : public QLineEdit {
  Q_OBJECT
 public:
  // What the field takes: nothing (a name a dialog fills), one file, or several.
  enum class Takes { Nothing, OneFile, Files };
  PathEntry(QWidget* parent, Takes takes);

  // The page's value, shown until the next path is taken.
  void Show(const QString& text);

 signals:
  // Absolute paths typed, pasted or dropped.
  void given(const std::vector<std::string>& paths);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The local files a drop carries; empty when it carries anything else or more
  // files than the field takes.
  std::vector<std::string> DroppedFiles(const QMimeData* data) const;
  void TakeTyped();

  Takes takes_;
  QString shown_;
};

}  // namespace brantle::gui
