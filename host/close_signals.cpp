#include "close_signals.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "device/device.h"

namespace jphost {
namespace {

// SIGUSR1 only wakes the watcher when it is time to stop.
sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGUSR1);
  return set;
}

void Say(const char* text) {
  ssize_t ignored = write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

}  // namespace

CloseOnSignals::CloseOnSignals() {
  sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  watcher_ = std::thread(&CloseOnSignals::Watch, this);
}

CloseOnSignals::~CloseOnSignals() {
  stopping_ = true;
  pthread_kill(watcher_.native_handle(), SIGUSR1);
  watcher_.join();
}

void CloseOnSignals::Watch() {
  const sigset_t set = WatchedSignals();
  bool asked = false;
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0) continue;
    if (signal == SIGUSR1) {
      if (stopping_) return;
      continue;
    }
    if (asked) {
      Say("jostlepad: stopped without closing the program\n");
      _exit(128 + signal);
    }
    asked = true;
    Say("jostlepad: asking the program to close (again to stop at once)\n");
    wce::RequestClose();
  }
}

}  // namespace jphost
