#include "close_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include "main_window.h"

namespace brantle::gui {
namespace {

int pipeEnds[2] = {-1, -1};

void OnSignal(int signo) {
  const char byte = static_cast<char>(signo);
  // Nothing to do if the pipe is full: a close is asked already.
  [[maybe_unused]] const ssize_t n = write(pipeEnds[0], &byte, 1);
}

}  // namespace

void CloseOnSignals(TKTZF& window) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) return;
  auto* notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte = 0;
    [[maybe_unused]] const ssize_t n = read(pipeEnds[1], &byte, 1);
    window.CloseFromSignal();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signo : {SIGTERM, SIGINT, SIGHUP}) sigaction(signo, &action, nullptr);
}

}  // namespace brantle::gui
