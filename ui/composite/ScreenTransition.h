// The clock of an animated change of screen: progress runs from 0 to 1 over
// the duration on the ticks of a window timer. The tick that first reaches 1
// leaves the clock running so the final frame gets painted; the next one
// stops it. What a kind looks like is the owning window's business.
#pragma once

#include <windows.h>

class ScreenTransition {
 public:
  ScreenTransition();

  ScreenTransition& SetKind(int value);
  int Kind() const { return kind; }
  // A negative duration means the default 400 ms; 0 makes Start do nothing.
  ScreenTransition& SetDuration(int milliseconds);
  int Duration() const { return duration; }
  BOOL IsRunning() const { return running; }
  double Progress() const { return progress; }

  // From progress 0 now; a running transition restarts.
  void Start(HWND window, UINT_PTR timerId, UINT period, TIMERPROC procedure);
  void Tick(HWND window, UINT_PTR timerId);

 private:
  int kind;
  BOOL running;
  DWORD startTime;
  double progress;
  int duration;
};
