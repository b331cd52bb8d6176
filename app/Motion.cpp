#include "app/Motion.h"

#include <memory>

#include "app/AppState.h"

namespace {

struct DetectorTimer {
  std::unique_ptr<MotionDetector> AppState::*detector;
  UINT_PTR timerId;
};

const DetectorTimer kDetectorTimers[] = {
    {&AppState::motionX, 1},
    {&AppState::motionY, 2},
    {&AppState::motionZ, 3},
};

const UINT kPollPeriod = 50;

}  // namespace

void StopMotion() {
  if (appState.soundSlots) appState.soundSlots->StopAll();
  for (const DetectorTimer& entry : kDetectorTimers) {
    MotionDetector* detector = (appState.*entry.detector).get();
    if (detector == nullptr) continue;
    KillTimer(appState.mainWindow, entry.timerId);
    detector->Stop();
  }
  // The motion switch, once it exists, is unchecked here with the caption "Off".
  if (appState.keepAwake) appState.keepAwake->Stop();
}

void StartMotion() {
  for (const DetectorTimer& entry : kDetectorTimers) {
    MotionDetector* detector = (appState.*entry.detector).get();
    if (detector == nullptr) continue;
    detector->Start();
    SetTimer(appState.mainWindow, entry.timerId, kPollPeriod, PollMotionDetector);
  }
}

void CALLBACK PollMotionDetector(HWND, UINT, UINT_PTR timerId, DWORD) {
  LoadingLock hold;
  for (const DetectorTimer& entry : kDetectorTimers) {
    MotionDetector* detector = (appState.*entry.detector).get();
    if (entry.timerId == timerId && detector != nullptr) detector->Poll();
  }
}
