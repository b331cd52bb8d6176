// Update regions and where windows sit: InvalidateRect, ValidateRect,
// UpdateWindow, MoveWindow, the rectangle queries, and what GDI and the shell
// ask of the window manager (window_state.h).
#include <windows.h>

#include <algorithm>

#include "kernel/clock.h"
#include "user/rects.h"
#include "user/user_state.h"
#include "user/window_manager.h"
#include "user/window_state.h"

namespace wce::user {
namespace {

constexpr WPARAM kSizeRestored = SIZE_RESTORED;

// A bounding rectangle cannot keep a hole: a validated part only goes when it
// takes a whole band off one side.
RECT Subtract(const RECT& update, const RECT& valid) {
  RECT cut = Intersection(update, valid);
  if (IsEmpty(cut)) return update;
  if (Contains(valid, update)) return RECT{0, 0, 0, 0};
  std::vector<RECT> rest = Difference(update, cut);
  return rest.size() == 1 ? rest.front() : update;
}

std::shared_ptr<Window> LocalWindow(HWND hwnd) {
  std::shared_ptr<Window> w = WindowOf(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

}  // namespace

bool WindowScreenRect(HWND hwnd, RECT* rect) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hwnd);
  if (!w || !rect) return false;
  *rect = ScreenRectOf(*w);
  return true;
}

bool WindowIsShowing(HWND hwnd) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hwnd);
  return w && IsShowing(*w);
}

bool TakeUpdateRegion(HWND hwnd, RECT* update, bool* erase) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hwnd);
  if (!w) return false;
  if (update) *update = IsEmpty(w->update) ? RECT{0, 0, 0, 0} : w->update;
  if (erase) *erase = !IsEmpty(w->update) && w->updateErase;
  w->update = RECT{0, 0, 0, 0};
  w->updateErase = false;
  return true;
}

HWND ForegroundWindow() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return User().foreground;
}

void InvalidateScreenArea(const RECT& screenRect) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  for (const auto& w : User().windows.All()) {
    if (w->remote || w->destroying || !IsShowing(*w)) continue;
    RECT screen = ScreenRectOf(*w);
    RECT hit = Intersection(screen, screenRect);
    if (IsEmpty(hit)) continue;
    RECT client = Offset(hit, -screen.left, -screen.top);
    Invalidate(*w, &client, true);
  }
}

}  // namespace wce::user

using namespace wce;
using namespace wce::user;

extern "C" {

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  if (!hWnd) {
    // no window: every window repaints, as when the whole screen changed
    for (const auto& w : User().windows.All())
      if (!w->remote) Invalidate(*w, nullptr, bErase != FALSE);
    return TRUE;
  }
  std::shared_ptr<Window> w = LocalWindow(hWnd);
  if (!w) return FALSE;
  Invalidate(*w, lpRect, bErase != FALSE);
  return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = LocalWindow(hWnd);
  if (!w) return FALSE;
  w->update = lpRect ? Subtract(w->update, *lpRect) : RECT{0, 0, 0, 0};
  if (IsEmpty(w->update)) {
    w->update = RECT{0, 0, 0, 0};
    w->updateErase = false;
  }
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  bool due = false;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    std::shared_ptr<Window> w = LocalWindow(hWnd);
    if (!w) return FALSE;
    due = IsShowing(*w) && !IsEmpty(w->update);
  }
  if (due) SendMessageW(hWnd, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = LocalWindow(hWnd);
  if (!w || !lpRect) return FALSE;
  *lpRect = ClientRectOf(*w);
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = LocalWindow(hWnd);
  if (!w || !lpRect) return FALSE;
  *lpRect = ScreenRectOf(*w);
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  Effects fx;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    std::shared_ptr<Window> w = LocalWindow(hWnd);
    if (!w) return FALSE;
    nWidth = std::max(nWidth, 0);
    nHeight = std::max(nHeight, 0);
    RECT before = w->rect;
    RECT beforeOnScreen = ScreenRectOf(*w);
    bool showing = IsShowing(*w);
    w->rect = RECT{X, Y, X + nWidth, Y + nHeight};
    bool moved = before.left != X || before.top != Y;
    bool sized = before.right - before.left != nWidth || before.bottom - before.top != nHeight;
    // the client area is the whole window, so its origin is the window's
    if (moved) fx.Send(hWnd, WM_MOVE, 0, MAKELPARAM(X, Y));
    if (sized) fx.Send(hWnd, WM_SIZE, kSizeRestored, MAKELPARAM(nWidth, nHeight));
    if (bRepaint && (moved || sized)) {
      Invalidate(*w, nullptr, true);
      if (showing)
        for (const RECT& part : Difference(beforeOnScreen, ScreenRectOf(*w))) fx.Uncover(part, IsTopLevel(*w));
    }
  }
  fx.Run();
  return TRUE;
}

}  // extern "C"
