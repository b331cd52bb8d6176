#include "app/DisplayHelpers.h"

#include <aygshell.h>
#include <string.h>

#include <cstdint>

namespace {

const int kDesignDpi = 96;

int ReadScreenDpi(int index) {
  HDC screen = GetDC(NULL);
  if (screen == NULL) return -1;
  int dpi = GetDeviceCaps(screen, index);
  ReleaseDC(NULL, screen);
  return dpi;
}

// A display-settings record with only its size filled in, as the call expects.
DEVMODEW BlankDevMode(DWORD fields) {
  DEVMODEW mode;
  memset(&mode, 0, sizeof(mode));
  mode.dmSize = sizeof(mode);
  mode.dmFields = fields;
  return mode;
}

bool QueryOrientation(DWORD* orientation) {
  DEVMODEW mode = BlankDevMode(DM_DISPLAYORIENTATION);
  if (ChangeDisplaySettingsEx(NULL, &mode, NULL, CDS_TEST, NULL) != DISP_CHANGE_SUCCESSFUL) return false;
  *orientation = mode.dmDisplayOrientation;
  return true;
}

}  // namespace

int MulDivRound(int a, int b, int c) {
  // Wide enough that no product of two ints overflows on the way.
  int64_t magnitude = a < 0 ? -static_cast<int64_t>(a) : a;
  int64_t rounded = (magnitude * b + (c >> 1)) / c;
  return static_cast<int>(a < 0 ? -rounded : rounded);
}

// The first caller is the loader thread, while the UI thread may be about to
// ask too: a function-local static is computed exactly once either way.
int GetScreenDpiX() {
  static const int dpi = ReadScreenDpi(LOGPIXELSX);
  return dpi;
}

int GetScreenDpiY() {
  static const int dpi = ReadScreenDpi(LOGPIXELSY);
  return dpi;
}

int ScaleX(int n) { return MulDivRound(n, GetScreenDpiX(), kDesignDpi); }

int ScaleY(int n) { return MulDivRound(n, GetScreenDpiY(), kDesignDpi); }

int GetDisplayOrientation() {
  DWORD orientation = 0;
  if (!QueryOrientation(&orientation)) return -1;
  return static_cast<int>(orientation);
}

bool SetDisplayOrientation(int orientation) {
  // A display that cannot even list its orientations is left alone.
  DEVMODEW query = BlankDevMode(DM_DISPLAYQUERYORIENTATION);
  if (ChangeDisplaySettingsEx(NULL, &query, NULL, CDS_TEST, NULL) != DISP_CHANGE_SUCCESSFUL) return false;
  if (static_cast<LONG>(query.dmDisplayOrientation) < 0) return false;
  DWORD current = 0;
  if (!QueryOrientation(&current) || current == static_cast<DWORD>(orientation)) return false;
  DEVMODEW change = BlankDevMode(DM_DISPLAYORIENTATION);
  change.dmDisplayOrientation = static_cast<DWORD>(orientation);
  return ChangeDisplaySettingsEx(NULL, &change, NULL, CDS_RESET, NULL) == DISP_CHANGE_SUCCESSFUL;
}

int SetFullScreen(HWND window, bool on) {
  if (on) {
    SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
    MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE);
    ShowWindow(window, SW_SHOWNORMAL);
    return 1;
  }
  SHFullScreen(window, SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON);
  RECT workArea = {0, 0, 0, 0};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  MoveWindow(window, workArea.left, workArea.top, workArea.right - workArea.left, workArea.bottom - workArea.top,
             TRUE);
  return 1;
}
