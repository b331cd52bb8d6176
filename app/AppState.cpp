#include "app/AppState.h"

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
