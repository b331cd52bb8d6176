// Windows Mobile shell.
#pragma once

#include "windows.h"

#ifdef __cplusplus
extern "C" {
#endif

// Loads a PNG file into a bitmap (32 bits a pixel, opaque: any alpha channel is
// ignored); NULL when the file is missing or not a valid PNG. The caller frees
// it with DeleteObject. (The phone also reads BMP; nothing here needs it.)
HBITMAP WINAPI SHLoadImageFile(LPCWSTR pszFileName);


#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

BOOL WINAPI SHFullScreen(HWND hwndRequester, DWORD dwState);
#ifdef __cplusplus
}
#endif
