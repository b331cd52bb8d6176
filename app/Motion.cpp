#include "app/Motion.h"

#include <memory>

#include "app/AppState.h"
#include "ui/core/CheckBox.h"

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
  StopDetectors();
  if (appState.motionToggle != nullptr) appState.motionToggle->SetChecked(FALSE).SetCaption(L"Off");
  if (appState.keepAwake) appState.keepAwake->Stop();
}

void StopDetectors() {
  for (const DetectorTimer& entry : kDetectorTimers) {
    MotionDetector* detector = (appState.*entry.detector).get();
    if (detector == nullptr) continue;
    KillTimer(appState.mainWindow, entry.timerId);
    detector->Stop();
  }
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
