#pragma once
// The operation log panel: the lines of this run, newest at the bottom and kept in
// view unless the person scrolled up; the run saved to a file of their choice,
// copied, or the log's folder opened in the desktop's file manager. The window shows
// or hides it (and remembers which).

#include <QWidget>

#include "log/operation_log.h"
#include "window_context.h"

class QPlainTextEdit;
class QPushButton;

namespace brantle::gui {

class DialogHost;

class LogPanel : public QWidget {
  Q_OBJECT
 public:
  LogPanel(WindowContext& context, DialogHost& dialogs, OperationLog& log,
           QWidget* parent = nullptr);
  void AddLine(const std::string& line);

 private:
  void FollowEnd();

  WindowContext& context_;
  OperationLog& log_;
  QPlainTextEdit* text_;
};

}  // namespace brantle::gui
