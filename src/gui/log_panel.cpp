#include "log_panel.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "dialog_host.h"
#include "page_parts.h"

namespace brantle::gui {

LogPanel::LogPanel(WindowContext& context, DialogHost& dialogs, OperationLog& log, QWidget* parent)
    : QWidget(parent), context_(context), log_(log) {
  setObjectName("P_Log");
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("E_Log");
  text_->setReadOnly(true);
  LeftToRight(text_);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Lines come in during operations: the panel takes the focus only when clicked.
  text_->setFocusPolicy(Qt::ClickFocus);
  for (const std::string& line : log.Session())
    text_->appendPlainText(QString::fromStdString(line));
  FollowEnd();

  QPushButton* save = Button(this, "B_SaveLog", "Win_Save_Log", context.captions);
  QPushButton* copy = Button(this, "B_CopyLog", "Win_Copy_Log", context.captions);
  QPushButton* folder = Button(this, "B_OpenLogFolder", "Win_Open_Log_Folder", context.captions);
  folder->setEnabled(!log.Path().empty());
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(text_, 0, 0, 4, 1);
  grid->addWidget(save, 0, 1);
  grid->addWidget(copy, 1, 1);
  grid->addWidget(folder, 2, 1);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(0, 1);

  connect(save, &QPushButton::clicked, this, [this] {
    OperationFrame& frame = context_.frame;
    if (frame.SelectSaveFile("log", "FF_LOG", "FF_LOGW_Caption", "SaveLog", true))
      log_.SaveSession(frame, frame.FileName());
  });
  connect(copy, &QPushButton::clicked, this,
          [this] { QGuiApplication::clipboard()->setText(text_->toPlainText()); });
  connect(folder, &QPushButton::clicked, this, [this, &dialogs] {
    const std::string path = log_.Path();
    dialogs.OpenFolder(path.substr(0, path.rfind('/')));
  });
}

void LogPanel::AddLine(const std::string& line) {
  QScrollBar* bar = text_->verticalScrollBar();
  const bool atEnd = bar->value() == bar->maximum();
  text_->appendPlainText(QString::fromStdString(line));
  if (atEnd) FollowEnd();
}

void LogPanel::FollowEnd() {
  // The cursor at the start of the newest line: the panel scrolls down to it and
  // shows the line from its time, however wide it is.
  text_->moveCursor(QTextCursor::End);
  text_->moveCursor(QTextCursor::StartOfBlock);
}

}  // namespace brantle::gui
