// The accelerometer of a desktop: the phone lies at rest, and a key press
// jerks it once along one axis. Each jerk is a short excursion that rises,
// peaks above what the least sensitive setting needs, and falls back to rest,
// held 50 ms a step so that a detector polling every 50 ms sees every step.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "device/device.h"

namespace jphost {

enum class Jerk { Left, Right, Up, Down, Space };

class KeyJerkSource : public wce::SensorSource {
 public:
  using Clock = std::function<uint64_t()>;  // device milliseconds
  explicit KeyJerkSource(Clock now = wce::ClockNowMs);

  // Starts an excursion now, or right after the ones still pending on that
  // axis, so that quick presses each fire once instead of merging.
  void Press(Jerk jerk);
  bool Read(int16_t& x, int16_t& y, int16_t& z) override;

  static constexpr int16_t kRestZ = -1000;
  static constexpr uint64_t kStepMs = 50;
  // Magnitudes, one per step. Peak and fall are held 100 ms each, so a
  // detector whose polls come up to 90 ms apart (a busy desktop) still sees
  // the peak and then a falling sample above its start level.
  static constexpr std::array<int16_t, 5> kProfile = {500, 1200, 1200, 700, 700};
  // Queued excursions keep two resting steps apart, so a detector sees the
  // axis at rest (and re-arms) even when one of its polls comes late.
  static constexpr uint64_t kSpacingMs = kStepMs * (kProfile.size() + 2);

 private:
  struct Excursion {
    uint64_t start;
    int sign;
  };
  enum Axis { kX, kY, kZ, kAxes };
  // Offset from rest of one axis at `now`; drops excursions that are over.
  int Offset(std::deque<Excursion>& pending, uint64_t now);

  Clock now_;
  std::mutex mutex_;
  std::array<std::deque<Excursion>, kAxes> pending_;
  std::array<uint64_t, kAxes> nextStart_ = {};  // earliest start of the next excursion
};

}  // namespace jphost
