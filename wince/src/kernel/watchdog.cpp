// The clock's watchdog: on the virtual clock a thread that never waits stops
// time for everyone, and a run would hang without a word. This thread looks
// every so often, in real time (that is the point: it watches for virtual
// time standing still), and tells who is holding time.
#include <cxxabi.h>
#include <dlfcn.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "device/device.h"
#include "kernel/clock.h"

namespace wce {
namespace {

using std::chrono::milliseconds;

struct Watchdog {
  std::mutex mutex;
  std::condition_variable wake;
  StallHandler handler;
  milliseconds limit{10000};
  bool stopping = false;
  uint64_t generation = 0;  // a watcher of an earlier generation leaves
  std::thread thread;
};

Watchdog& Dog() {
  static auto* dog = new Watchdog;  // may still look while the process exits
  return *dog;
}

// The start routine's symbol when the executable exports it, else where it
// lies in its file, so addr2line can tell.
std::string RoutineName(const void* start) {
  Dl_info info{};
  if (!dladdr(start, &info)) return std::string();
  if (info.dli_sname) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> plain(abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status),
                                                      &std::free);
    return status == 0 && plain ? plain.get() : info.dli_sname;
  }
  std::string file = info.dli_fname ? info.dli_fname : "";
  file = file.substr(file.find_last_of('/') + 1);
  char offset[32];
  std::snprintf(offset, sizeof offset, "+0x%zx",
                static_cast<size_t>(static_cast<const char*>(start) - static_cast<const char*>(info.dli_fbase)));
  return file + offset;
}

std::string Describe(const StalledThread& t, milliseconds limit) {
  std::string what = "thread " + std::to_string(t.id);
  std::string name = !t.label.empty() ? t.label : t.start ? RoutineName(t.start) : std::string();
  if (!name.empty()) what += " (" + name + ")";
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%g", static_cast<double>(limit.count()) / 1000.0);
  return what + " has not waited for " + seconds + " s of real time";
}

void Watch(Watchdog& d, uint64_t generation) {
  std::unique_lock<std::mutex> lock(d.mutex);
  while (!d.stopping && d.generation == generation) {
    const milliseconds limit = d.limit;
    d.wake.wait_for(lock, std::clamp(limit / 5, milliseconds(10), milliseconds(500)));
    if (d.stopping || d.generation != generation) break;
    lock.unlock();
    StalledThread stalled;
    bool found = ClockFindStalledThread(limit, stalled);
    lock.lock();
    if (found && d.handler) {
      StallHandler handler = d.handler;
      lock.unlock();
      handler(Describe(stalled, limit));
      lock.lock();
    }
  }
}

}  // namespace

void SetStallHandler(StallHandler handler) {
  Watchdog& d = Dog();
  std::thread old;
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    d.handler = std::move(handler);
    if (d.handler && !d.thread.joinable()) {
      d.stopping = false;
      d.thread = std::thread(Watch, std::ref(d), ++d.generation);
      return;
    }
    if (d.handler) return;
    d.stopping = true;
    old = std::move(d.thread);
  }
  d.wake.notify_all();
  if (!old.joinable()) return;
  if (old.get_id() == std::this_thread::get_id())
    old.detach();  // from inside the handler
  else
    old.join();
}

void SetStallLimit(milliseconds limit) {
  Watchdog& d = Dog();
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    d.limit = std::max(limit, milliseconds(1));
  }
  d.wake.notify_all();
}

milliseconds GetStallLimit() {
  std::lock_guard<std::mutex> lock(Dog().mutex);
  return Dog().limit;
}

}  // namespace wce
