#include "app/AppState.h"

#include "app/MainWindow.h"
#include "app/ScreenLayout.h"

AppState appState;
LONG savedOrientation = -1;

namespace {

CRITICAL_SECTION loaderLock;
LONG loaderLockReady = 0;

}  // namespace

// Interlocked both ways: whoever sees 0 also sees everything the loader built before it.
bool IsLoading() { return InterlockedCompareExchange(&appState.loading, 0, 0) != 0; }

void SetLoading(LONG value) { InterlockedExchange(&appState.loading, value); }

// Made once for the process and never deleted: the loader may still be
// leaving it while the entry returns.
void InitializeLoaderLock() {
  if (InterlockedCompareExchange(&loaderLockReady, 1, 0) == 0) InitializeCriticalSection(&loaderLock);
}

void EnterLoaderLock() {
  InitializeLoaderLock();
  EnterCriticalSection(&loaderLock);
}

void LeaveLoaderLock() { LeaveCriticalSection(&loaderLock); }

LoadingLock::LoadingLock() : held(IsLoading()) {
  if (held) EnterLoaderLock();
}

LoadingLock::~LoadingLock() {
  if (held) LeaveLoaderLock();
}

void ResetAppState() {
  EnterLoaderLock();
  // Users before what they borrow: players, slots (bank entries), detectors
  // (the sensor), the splash (a resource picture).
  appState.previewPlayer.reset();
  appState.soundSlots.reset();
  appState.soundBank.reset();
  appState.motionZ.reset();
  appState.motionY.reset();
  appState.motionX.reset();
  appState.tiltSensor.reset();
  appState.keepAwake.reset();
  appState.transition.reset();
  appState.splash.reset();
  appState.skin.reset();
  appState.resources.reset();
  appState.settings.reset();
  ReleaseOffscreenBuffers();
  DeleteControls();
  if (appState.loaderStop != NULL) CloseHandle(appState.loaderStop);
  if (appState.loaderThread != NULL) CloseHandle(appState.loaderThread);
  appState = AppState();
  savedOrientation = -1;
  LeaveLoaderLock();
}
