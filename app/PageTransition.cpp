#include "app/PageTransition.h"

#include "app/AppState.h"
#include "app/ControlIds.h"
#include "ui/core/CheckBox.h"

namespace {

const UINT kTransitionPeriod = 11;

struct OffscreenBuffer {
  HDC AppState::*dc;
  HBITMAP AppState::*bitmap;
};

const OffscreenBuffer kOffscreenBuffers[] = {
    {&AppState::backDC, &AppState::backBitmap},
    {&AppState::fromDC, &AppState::fromBitmap},
    {&AppState::toDC, &AppState::toBitmap},
};

// A missing check box is an unchecked one.
bool AnimationsChecked() { return appState.animationsCheck != NULL && appState.animationsCheck->IsChecked(); }

}  // namespace

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

bool DrawTransitionFrame(const RECT& client) {
  ScreenTransition* transition = appState.transition.get();
  if (transition == NULL || !transition->IsRunning()) return false;
  DrawTransitionCopies(appState.backDC, appState.fromDC, appState.toDC, transition->Kind(), transition->Progress(),
                       client.right - client.left, client.bottom - client.top);
  return true;
}

bool StartPageTransition(HWND, TransitionKind kind, int duration) {
  ScreenTransition* transition = appState.transition.get();
  if (transition == NULL || IsLoading() || !AnimationsChecked()) return false;
  transition->SetKind(kind).SetDuration(duration);
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  RECT screen = {0, 0, width, height};
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  FillRect(appState.fromDC, &screen, black);
  FillRect(appState.toDC, &screen, black);
  // The frame last shown is the starting picture; a transition already
  // running restarts from where it was.
  BitBlt(appState.fromDC, 0, 0, width, height, appState.backDC, 0, 0, SRCCOPY);
  if (appState.rootPanel == NULL) return false;
  // The new page is rendered once; each tick then costs two copies.
  appState.rootPanel->PaintIfVisible(appState.toDC);
  transition->Start(appState.mainWindow, TransitionTimerId, kTransitionPeriod, TransitionTick);
  return true;
}

void CALLBACK TransitionTick(HWND, UINT, UINT_PTR, DWORD) {
  if (appState.transition) appState.transition->Tick(appState.mainWindow, TransitionTimerId);
  InvalidateRect(appState.mainWindow, NULL, TRUE);
}
