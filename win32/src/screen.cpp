// The phone's screen on a desktop monitor: the program sees a 480 x 640
// screen at 192 dpi, both scaled by the monitor's own dpi, and a work area
// below a task bar as on the phone. Orientation requests are answered for
// that screen; the monitor is never rotated.
#include <aygshell.h>

#include "win32_device.h"

// The shim's names cover the SDK's in windows.h; here the real ones are called.
#undef GetSystemMetrics
#undef SystemParametersInfoW
#undef GetDeviceCaps
#undef ChangeDisplaySettingsEx

namespace {

const int kPhoneWidth = 480;
const int kPhoneHeight = 640;
const int kPhoneDpi = 192;
const int kTaskbarHeight = 26;  // at 96 dpi, as on the phone
const DWORD kSupportedOrientations = DMDO_90 | DMDO_180 | DMDO_270;

LONG volatile orientation = DMDO_0;
LONG volatile dpi = 0;  // 0 until measured

bool IsOrientation(DWORD value) {
  return value == DMDO_0 || value == DMDO_90 || value == DMDO_180 || value == DMDO_270;
}

}  // namespace

namespace jpwin {

int MonitorDpi() {
  LONG known = InterlockedCompareExchange(&dpi, 0, 0);
  if (known != 0) return known;
  // Real pixels, not the 96 dpi a program that says nothing is given.
  SetProcessDPIAware();
  HDC screen = GetDC(NULL);
  LONG measured = screen != NULL ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != NULL) ReleaseDC(NULL, screen);
  if (measured <= 0) measured = 96;
  InterlockedExchange(&dpi, measured);
  return measured;
}

void SetMonitorDpi(int chosen) {
  SetProcessDPIAware();
  InterlockedExchange(&dpi, chosen);
}

int ScaleForMonitor(int length) { return MulDiv(length, MonitorDpi(), 96); }

}  // namespace jpwin

extern "C" {

int WINAPI JpGetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return jpwin::ScaleForMonitor(kPhoneWidth);
    case SM_CYSCREEN: return jpwin::ScaleForMonitor(kPhoneHeight);
    default: return GetSystemMetrics(index);
  }
}

BOOL WINAPI JpSystemParametersInfoW(UINT action, UINT param, PVOID value, UINT winIni) {
  if (action != SPI_GETWORKAREA) return SystemParametersInfoW(action, param, value, winIni);
  if (value == NULL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // As on the phone, the work area leaves out the task bar whether it shows or not.
  RECT* area = static_cast<RECT*>(value);
  area->left = 0;
  area->top = jpwin::ScaleForMonitor(kTaskbarHeight);
  area->right = jpwin::ScaleForMonitor(kPhoneWidth);
  area->bottom = jpwin::ScaleForMonitor(kPhoneHeight);
  return TRUE;
}

int WINAPI JpGetDeviceCaps(HDC dc, int index) {
  if (index == LOGPIXELSX || index == LOGPIXELSY) return jpwin::ScaleForMonitor(kPhoneDpi);
  return GetDeviceCaps(dc, index);
}

LONG WINAPI JpChangeDisplaySettingsEx(LPCWSTR deviceName, LPDEVMODEW mode, HWND window, DWORD flags, LPVOID param) {
  if (deviceName != NULL || window != NULL || param != NULL || mode == NULL || mode->dmSize < sizeof(DEVMODEW))
    return DISP_CHANGE_BADPARAM;
  DWORD fields = mode->dmFields & (DM_DISPLAYORIENTATION | DM_DISPLAYQUERYORIENTATION);
  if (fields == (DM_DISPLAYORIENTATION | DM_DISPLAYQUERYORIENTATION)) return DISP_CHANGE_BADPARAM;
  bool test = (flags & CDS_TEST) != 0;
  if (fields == DM_DISPLAYQUERYORIENTATION) {
    if (!test) return DISP_CHANGE_BADFLAGS;
    mode->dmDisplayOrientation = kSupportedOrientations;
    return DISP_CHANGE_SUCCESSFUL;
  }
  if (fields != DM_DISPLAYORIENTATION) return DISP_CHANGE_BADMODE;
  if (test) {
    mode->dmDisplayOrientation = static_cast<DWORD>(InterlockedCompareExchange(&orientation, 0, 0));
    return DISP_CHANGE_SUCCESSFUL;
  }
  // A change is remembered, so the program reads back what it set; the
  // window keeps its shape.
  if (!IsOrientation(mode->dmDisplayOrientation)) return DISP_CHANGE_BADPARAM;
  InterlockedExchange(&orientation, static_cast<LONG>(mode->dmDisplayOrientation));
  return DISP_CHANGE_SUCCESSFUL;
}

BOOL WINAPI SHFullScreen(HWND window, DWORD state) {
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if ((state & SHFS_SHOWTASKBAR) && (state & SHFS_HIDETASKBAR)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The program's own frame stays, so a person can still move and close it;
  // the whole emulated screen is already its client area.
  if (jpwin::IsScreenFrame(window)) return TRUE;
  // The phone's other windows have no frame: a desktop window loses its
  // caption and border, and the program places it itself.
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  LONG_PTR frameless = (style & ~static_cast<LONG_PTR>(WS_OVERLAPPEDWINDOW)) | WS_POPUP;
  if (frameless != style) {
    SetWindowLongPtrW(window, GWL_STYLE, frameless);
    SetWindowPos(window, NULL, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
  return TRUE;
}

}  // extern "C"
