// Ctrl+C and TERM ask the program to close, as the system would, so it saves
// its settings on the way out; a second one ends the process at once.
#pragma once

#include <pthread.h>

#include <atomic>
#include <thread>

namespace jphost {

class CloseOnSignals {
 public:
  // Blocks SIGINT and SIGTERM in this thread and every thread it starts from
  // now on (make it before any other thread), and takes them on a thread of
  // its own, where calling into the device is safe.
  CloseOnSignals();
  ~CloseOnSignals();
  CloseOnSignals(const CloseOnSignals&) = delete;
  CloseOnSignals& operator=(const CloseOnSignals&) = delete;

 private:
  void Watch();

  std::atomic<bool> stopping_{false};
  std::thread watcher_;
};

}  // namespace jphost
