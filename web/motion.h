// The phone's accelerometer in the page: DeviceMotion readings, written into
// shared memory by the page's thread, read by the program's sensor polls.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "device/device.h"
#include "key_jerk_source.h"

namespace jpweb {

struct DeviceReading {
  int16_t x = 0, y = 0, z = 0;
};

// accelerationIncludingGravity in m/s^2 (the browser's axes: x right, y up
// the screen, z out of it) to the device's: 1000 = 1 g, X right, Y toward the
// screen's bottom, Z into the screen. Values past the 16-bit range are held
// at its ends; a missing axis (not a number) reads as 0.
DeviceReading MotionToDevice(double x, double y, double z);

// Written by the page, one reading at a time: the count last, so a reader
// that sees a count sees its reading.
struct SharedMotion {
  std::atomic<int32_t> x{0}, y{0}, z{0};
  std::atomic<int32_t> count{0};  // readings written; 0: no sensor has spoken
};

// The page's readings once a motion sensor has delivered one; until then (a
// desktop browser) the arrows and space jerk the phone through `keys`.
class PageMotionSource : public wce::SensorSource {
 public:
  PageMotionSource(const SharedMotion& shared, std::shared_ptr<jphost::KeyJerkSource> keys)
      : shared_(shared), keys_(std::move(keys)) {}
  bool Read(int16_t& x, int16_t& y, int16_t& z) override;
  bool HasSensor() const { return shared_.count.load() != 0; }

 private:
  const SharedMotion& shared_;
  std::shared_ptr<jphost::KeyJerkSource> keys_;
};

}  // namespace jpweb
