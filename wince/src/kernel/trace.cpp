// The device's trace: events the host records with their device time.
#include <chrono>
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

bool latencyStamps = false;  // guarded by TraceLock()

}  // namespace

void SetLatencyStamps(bool on) {
  std::lock_guard<std::mutex> lock(TraceLock());
  latencyStamps = on;
}

void LatencyStamp(const char* step) {
  {
    std::lock_guard<std::mutex> lock(TraceLock());
    if (!latencyStamps) return;
  }
  auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch());
  Trace(std::string("latency ") + step + " " + std::to_string(us.count()));
}

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
