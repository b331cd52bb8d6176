// Windows: creation (WM_CREATE runs inside CreateWindowExW), destruction,
// window longs, ownership and the default procedure.
#include <windows.h>
#include <unistd.h>

#include <atomic>
#include <vector>

#include "device/device.h"
#include "kernel/clock.h"
#include "user/rendezvous.h"
#include "user/user_state.h"
#include "user/window_classes.h"
#include "user/window_manager.h"

namespace wce {
namespace {

std::atomic<int> gScreenWidth{480};
std::atomic<int> gScreenHeight{640};

}  // namespace

void SetScreenSize(int width, int height) {
  if (width <= 0 || height <= 0) return;
  gScreenWidth = width;
  gScreenHeight = height;
}

ScreenSize GetScreenSize() { return {gScreenWidth.load(), gScreenHeight.load()}; }

}  // namespace wce

namespace wce::user {
namespace {

// Top-level windows given CW_USEDEFAULT fill the screen; child windows get 0.
RECT PlaceWindow(int x, int y, int width, int height, bool child) {
  ScreenSize screen = GetScreenSize();
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) {
    width = child ? 0 : screen.width;
    height = child ? 0 : screen.height;  // the height goes with the width, as on the platform
  }
  if (height == CW_USEDEFAULT) height = child ? 0 : screen.height;
  if (y == CW_USEDEFAULT) y = 0;
  return RECT{x, y, x + width, y + height};
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (const auto& w : User().windows.All())
    if (w->parent == parent) children.push_back(w->handle);
  return children;
}

// Reads or writes one window long; false for an index we do not know.
bool AccessLong(Window& w, int index, const LONG_PTR* newValue, LONG_PTR& old) {
  switch (index) {
    case GWL_STYLE:
      old = w.style;
      if (newValue) w.style = static_cast<LONG>(*newValue);
      return true;
    case GWL_EXSTYLE:
      old = w.exStyle;
      if (newValue) w.exStyle = static_cast<LONG>(*newValue);
      return true;
    case GWLP_USERDATA:
      old = w.userData;
      if (newValue) w.userData = *newValue;
      return true;
    case GWLP_ID:
      old = w.id;
      if (newValue) w.id = *newValue;
      return true;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w.instance);
      if (newValue) w.instance = reinterpret_cast<HINSTANCE>(*newValue);
      return true;
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w.proc);
      if (newValue) {
        if (!*newValue) return false;
        w.proc = reinterpret_cast<WNDPROC>(*newValue);
      }
      return true;
    default:
      return false;
  }
}

// The class's background brush over the client area; 1 when it erased.
LRESULT EraseWithClassBrush(HWND hwnd, HDC dc) {
  HBRUSH brush = nullptr;
  RECT client{};
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    std::shared_ptr<Window> w = WindowOf(hwnd);
    if (!w) return 0;
    brush = w->cls->background;
    client = ClientRectOf(*w);
  }
  if (!brush || !dc) return 0;
  return FillRect(dc, &client, brush) ? 1 : 0;
}

LONG_PTR WindowLong(HWND hwnd, int index, const LONG_PTR* newValue) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR old = 0;
  if (!AccessLong(*w, index, newValue, old)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return old;
}

}  // namespace
}  // namespace wce::user

using namespace wce;
using namespace wce::user;

extern "C" {

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  std::shared_ptr<WindowClass> cls = FindClass(lpClassName);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (hWndParent && !WindowOf(hWndParent)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  bool child = (dwStyle & WS_CHILD) != 0;
  if (child && !hWndParent) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return nullptr;
  }
  auto w = std::make_shared<Window>();
  w->cls = cls;
  w->proc = cls->proc;
  w->thread = GetCurrentThreadId();
  w->parent = hWndParent;
  w->style = static_cast<LONG>(dwStyle);
  w->exStyle = static_cast<LONG>(dwExStyle);
  w->id = child ? reinterpret_cast<LONG_PTR>(hMenu) : 0;
  w->instance = hInstance;
  w->rect = PlaceWindow(X, Y, nWidth, nHeight, child);
  if (lpWindowName) w->title = lpWindowName;
  // Not visible while WM_CREATE runs: WS_VISIBLE shows it afterwards.
  w->style &= ~static_cast<LONG>(WS_VISIBLE);
  w->handle = reinterpret_cast<HWND>(User().windows.Insert(w));
  cls->windows++;
  if (!child) User().zOrder.insert(User().zOrder.begin(), w->handle);
  CurrentQueue();  // the owner's queue, for posted messages and timers

  CREATESTRUCTW cs{};
  cs.lpCreateParams = lpParam;
  cs.hInstance = hInstance;
  cs.hMenu = hMenu;
  cs.hwndParent = hWndParent;
  cs.x = w->rect.left;
  cs.y = w->rect.top;
  cs.cx = w->rect.right - w->rect.left;
  cs.cy = w->rect.bottom - w->rect.top;
  cs.style = static_cast<LONG>(dwStyle);  // as asked, WS_VISIBLE included
  cs.lpszName = lpWindowName;
  cs.lpszClass = lpClassName;
  cs.dwExStyle = dwExStyle;
  LRESULT created = CallWindowProcedure(lock, w->handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs));
  bool alive = WindowOf(w->handle) != nullptr;
  lock.unlock();
  if (created == -1) {
    if (alive) DestroyWindow(w->handle);
    return nullptr;
  }
  if (!alive) return nullptr;
  if (dwStyle & WS_VISIBLE) ShowWindow(w->handle, SW_SHOW);
  if (!child) RendezvousPublish();  // so that another process of this device can find it
  return w->handle;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->thread != GetCurrentThreadId()) {
    SetLastError(ERROR_ACCESS_DENIED);  // only the owner thread destroys a window
    return FALSE;
  }
  if (w->destroying) return TRUE;  // called again from inside its WM_DESTROY
  w->destroying = true;
  // It leaves the screen first: an active window hears WA_INACTIVE before WM_DESTROY.
  Effects fx;
  LeaveScreen(User(), *w, fx);
  lock.unlock();
  fx.Run();
  lock.lock();
  // The window is still valid while it hears WM_DESTROY; its children follow.
  CallWindowProcedure(lock, hWnd, WM_DESTROY, 0, 0);
  std::vector<HWND> children = ChildrenOf(hWnd);
  lock.unlock();
  for (HWND child : children) DestroyWindow(child);
  lock.lock();
  Unlink(w);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return AnyWindowOf(hWnd) ? TRUE : FALSE;  // a window another process showed us counts
}

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM) {
  switch (Msg) {
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_PAINT:
      ValidateRect(hWnd, nullptr);  // nothing to draw, but it must stop coming
      return 0;
    case WM_ERASEBKGND:
      return EraseWithClassBrush(hWnd, reinterpret_cast<HDC>(wParam));
    default:
      return 0;
  }
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
  if (nIndex == GWL_WNDPROC) {  // a code address does not fit a LONG here
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  return static_cast<LONG>(WindowLong(hWnd, nIndex, nullptr));
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
  if (nIndex == GWL_WNDPROC) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  LONG_PTR value = dwNewLong;
  return static_cast<LONG>(WindowLong(hWnd, nIndex, &value));
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) { return WindowLong(hWnd, nIndex, nullptr); }

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  return WindowLong(hWnd, nIndex, &dwNewLong);
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (lpdwProcessId) *lpdwProcessId = static_cast<DWORD>(getpid());
  return w->thread;
}

}  // extern "C"
