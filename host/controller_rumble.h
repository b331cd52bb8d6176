// The phone's vibration motor, felt through game controllers in window mode.
// The device's thread only records the motor's state and asks for the window
// loop to be woken; the loop, which owns SDL, starts and stops the rumble.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace jphost {

class ControllerRumble {
 public:
  // A rumble of `ms` on one controller, cancelling the one before; 0 stops it.
  using RumbleFunction = std::function<void(int controller, uint32_t ms)>;

  // Each rumble lasts this long, so a lost stop cannot leave it on for good;
  // a motor that stays on renews it before it runs out.
  static constexpr uint32_t kRumbleMs = 5000;
  static constexpr uint32_t kRenewMs = 4000;
  // A pulse that began and ended before the loop looked still buzzes this long.
  static constexpr uint32_t kMissedPulseMs = 60;

  explicit ControllerRumble(RumbleFunction rumble) : rumble_(std::move(rumble)) {}

  // From any thread: the motor turned on or off. True when the loop must be
  // woken to apply it (no earlier change is waiting for it).
  bool MotorChanged(bool on);

  // On the loop: a controller was opened, or has gone. One opened while the
  // motor runs joins in at once.
  void Attach(int controller);
  void Detach(int controller);

  // On the loop: brings every controller to the motor's state. Returns the
  // time (same clock as `nowMs`) to call again for a renewal, 0 for none.
  uint64_t Apply(uint64_t nowMs);

 private:
  void RumbleAll(uint32_t ms);

  RumbleFunction rumble_;
  std::atomic<bool> motorOn_{false};
  std::atomic<uint32_t> starts_{0};  // the motor's off-to-on changes so far
  std::atomic<bool> wakePending_{false};
  // The loop's own state.
  std::vector<int> controllers_;
  bool rumbling_ = false;
  uint32_t startsSeen_ = 0;
  uint64_t renewAt_ = 0;
};

}  // namespace jphost
