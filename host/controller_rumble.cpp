#include "controller_rumble.h"

#include <algorithm>

namespace jphost {

bool ControllerRumble::MotorChanged(bool on) {
  if (on) starts_.fetch_add(1);
  motorOn_.store(on);
  return !wakePending_.exchange(true);
}

void ControllerRumble::Attach(int controller) {
  if (std::find(controllers_.begin(), controllers_.end(), controller) != controllers_.end()) return;
  controllers_.push_back(controller);
  if (rumbling_) rumble_(controller, kRumbleMs);
}

void ControllerRumble::Detach(int controller) { std::erase(controllers_, controller); }

uint64_t ControllerRumble::Apply(uint64_t nowMs) {
  // Clear the request first: a change from now on asks for another look.
  wakePending_.store(false);
  uint32_t starts = starts_.load();
  bool on = motorOn_.load();
  bool missedPulse = starts != startsSeen_;
  startsSeen_ = starts;
  if (on) {
    if (!rumbling_ || nowMs >= renewAt_) {
      RumbleAll(kRumbleMs);
      renewAt_ = nowMs + kRenewMs;
    }
    rumbling_ = true;
    return renewAt_;
  }
  if (rumbling_)
    RumbleAll(0);
  else if (missedPulse)
    RumbleAll(kMissedPulseMs);  // stops by itself
  rumbling_ = false;
  renewAt_ = 0;
  return 0;
}

void ControllerRumble::RumbleAll(uint32_t ms) {
  for (int controller : controllers_) rumble_(controller, ms);
}

}  // namespace jphost
