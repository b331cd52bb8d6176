// The device's trace: events the host records with their device time.
#include <mutex>
#include <string>

#include "device/device.h"

namespace wce {
namespace {

std::mutex& TraceLock() {
  static std::mutex* lock = new std::mutex;  // may be used while detached threads end
  return *lock;
}

std::function<void(const std::string&)>& Sink() {
  static auto* sink = new std::function<void(const std::string&)>;
  return *sink;
}

}  // namespace

void SetTraceSink(std::function<void(const std::string& line)> sink) {
  std::lock_guard<std::mutex> lock(TraceLock());
  Sink() = std::move(sink);
}

void Trace(const std::string& event) {
  // Time is read first: the clock has its own lock, and the sink must never
  // be called with it held.
  uint64_t now = ClockNowMs();
  std::lock_guard<std::mutex> lock(TraceLock());
  if (Sink()) Sink()(std::to_string(now) + " " + event);
}

}  // namespace wce
