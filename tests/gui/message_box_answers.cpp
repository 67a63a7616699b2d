#include "message_box_answers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace brantle::test {

BoxAnswer TypeKey(Qt::Key key) {
  return [key](QMessageBox* box) {
    QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, key);
  };
}

BoxAnswer ClickButton(QMessageBox::StandardButton button) {
  return [button](QMessageBox* box) { box->button(button)->click(); };
}

MessageBoxAnswers::MessageBoxAnswers(std::vector<BoxAnswer> answers)
    : answers_(answers.begin(), answers.end()) {
  timer_.setInterval(0);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    // A box answered stays open until its question returns.
    if (!box || box == answered_) return;
    answered_ = box;
    texts.push_back(box->text());
    if (answers_.empty()) return box->reject();
    const BoxAnswer answer = answers_.front();
    answers_.pop_front();
    answer(box);
  });
  timer_.start();
}

}  // namespace brantle::test
