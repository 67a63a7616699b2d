// brantle: the window a technician works in.

#include <QApplication>
#include <QTimer>
#include <clocale>
#include <cstdio>

#include "close_signals.h"
#include "display_guard.h"
#include "engine/ktze_loaders.h"
#include "files/simulator_process.h"
#include "files/stand_in_loaders.h"
#include "lang/collation.h"
#include "lang/lang_get.h"
#include "lang/languages.h"
#include "main_window.h"
#include "window_options.h"

int main(int argc, char** argv) {
  using namespace brantle;
  // Help, version and our own options need no display: answered before Qt looks for
  // one, so that a mistyped option is told as such on any machine.
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") return std::fputs(gui::WindowUsageText(), stdout), 0;
    if (a == "--version") return std::printf("brantle %s\n", LangGet("Win_Version").c_str()), 0;
  }
  gui::WindowOptions options;
  std::string error;
  if (!gui::ParseWindowOptions(gui::OwnArguments(argc, argv), options, error)) {
    std::fprintf(stderr, "brantle: %s\nsee brantle --help\n", error.c_str());
    return 2;
  }

  gui::DisplayGuard guard;
  QApplication app(argc, argv);
  guard.Release();
  // Qt takes every locale category from the environment; the program keeps the C
  // conventions for numbers and takes only the collation, which orders directories.
  std::setlocale(LC_ALL, "C");
  UseCollationOfEnvironment();

  CurrentLanguages().Load();
  StandInLoaders standIns;
  SimulatorProcess simulator;
  gui::WindowConfig config;
  config.ExtraPorts = options.Ports;
  config.TraceFile = options.Trace;
  config.StandIns = &standIns;
  if (!options.Simulate.empty()) {
    if (!standIns.Prepare(DefaultLoadersFolder(), options.Simulate, options.Model, error) ||
        !simulator.Start(options.Simulate, error, options.Model)) {
      std::fprintf(stderr, "brantle: %s\n", error.c_str());
      return 1;
    }
    config.ExtraPorts.push_back(simulator.PortPath());
    config.StartPort = simulator.PortPath();
    config.StartFamily = options.FamilyIndex();
  }

  gui::TKTZF window(config);
  SetMissingKeyReporter([&window](const std::string& message) { window.Frame().Error(message); });
  gui::CloseOnSignals(window);
  window.show();
  // Started from the event loop: a box at start (no port, a port that will not
  // open) and a close asked for while it is up then end the program as they should.
  QTimer::singleShot(0, &window, [&window] { window.Start(); });
  return app.exec();
}
