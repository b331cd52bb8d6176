#include "app/Motion.h"

#include <memory>

#include "app/AppState.h"
#include "app/ControlIds.h"
#include "ui/core/CheckBox.h"

namespace {

struct DetectorTimer {
  std::unique_ptr<MotionDetector> AppState::*detector;
  UINT_PTR timerId;
};

const DetectorTimer kDetectorTimers[] = {
    {&AppState::motionX, MotionXTimerId},
    {&AppState::motionY, MotionYTimerId},
    {&AppState::motionZ, MotionZTimerId},
};

const UINT kPollPeriod = 50;

}  // namespace

void StopMotion() {
  if (appState.soundSlots) appState.soundSlots->StopAll();
  StopDetectors();
  if (appState.motionToggle != NULL) {
    appState.motionToggle->SetChecked(FALSE);
    ShowCheckState(appState.motionToggle);
  }
  if (appState.keepAwake) appState.keepAwake->Stop();
}

void StopDetectors() {
  for (const DetectorTimer& entry : kDetectorTimers) {
    MotionDetector* detector = (appState.*entry.detector).get();
    if (detector == NULL) continue;
    KillTimer(appState.mainWindow, entry.timerId);
    detector->Stop();
  }
}

void StartMotion() {
  for (const DetectorTimer& entry : kDetectorTimers) {
    MotionDetector* detector = (appState.*entry.detector).get();
    if (detector == NULL) continue;
    detector->Start();
    SetTimer(appState.mainWindow, entry.timerId, kPollPeriod, PollMotionDetector);
  }
}

void CALLBACK PollMotionDetector(HWND, UINT, UINT_PTR timerId, DWORD) {
  LoadingLock hold;
  for (const DetectorTimer& entry : kDetectorTimers) {
    MotionDetector* detector = (appState.*entry.detector).get();
    if (entry.timerId == timerId && detector != NULL) detector->Poll();
  }
}

void ShowCheckState(CheckBox* box) {
  if (box != NULL) box->SetCaption(box->IsChecked() ? L"On" : L"Off");
}
