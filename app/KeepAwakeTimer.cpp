#include "app/KeepAwakeTimer.h"

#include <regext.h>

#include <initializer_list>

namespace {

const WCHAR kPowerKey[] = L"\\System\\CurrentControlSet\\Control\\Power";
// Seconds; also the fallback when no usable battery timeout is set.
const DWORD kLongestTimeout = 1000;

// Zero when the value cannot be read: every test below then refuses it.
DWORD ReadTimeout(LPCWSTR name) {
  DWORD seconds = 0;
  if (FAILED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kPowerKey, name, &seconds))) return 0;
  return seconds;
}

}  // namespace

int ShortestPowerTimeout() {
  DWORD timeout = kLongestTimeout;
  DWORD battery = ReadTimeout(L"BattPowerOff");
  if (battery >= 1 && battery <= kLongestTimeout) timeout = battery;
  for (LPCWSTR name : {L"ExtPowerOff", L"ScreenPowerOff"}) {
    DWORD value = ReadTimeout(name);
    if (value > 0 && value <= timeout) timeout = value;
  }
  // 90 % of the seconds, in milliseconds: the reset comes before the timeout does.
  return static_cast<int>(timeout * 900);
}

KeepAwakeTimer::KeepAwakeTimer(HWND owner, UINT id, TIMERPROC proc)
    : window(owner), timerId(id), period(0), tickProc(proc), running(0) {}

void KeepAwakeTimer::Start() {
  if (running) return;
  period = static_cast<UINT>(ShortestPowerTimeout());
  running = 1;
  SetTimer(window, timerId, period, tickProc);
}

void KeepAwakeTimer::Stop() {
  if (!running) return;
  KillTimer(window, timerId);
  running = 0;
}

void KeepAwakeTimer::Tick() {
  if (running) SystemIdleTimerReset();
}
