// The device's power side as the host and tests see it: idle-timer resets and
// the vibration motor.
#pragma once

namespace wce::shell {

// SystemIdleTimerReset calls since the device started.
int IdleResetCount();
// Whether the vibration motor (LED 1) runs.
bool VibrationOn();

}  // namespace wce::shell
