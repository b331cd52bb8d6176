#include "app/MainWindow.h"

#include <new>

#include "app/AppState.h"
#include "app/DisplayHelpers.h"
#include "app/KeepAwakeTimer.h"
#include "app/Motion.h"
#include "app/SettingsTransfer.h"

namespace {

const UINT_PTR kKeepAwakeTimerId = 6;

struct OffscreenBuffer {
  HDC AppState::*dc;
  HBITMAP AppState::*bitmap;
};

const OffscreenBuffer kOffscreenBuffers[] = {
    {&AppState::backDC, &AppState::backBitmap},
    {&AppState::fromDC, &AppState::fromBitmap},
    {&AppState::toDC, &AppState::toBitmap},
};

// Indexed by motion code: Y jerks play the top and bottom cells, X jerks the
// left and right ones, a Z jerk the centre.
const int kSlotOfMotionCode[] = {0, 1, 3, 4, 2, 5};

LRESULT OnCreate(HWND window) {
  SetLoading(1);
  // The splash screen is made here, with the splash picture of the resources.
  // The window handle is not stored yet: the timer takes it from the message.
  appState.keepAwake.reset(new (std::nothrow) KeepAwakeTimer(window, kKeepAwakeTimerId, KeepAwakeTick));
  // The transition clock is made here, set to kind 1.
  return 0;
}

LRESULT OnDestroy() {
  {
    std::unique_lock<std::recursive_mutex> hold = LockWhileLoading();
    appState.previewPlayer.reset();
    if (appState.tiltSensor) appState.tiltSensor->Close();
    appState.soundBank.reset();
    appState.soundSlots.reset();
    // The skin and the resource images release their bitmaps here.
    ReleaseOffscreenBuffers();
    appState.windowDestroyed = true;
  }
  PostQuitMessage(0);
  return 0;
}

LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam) {
  {
    std::unique_lock<std::recursive_mutex> hold = LockWhileLoading();
    CollectSettings();
    if (appState.settings) appState.settings->Save();
  }
  return DefWindowProcW(window, WM_CLOSE, wParam, lParam);
}

LRESULT OnActivate(HWND window, WPARAM state) {
  if (state == WA_ACTIVE || state == WA_CLICKACTIVE) {
    SetFullScreen(window, true);
    // The program always runs unrotated; the user's orientation comes back on leaving.
    savedOrientation = GetDisplayOrientation();
    SetDisplayOrientation(DMDO_0);
    return 0;
  }
  {
    std::unique_lock<std::recursive_mutex> hold = LockWhileLoading();
    if (appState.previewPlayer) appState.previewPlayer->Stop();
    StopMotion();
  }
  SetFullScreen(window, false);
  // -1 (never activated, or the query failed) is refused and changes nothing.
  SetDisplayOrientation(savedOrientation);
  return 0;
}

// The splash screen, once it exists, is composed into the back buffer here
// (Compose with the client rectangle and splashAlpha).
void ComposeSplash() {}

// The control tree, once it exists, paints its visible controls into the back
// buffer here (PaintIfVisible on rootPanel).
void PaintControls() {}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC target = BeginPaint(window, &paint);
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  FillRect(appState.backDC, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (IsLoading()) {
    ComposeSplash();
  } else if (!DrawTransitionFrame(client)) {
    PaintControls();
  }
  // The whole screen, whatever the client area: painting covers everything.
  BitBlt(target, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), appState.backDC, 0, 0,
         SRCCOPY);
  EndPaint(window, &paint);
  return 0;
}

LRESULT OnPen() {
  // The root panel, once it exists, takes the pen here: PenDown, PenUp or
  // PenMove with (window, 0, LOWORD(lParam), HIWORD(lParam)).
  return 0;
}

LRESULT OnMotion(HWND window, WPARAM code, LPARAM lParam) {
  {
    std::unique_lock<std::recursive_mutex> hold = LockWhileLoading();
    if (!appState.soundSlots) return 0;
    int slot = SlotForMotionCode(code);
    if (slot == 0) return DefWindowProcW(window, WM_MOTION, code, lParam);
    appState.soundSlots->Play(slot);
  }
  // The pulse toggle, once it exists and is checked, adds a 25 ms vibration
  // here, outside the lock: it holds this thread for those 25 ms.
  return 0;
}

}  // namespace

int SlotForMotionCode(WPARAM code) {
  if (code >= sizeof(kSlotOfMotionCode) / sizeof(kSlotOfMotionCode[0])) return 0;
  return kSlotOfMotionCode[code];
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window);
    case WM_DESTROY:
      return OnDestroy();
    case WM_SIZE:
      return 0;
    case WM_ACTIVATE:
      return OnActivate(window, wParam);
    case WM_PAINT:
      return OnPaint(window);
    case WM_CLOSE:
      return OnClose(window, wParam, lParam);
    case WM_ERASEBKGND:
      return 0;  // painting covers the whole window
    case WM_KEYDOWN:
      return 0;  // hardware keys have no function and are not passed on
    case WM_COMMAND:
      // The command table of the screens takes these; no control exists yet to send one.
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return OnPen();
    case WM_MOTION:
      return OnMotion(window, wParam, lParam);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void CreateOffscreenBuffers(HWND window) {
  HDC reference = GetDC(window);
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  for (const OffscreenBuffer& buffer : kOffscreenBuffers) {
    HDC& dc = appState.*buffer.dc;
    HBITMAP& bitmap = appState.*buffer.bitmap;
    // The old DC goes first, so that its bitmap is no longer selected anywhere.
    if (dc != NULL) DeleteDC(dc);
    dc = CreateCompatibleDC(reference);
    if (bitmap != NULL) DeleteObject(bitmap);
    bitmap = CreateCompatibleBitmap(reference, width, height);
    SelectObject(dc, bitmap);
  }
  if (reference != NULL) ReleaseDC(window, reference);
}

void ReleaseOffscreenBuffers() {
  for (const OffscreenBuffer& buffer : kOffscreenBuffers) {
    HDC& dc = appState.*buffer.dc;
    HBITMAP& bitmap = appState.*buffer.bitmap;
    if (dc != NULL) DeleteDC(dc);
    if (bitmap != NULL) DeleteObject(bitmap);
    dc = NULL;
    bitmap = NULL;
  }
}

bool DrawTransitionFrame([[maybe_unused]] const RECT& client) {
  if (appState.transition == nullptr) return false;
  // While the clock runs: DrawTransitionCopies(backDC, fromDC, toDC, Kind(),
  // Progress(), client width, client height).
  return false;
}

bool StartPageTransition([[maybe_unused]] HWND window, [[maybe_unused]] int kind, [[maybe_unused]] int duration) {
  if (appState.transition == nullptr || IsLoading() || appState.animationsCheck == nullptr) return false;
  // With the clock and a checked Animations box: SetKind and SetDuration; from
  // and to cleared black; the back buffer (the frame last shown) copied to
  // from; the control tree painted into to; Start(mainWindow, 5, 11, the tick
  // procedure that ticks the clock and invalidates the window).
  return false;
}
