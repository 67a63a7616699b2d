#pragma once
// The status area under the pages: status line, time-left line, progress bar, the
// flash type with its help icon, the phone status, Cancel and Disconnect, and the
// four developer buttons.

#include <QWidget>

#include "captions.h"
#include "ui/window_state.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace brantle::gui {

class StatusArea : public QWidget {
  Q_OBJECT
 public:
  StatusArea(Captions& captions, QWidget* parent = nullptr);

  void Render(const WindowState& state);
  void SetStatus(const QString& text);
  void SetEta(const QString& text);
  QProgressBar* Progress() const { return progress_; }

  QPushButton* CancelButton() const { return cancel_; }
  QPushButton* DisconnectButton() const { return disconnect_; }
  QPushButton* RetryButton() const { return retry_; }
  // Shows or hides the operation log panel (checkable).
  QPushButton* LogButton() const { return log_; }
  QToolButton* FlashHelp() const { return help_; }
  QPushButton* DeveloperButton(int i) const { return developer_[i]; }

 private:
  QLabel* status_;
  QLabel* eta_;
  QProgressBar* progress_;
  QWidget* flashPanel_;
  QLabel* flashType_;
  QToolButton* help_;
  QLabel* phoneStatus_;
  QPushButton* cancel_;
  QPushButton* disconnect_;
  QPushButton* retry_;
  QPushButton* log_;
  QPushButton* developer_[4];
};

// The named colours of the phone-status and flash-type lines.
QString StyleOf(TextColor color);

}  // namespace brantle::gui
