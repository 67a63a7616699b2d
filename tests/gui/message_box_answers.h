#pragma once
// The window's real message boxes answered as a person would: each box that comes
// up gets the next answer of the list, a key typed (sent to the widget that has the
// focus in the box, as the keyboard's would be) or a button clicked. A box beyond
// the list is closed unanswered, so that a test sees it rather than waits on it (one
// object at a time, then). The boxes' texts are kept; nothing is asserted while a box
// is open.

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

namespace brantle::test {

using BoxAnswer = std::function<void(QMessageBox*)>;
BoxAnswer TypeKey(Qt::Key key);
BoxAnswer ClickButton(QMessageBox::StandardButton button);

class MessageBoxAnswers {
 public:
  explicit MessageBoxAnswers(std::vector<BoxAnswer> answers);
  std::vector<QString> texts;  // of every box that came up, in order

 private:
  std::deque<BoxAnswer> answers_;
  QPointer<QMessageBox> answered_;  // the box answered last, while it still exists
  QTimer timer_;
};

}  // namespace brantle::test
