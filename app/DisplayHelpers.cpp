#include "app/DisplayHelpers.h"

#include <aygshell.h>
#include <string.h>

namespace {

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
