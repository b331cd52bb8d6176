// Keeps the device from sleeping or dimming while motion detection runs, by
// resetting the system idle timer a little before the shortest power timeout.
#pragma once

#include <windows.h>

// 90 % of the shortest positive power-off timeout of the device, in
// milliseconds; never more than 900 000.
int ShortestPowerTimeout();

class KeepAwakeTimer {
 public:
  KeepAwakeTimer(HWND window, UINT timerId, TIMERPROC tickProc);

  // Idempotent both ways; the period is read again at each start.
  void Start();
  void Stop();
  // Called by the timer procedure.
  void Tick();

  bool IsRunning() const { return running != 0; }
  UINT Period() const { return period; }

 private:
  HWND window;
  UINT timerId;
  UINT period;
  TIMERPROC tickProc;
  LONG running;
};
