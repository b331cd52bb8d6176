#include "app/AppState.h"

#include <atomic>

#include "app/MainWindow.h"

AppState appState;
LONG savedOrientation = -1;

bool IsLoading() { return std::atomic_ref<LONG>(appState.loading).load(std::memory_order_acquire) != 0; }

// Release: whoever sees 0 also sees everything the loader built before it.
void SetLoading(LONG value) { std::atomic_ref<LONG>(appState.loading).store(value, std::memory_order_release); }

std::recursive_mutex& LoaderLock() {
  static std::recursive_mutex lock;
  return lock;
}

std::unique_lock<std::recursive_mutex> LockWhileLoading() {
  if (!IsLoading()) return std::unique_lock<std::recursive_mutex>();
  return std::unique_lock<std::recursive_mutex>(LoaderLock());
}

void ResetAppState() {
  std::lock_guard<std::recursive_mutex> hold(LoaderLock());
  // Users before what they borrow: players, slots (bank entries), detectors (the sensor).
  appState.previewPlayer.reset();
  appState.soundSlots.reset();
  appState.soundBank.reset();
  appState.motionZ.reset();
  appState.motionY.reset();
  appState.motionX.reset();
  appState.tiltSensor.reset();
  appState.keepAwake.reset();
  appState.settings.reset();
  ReleaseOffscreenBuffers();
  appState = AppState();
  savedOrientation = -1;
}
