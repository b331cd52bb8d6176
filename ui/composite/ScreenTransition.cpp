#include "ui/composite/ScreenTransition.h"

namespace {

const int kDefaultDuration = 400;

}  // namespace

ScreenTransition::ScreenTransition()
    : kind(0), running(FALSE), startTime(0), progress(0.0), duration(kDefaultDuration) {}

ScreenTransition& ScreenTransition::SetKind(int value) {
  kind = value;
  return *this;
}

ScreenTransition& ScreenTransition::SetDuration(int milliseconds) {
  duration = milliseconds < 0 ? kDefaultDuration : milliseconds;
  return *this;
}

void ScreenTransition::Start(HWND window, UINT_PTR timerId, UINT period, TIMERPROC procedure) {
  if (kind == 0 || duration < 1) return;
  if (running) KillTimer(window, timerId);
  running = TRUE;
  progress = 0.0;
  startTime = GetTickCount();
  SetTimer(window, timerId, period, procedure);
}

void ScreenTransition::Tick(HWND window, UINT_PTR timerId) {
  if (progress == 1.0) {
    running = FALSE;
    KillTimer(window, timerId);
    return;
  }
  // Unsigned, so a tick count that wrapped meanwhile still gives the true time.
  DWORD elapsed = GetTickCount() - startTime;
  // A duration cleared while running ends the transition rather than dividing by 0.
  progress = duration < 1 ? 1.0 : static_cast<double>(elapsed) / static_cast<double>(duration);
  if (progress > 1.0) progress = 1.0;
}
