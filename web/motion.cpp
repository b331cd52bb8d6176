#include "motion.h"

#include <cmath>

namespace jpweb {
namespace {

constexpr double kStandardGravity = 9.80665;

int16_t ToUnits(double metresPerSecond2) {
  if (std::isnan(metresPerSecond2)) return 0;
  double units = std::round(metresPerSecond2 * 1000.0 / kStandardGravity);
  if (units > INT16_MAX) return INT16_MAX;
  if (units < INT16_MIN) return INT16_MIN;
  return static_cast<int16_t>(units);
}

}  // namespace

DeviceReading MotionToDevice(double x, double y, double z) { return {ToUnits(x), ToUnits(-y), ToUnits(-z)}; }

bool PageMotionSource::Read(int16_t& x, int16_t& y, int16_t& z) {
  if (HasSensor()) {
    // a reading torn by the next one is still a reading the phone could give
    x = static_cast<int16_t>(shared_.x.load());
    y = static_cast<int16_t>(shared_.y.load());
    z = static_cast<int16_t>(shared_.z.load());
    return true;
  }
  if (keys_) return keys_->Read(x, y, z);
  return false;
}

}  // namespace jpweb
