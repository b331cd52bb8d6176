// The device's one accelerometer source; none means a phone without the library.
#include <mutex>
#include <utility>

#include "device/device.h"

namespace wce {

namespace {

std::mutex& SourceLock() {
  static std::mutex lock;
  return lock;
}

std::shared_ptr<SensorSource>& Source() {
  static std::shared_ptr<SensorSource> source;
  return source;
}

}  // namespace

void SetSensorSource(std::shared_ptr<SensorSource> source) {
  std::shared_ptr<SensorSource> old;
  {
    std::lock_guard<std::mutex> lock(SourceLock());
    old = std::exchange(Source(), std::move(source));
  }
  // `old` dies here, outside the lock, in case its destructor is slow.
}

std::shared_ptr<SensorSource> GetSensorSource() {
  std::lock_guard<std::mutex> lock(SourceLock());
  return Source();
}

}  // namespace wce
