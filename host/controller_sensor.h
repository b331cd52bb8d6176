// The phone's accelerometer, felt through a game controller that has one.
// The window loop feeds the controller's readings in as SDL reports them;
// the device reads the latest one whenever the program polls its sensor.
//
// SDL gives metres per second squared in the controller's frame, held in
// front of you: +X to the right, +Y up out of its face, +Z toward you; at
// rest it reads +9.8 on Y. The program expects milli-g (1000 = 1 g) in the
// phone's frame: +X to the right, +Y toward the bottom of the screen, +Z into
// the screen, so that a phone lying face up reads z = -1000 and a jerk to the
// right gives +X (as the arrow keys do). The controller stands for a phone
// lying in the same way, its top away from you:
//   x =  X * 1000 / g      y =  Z * 1000 / g      z = -Y * 1000 / g
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "device/device.h"

namespace jphost {

class ControllerSensorSource : public wce::SensorSource {
 public:
  // Where the one notice about a lost controller goes; stderr when null.
  using Report = std::function<void(const std::string& line)>;
  explicit ControllerSensorSource(Report report = nullptr);

  static constexpr const char* kGoneMessage =
      "jostlepad: the game controller's accelerometer is gone; going on without motion";

  // On the window loop: a controller with an accelerometer is in use (again).
  void Attached();
  // On the window loop: the last controller with an accelerometer has gone.
  // Readings stop; the first time, one notice is reported.
  void Detached();
  // On the window loop: one accelerometer reading, SDL's m/s^2 in the
  // controller's frame. Ignored while no controller is attached.
  void Feed(float x, float y, float z);

  // The latest reading in the device's scale; false while no controller is
  // attached or none has reported yet.
  bool Read(int16_t& x, int16_t& y, int16_t& z) override;

  // SDL's controller reading to the phone's, clamped to 16 bits.
  static void ToDevice(float sdlX, float sdlY, float sdlZ, int16_t& x, int16_t& y, int16_t& z);

 private:
  Report report_;
  std::mutex mutex_;
  bool attached_ = false;
  bool haveReading_ = false;
  bool reportedGone_ = false;
  int16_t x_ = 0;
  int16_t y_ = 0;
  int16_t z_ = 0;
};

}  // namespace jphost
