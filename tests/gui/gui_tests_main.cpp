// Runs every window test class; the offscreen platform is set by ctest.

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

#include "gui_test_registry.h"

namespace {

// The offscreen platform says on every window that it cannot do this; nothing else
// is dropped.
QtMessageHandler standard = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (!text.contains("propagateSizeHints")) standard(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
  standard = qInstallMessageHandler(QuietHandler);
  QApplication app(argc, argv);
  int failed = 0;
  for (const auto& make : brantle::test::GuiTests()) {
    std::unique_ptr<QObject> test = make();
    failed += QTest::qExec(test.get(), argc, argv);
  }
  return failed == 0 ? 0 : 1;
}
