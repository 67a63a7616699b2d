#pragma once
// Answers the next modal window of a type, once it is up, as a person would: for the
// tests where the real Qt message box or file dialog runs. The answer only records and
// clicks; the test checks afterwards.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace brantle::test {

template <typename Dialog>
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(Dialog*)> answer) : answer_(std::move(answer)) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      timer_.stop();
      answered = true;
      answer_(dialog);
    });
    timer_.start();
  }
  bool answered = false;

 private:
  std::function<void(Dialog*)> answer_;
  QTimer timer_;
};

}  // namespace brantle::test
