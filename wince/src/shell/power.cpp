// SystemIdleTimerReset and the notification LED driver, whose LED 1 is the
// vibration motor on these phones.
#include "shell/power.h"

#include <nled.h>
#include <windows.h>

#include <functional>
#include <mutex>
#include <utility>

#include "device/device.h"
#include "shell/shell_internal.h"

namespace wce {
namespace {

constexpr UINT kMotorLed = 1;

struct PowerState {
  std::mutex lock;
  int idleResets = 0;
  bool motorOn = false;
  std::function<void()> onIdleReset;
  std::function<void(bool)> onVibration;
};

PowerState& Power() {
  static PowerState state;
  return state;
}

// Callbacks run outside the lock: the host may call back into the device.
void Notify(const std::function<void()>& callback) {
  if (callback) callback();
}

void NotifyMotor(const std::function<void(bool)>& callback, bool on) {
  if (callback) callback(on);
}

// LED 1 follows OffOnBlink; a blinking motor counts as running.
void SetMotor(bool on) {
  PowerState& p = Power();
  std::function<void(bool)> callback;
  {
    std::lock_guard<std::mutex> guard(p.lock);
    if (p.motorOn == on) return;
    p.motorOn = on;
    callback = p.onVibration;
  }
  Trace(on ? "vibrate on" : "vibrate off");
  NotifyMotor(callback, on);
}

}  // namespace

void SetIdleResetCallback(std::function<void()> callback) {
  PowerState& p = Power();
  std::lock_guard<std::mutex> guard(p.lock);
  p.onIdleReset = std::move(callback);
}

void SetVibrationCallback(std::function<void(bool on)> callback) {
  PowerState& p = Power();
  std::lock_guard<std::mutex> guard(p.lock);
  p.onVibration = std::move(callback);
}

namespace shell {

int IdleResetCount() {
  PowerState& p = Power();
  std::lock_guard<std::mutex> guard(p.lock);
  return p.idleResets;
}

bool VibrationOn() {
  PowerState& p = Power();
  std::lock_guard<std::mutex> guard(p.lock);
  return p.motorOn;
}

void PowerReset() {
  // The host's callbacks belong to the host and stay; a motor left running
  // by the last device is stopped so nothing rumbles on.
  PowerState& p = Power();
  std::function<void(bool)> callback;
  bool wasOn = false;
  {
    std::lock_guard<std::mutex> guard(p.lock);
    p.idleResets = 0;
    wasOn = p.motorOn;
    p.motorOn = false;
    callback = p.onVibration;
  }
  if (wasOn) NotifyMotor(callback, false);
}

}  // namespace shell
}  // namespace wce

extern "C" {

void WINAPI SystemIdleTimerReset(void) {
  wce::PowerState& p = wce::Power();
  std::function<void()> callback;
  {
    std::lock_guard<std::mutex> guard(p.lock);
    p.idleResets++;
    callback = p.onIdleReset;
  }
  wce::Trace("idle-reset");
  wce::Notify(callback);
}

BOOL WINAPI NLedSetDevice(UINT nDeviceId, void* pInput) {
  if (nDeviceId != NLED_SETTINGS_INFO_ID || pInput == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto* settings = static_cast<const NLED_SETTINGS_INFO*>(pInput);
  if (settings->OffOnBlink < 0 || settings->OffOnBlink > 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The other LEDs light nothing a person could see here; they just accept.
  if (settings->LedNum == wce::kMotorLed) wce::SetMotor(settings->OffOnBlink != 0);
  return TRUE;
}

}  // extern "C"
