#include "app/MainWindow.h"

#include <new>

#include "app/AppState.h"
#include "app/Commands.h"
#include "app/ControlIds.h"
#include "app/DisplayHelpers.h"
#include "app/KeepAwakeTimer.h"
#include "app/Motion.h"
#include "app/PageTransition.h"
#include "app/SettingsTransfer.h"
#include "app/TransitionFrame.h"
#include "ui/core/CheckBox.h"
#include "ui/core/TouchControl.h"

namespace {

// The page change the clock is set up for until a page command says otherwise.
const TransitionKind kFirstTransitionKind = PushLeft;

// Indexed by motion code: Y jerks play the top and bottom cells, X jerks the
// left and right ones, a Z jerk the centre.
const int kSlotOfMotionCode[] = {0, 1, 3, 4, 2, 5};

// A missing check box is an unchecked one.
bool PulseChecked() { return appState.pulseToggle != NULL && appState.pulseToggle->IsChecked(); }

void CALLBACK KeepAwakeTick(HWND, UINT, UINT_PTR, DWORD) {
  LoadingLock hold;
  if (appState.keepAwake) appState.keepAwake->Tick();
}

LRESULT OnCreate(HWND window) {
  SetLoading(1);
  appState.splash.reset(new (std::nothrow) SplashScreen());
  if (appState.splash && appState.resources) appState.splash->SetPicture(appState.resources->SplashPicture());
  // The window handle is not stored yet: the timer takes it from the message.
  appState.keepAwake.reset(new (std::nothrow) KeepAwakeTimer(window, KeepAwakeTimerId, KeepAwakeTick));
  appState.transition.reset(new (std::nothrow) ScreenTransition());
  if (appState.transition) appState.transition->SetKind(kFirstTransitionKind);
  return 0;
}

LRESULT OnDestroy() {
  {
    LoadingLock hold;
    appState.previewPlayer.reset();
    if (appState.tiltSensor) appState.tiltSensor->Close();
    appState.soundBank.reset();
    appState.soundSlots.reset();
    if (appState.skin) appState.skin->Release();
    if (appState.resources) appState.resources->Release();
    ReleaseOffscreenBuffers();
    appState.windowDestroyed = true;
  }
  // A loader still holding up the splash lets go now.
  if (appState.loaderStop != NULL) SetEvent(appState.loaderStop);
  PostQuitMessage(0);
  return 0;
}

LRESULT OnClose(HWND window, WPARAM wParam, LPARAM lParam) {
  {
    LoadingLock hold;
    if (appState.settingsApplied) CollectSettings();
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
    LoadingLock hold;
    if (appState.previewPlayer) appState.previewPlayer->Stop();
    StopMotion();
  }
  SetFullScreen(window, false);
  // -1 (never activated, or the query failed) is refused and changes nothing.
  SetDisplayOrientation(savedOrientation);
  return 0;
}

void ComposeSplash(const RECT& client) {
  if (appState.splash) appState.splash->Compose(appState.backDC, &client, kSplashAlpha);
}

void PaintControls() {
  if (appState.rootPanel != NULL) appState.rootPanel->PaintIfVisible(appState.backDC);
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC target = BeginPaint(window, &paint);
  RECT client = {0, 0, 0, 0};
  GetClientRect(window, &client);
  FillRect(appState.backDC, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (IsLoading()) {
    ComposeSplash(client);
  } else if (!DrawTransitionFrame(client)) {
    PaintControls();
  }
  // The whole screen, whatever the client area: painting covers everything.
  BitBlt(target, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), appState.backDC, 0, 0,
         SRCCOPY);
  EndPaint(window, &paint);
  return 0;
}

// No capture: the whole tree sees every pen event and each control decides
// from its own state. While loading the main panel is hidden, so nothing
// below the root can vibrate while the loader lock is held.
LRESULT OnPen(HWND window, UINT message, LPARAM lParam) {
  LoadingLock hold;
  ControlPanel* root = appState.rootPanel;
  if (root == NULL) return 0;
  int x = LOWORD(lParam);
  int y = HIWORD(lParam);
  if (message == WM_LBUTTONDOWN) {
    root->PenDown(window, 0, x, y);
  } else if (message == WM_LBUTTONUP) {
    root->PenUp(window, 0, x, y);
  } else {
    root->PenMove(window, 0, x, y);
  }
  return 0;
}

LRESULT OnMotion(HWND window, WPARAM code, LPARAM lParam) {
  bool pulse = false;
  {
    LoadingLock hold;
    if (!appState.soundSlots) return 0;
    int slot = SlotForMotionCode(code);
    if (slot == 0) return DefWindowProcW(window, WM_MOTION, code, lParam);
    appState.soundSlots->Play(slot);
    pulse = PulseChecked();
  }
  // Outside the lock: the pulse holds this thread for its length.
  if (pulse) VibratePulse(kVibratePulseMs);
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
    case WM_COMMAND: {
      LoadingLock hold;
      return OnCommand(window, wParam, lParam);
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return OnPen(window, message, lParam);
    case WM_MOTION:
      return OnMotion(window, wParam, lParam);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}
