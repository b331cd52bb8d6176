// Window and screen DCs: GetDC/ReleaseDC, painting, and the screen's metrics.
// Windows hand out DCs that GDI keeps and draws through.
#include <windows.h>

#include "device/device.h"
#include "gdi/dc.h"
#include "user/window_state.h"

using namespace wce;
using namespace wce::gdi;

namespace {

bool IsWindowDC(HDC hdc) {
  std::shared_ptr<DeviceContext> dc = FindDC(hdc);
  return dc && dc->kind != DCKind::Memory;
}

bool WindowExists(HWND hwnd) {
  RECT ignored{};
  return user::WindowScreenRect(hwnd, &ignored);
}

}  // namespace

extern "C" {

HDC WINAPI GetDC(HWND hWnd) {
  if (!hWnd) return NewDC(DCKind::Screen);
  if (!WindowExists(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return NewDC(DCKind::Window, hWnd);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
  // Memory DCs go with DeleteDC; the window argument is not checked.
  if (!IsWindowDC(hDC)) return 0;
  return RemoveDC(hDC) ? 1 : 0;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  if (!lpPaint) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  RECT update{};
  bool erase = false;
  if (!user::TakeUpdateRegion(hWnd, &update, &erase)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  HDC hdc = NewDC(DCKind::Window, hWnd, &update);
  if (!hdc) return nullptr;
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = hdc;
  lpPaint->rcPaint = update;
  if (erase) lpPaint->fErase = SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
  return hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint) return FALSE;
  if (IsWindowDC(lpPaint->hdc)) RemoveDC(lpPaint->hdc);
  return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXSCREEN: return GetScreenSize().width;
    case SM_CYSCREEN: return GetScreenSize().height;
    default: return 0;
  }
}

}  // extern "C"
