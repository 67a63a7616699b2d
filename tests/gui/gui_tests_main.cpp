// Runs every window test class; the offscreen platform is set by ctest. Qt keeps its
// own settings (the file dialog's history) in a folder of the run, never in the
// person's own configuration.

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui_test_registry.h"
#include "support/temp_dir.h"

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
  // Qt's own settings (a file dialog's history) and the window's operation log go
  // into folders of the run's own, not the person's.
  const brantle::test::TempDir config, state;
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  setenv("XDG_STATE_HOME", state.path().c_str(), 1);
  QApplication app(argc, argv);
  // Test function names on the command line run in the classes that have them.
  QStringList options, names;
  for (int i = 0; i < argc; ++i) {
    const bool name = i > 0 && argv[i][0] != '-' && std::string(argv[i - 1]) != "-o";
    (name ? names : options) << QString::fromLocal8Bit(argv[i]);
  }
  int failed = 0;
  for (const auto& make : brantle::test::GuiTests()) {
    std::unique_ptr<QObject> test = make();
    QStringList args = options;
    for (const QString& name : names)
      if (test->metaObject()->indexOfMethod(qPrintable(name + "()")) >= 0) args << name;
    if (!names.isEmpty() && args.size() == options.size()) continue;
    failed += QTest::qExec(test.get(), args);
  }
  return failed == 0 ? 0 : 1;
}
