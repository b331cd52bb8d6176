// The CE shell calls the program uses, answered on desktop Windows.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

// Full screen is the whole emulated screen: a framed screen window keeps its
// frame, any other window loses caption and border. The task bar is the desktop's own.
BOOL WINAPI SHFullScreen(HWND window, DWORD state);
// A PNG file as an opaque bitmap, through Windows' own image decoder.
HBITMAP WINAPI SHLoadImageFile(LPCWSTR fileName);

#ifdef __cplusplus
}
#endif
