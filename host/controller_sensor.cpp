#include "controller_sensor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace jphost {
namespace {

constexpr float kStandardGravity = 9.80665f;  // SDL_STANDARD_GRAVITY

int16_t MilliG(float metresPerSecond2) {
  float milliG = metresPerSecond2 * 1000.0f / kStandardGravity;
  if (std::isnan(milliG)) return 0;
  return static_cast<int16_t>(std::lround(std::clamp(milliG, -32768.0f, 32767.0f)));
}

}  // namespace

ControllerSensorSource::ControllerSensorSource(Report report) : report_(std::move(report)) {}

void ControllerSensorSource::ToDevice(float sdlX, float sdlY, float sdlZ, int16_t& x, int16_t& y, int16_t& z) {
  x = MilliG(sdlX);
  y = MilliG(sdlZ);
  z = MilliG(-sdlY);
}

void ControllerSensorSource::Attached() {
  std::lock_guard<std::mutex> lock(mutex_);
  attached_ = true;
}

void ControllerSensorSource::Detached() {
  bool notify = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!attached_) return;
    attached_ = false;
    haveReading_ = false;
    notify = !reportedGone_;
    reportedGone_ = true;
  }
  if (!notify) return;
  if (report_)
    report_(kGoneMessage);
  else
    std::fprintf(stderr, "%s\n", kGoneMessage);
}

void ControllerSensorSource::Feed(float x, float y, float z) {
  int16_t dx, dy, dz;
  ToDevice(x, y, z, dx, dy, dz);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!attached_) return;
  x_ = dx;
  y_ = dy;
  z_ = dz;
  haveReading_ = true;
}

bool ControllerSensorSource::Read(int16_t& x, int16_t& y, int16_t& z) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!attached_ || !haveReading_) return false;
  x = x_;
  y = y_;
  z = z_;
  return true;
}

}  // namespace jphost
