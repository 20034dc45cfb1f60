// SIGINT (Ctrl+C), SIGTERM and SIGHUP (a closed terminal, a logout) ask the
// game to close as its close box does: the backends' message pumps turn the
// signal into WM_CLOSE, so the game finishes what it is writing, saves its
// system file and ends well. Each handler is used once: a second signal of
// the same kind ends the process at once.
#include "platform/common/signals.h"

#include <signal.h>

#include <csignal>

#include "platform/system.h"

namespace platform {
namespace {

volatile std::sig_atomic_t g_signal = 0;

void OnTerminationSignal(int) { g_signal = 1; }

}  // namespace

void CloseOnTerminationSignals() {
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

bool TakeTerminationSignal() {
  if (!g_signal) return false;
  g_signal = 0;
  return true;
}

bool TerminationSignalPending() { return g_signal != 0; }

}  // namespace platform
