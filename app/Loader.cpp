#include "app/Loader.h"

#include <new>

#include "app/AppState.h"
#include "app/ScreenLayout.h"
#include "app/Screens.h"
#include "app/SettingsTransfer.h"
#include "app/SlotControls.h"

namespace {

const DWORD kMinimumSplashMs = 2000;
const DWORD kStepPauseMs = 10;
const DWORD kSensorKind = 1;

void OpenTiltSensor() {
  appState.tiltSensor.reset(new (std::nothrow) TiltSensor());
  // Without the library the sensor reads zero and the detectors never fire.
  if (appState.tiltSensor) appState.tiltSensor->Open(kSensorKind);
}

void LoadSettings() {
  appState.settings.reset(new (std::nothrow) Settings());
  if (appState.settings) appState.settings->Load();
}

void LoadSkin() {
  appState.skin.reset(new (std::nothrow) Skin());
  if (!appState.skin || !appState.settings) return;
  appState.skin->Load(appState.settings->skinFolder, appState.settings->skinDescriptionPath);
}

void ScanSoundBank() {
  appState.soundBank.reset(new (std::nothrow) SoundBank());
  if (!appState.soundBank || !appState.settings) return;
  appState.soundBank->Scan(appState.settings->soundsFolder);
  appState.soundBank->Sort(SoundBank::PackNameAscending);
}

void FillSoundSlots() {
  appState.soundSlots.reset(new (std::nothrow) SoundSlots());
  if (!appState.settings) return;
  for (int slot = 1; slot <= Settings::kSlotCount; ++slot) {
    AssignSlotByFileName(slot, appState.settings->slotName[slot - 1]);
  }
}

void CreateMotionDetectors() {
  TiltSensor* sensor = appState.tiltSensor.get();
  if (sensor == NULL) return;
  HWND window = appState.mainWindow;
  appState.motionX.reset(new (std::nothrow) MotionDetectorX(window, *sensor, WM_MOTION));
  appState.motionY.reset(new (std::nothrow) MotionDetectorY(window, *sensor, WM_MOTION));
  appState.motionZ.reset(new (std::nothrow) MotionDetectorZ(window, *sensor, WM_MOTION));
}

void BuildControlTree() { BuildScreen(); }

void ApplyControlData() {
  for (int slot = 1; slot <= SoundSlots::kSlotCount; ++slot) RefreshSlotControls(slot);
  FillSensitivitySelectors();
  FillSoundList();
}

void ApplyLoadedSettings() {
  ApplySettings();
  appState.settingsApplied = true;
}

void ShowHomePage() {
  // The main panel is still hidden: nothing repaints, and the Home tab is
  // checked explicitly.
  ShowMainPanel(false);
  ShowScreen(TabAreaScreen, false);
  ShowTab(HomePage, false, false);
}

struct LoaderStep {
  LPCWSTR text;  // the splash screen's status line
  int percent;
  void (*work)();  // NULL: nothing to do (yet)
};

const LoaderStep kLoaderSteps[] = {
    {L"Loading...", 0, NULL},
    {L"Init HTC Sensor...", 10, OpenTiltSensor},
    {L"Loading Settings...", 20, LoadSettings},
    {L"Loading Skin...", 30, LoadSkin},
    {L"Loading SoundBank...", 40, ScanSoundBank},
    {L"Init SoundSlots...", 50, FillSoundSlots},
    {L"Init SoundMotion...", 60, CreateMotionDetectors},
    {L"Init TouchUI...", 70, BuildControlTree},
    {L"Apply TouchUI Data...", 80, ApplyControlData},
    {L"Apply Settings...", 90, ApplyLoadedSettings},
    {L"Init Screen...", 100, ShowHomePage},
};

// The splash was made with the window, before this thread started.
void AnnounceStep(const LoaderStep& step) {
  if (appState.splash) {
    appState.splash->SetText(step.text);
    appState.splash->SetPercent(step.percent);
  }
  InvalidateRect(appState.mainWindow, NULL, TRUE);
}

// False once the window is gone: the process is ending, nothing more to build.
bool RunStep(const LoaderStep& step) {
  EnterLoaderLock();
  bool running = !appState.windowDestroyed;
  if (running && step.work != NULL) step.work();
  LeaveLoaderLock();
  return running;
}

// Keeps the splash up for what is left of its minimum; a window closed
// meanwhile ends the wait at once, so the process need not sit it out.
void HoldSplash(DWORD remaining) {
  if (appState.loaderStop != NULL) {
    WaitForSingleObject(appState.loaderStop, remaining);
  } else {
    Sleep(remaining);
  }
}

}  // namespace

DWORD WINAPI LoaderThread(LPVOID) {
  DWORD start = GetTickCount();
  for (const LoaderStep& step : kLoaderSteps) {
    AnnounceStep(step);
    if (!RunStep(step)) return 1;
    Sleep(kStepPauseMs);
  }
  // Unsigned, so a tick count that wrapped meanwhile still gives the true time.
  DWORD elapsed = GetTickCount() - start;
  if (elapsed < kMinimumSplashMs) HoldSplash(kMinimumSplashMs - elapsed);
  SetLoading(0);
  InvalidateRect(appState.mainWindow, NULL, TRUE);
  return 1;
}
