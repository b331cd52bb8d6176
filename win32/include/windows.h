// The desktop Windows device: the SDK's own windows.h, plus the Windows CE
// names the program uses. Where CE and desktop disagree on a name's meaning,
// the program gets CE's, answered by this folder's src/.
#pragma once

#include_next <windows.h>

// Declared by the CRT headers before the renames below touch them.
#include <string.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

// CE's entry takes the command line as wide text; desktop calls that wWinMain
// (linked with -municode).
#define WinMain wWinMain

// CE looks entries up by wide name; desktop only by narrow.
FARPROC WINAPI JpGetProcAddressW(HMODULE module, LPCWSTR name);
#define GetProcAddressW JpGetProcAddressW

// Keeps the system and the display awake, as CE's idle timer reset does.
void WINAPI SystemIdleTimerReset(void);

// CE's display orientation flags. They share their values with desktop's ICM
// flags and DMDO_270 differs, so the program's orientation calls go to
// JpChangeDisplaySettingsEx, which answers them for a phone-shaped window and
// never rotates a monitor.
#undef DM_DISPLAYORIENTATION
#define DM_DISPLAYORIENTATION 0x00800000L
#define DM_DISPLAYQUERYORIENTATION 0x01000000L
#define DMDO_0 0
#undef DMDO_270
#define DMDO_270 4
LONG WINAPI JpChangeDisplaySettingsEx(LPCWSTR deviceName, LPDEVMODEW mode, HWND window, DWORD flags, LPVOID param);
#undef ChangeDisplaySettingsEx
#define ChangeDisplaySettingsEx JpChangeDisplaySettingsEx

// The phone's screen: a 480 x 640 window scaled for the monitor's dpi, its
// work area below a task bar, and the dpi the program lays itself out for.
int WINAPI JpGetSystemMetrics(int index);
#define GetSystemMetrics JpGetSystemMetrics
BOOL WINAPI JpSystemParametersInfoW(UINT action, UINT param, PVOID value, UINT winIni);
#undef SystemParametersInfo
#define SystemParametersInfoW JpSystemParametersInfoW
int WINAPI JpGetDeviceCaps(HDC dc, int index);
#define GetDeviceCaps JpGetDeviceCaps

// CE's transparent copy: the source may be a DC or a bitmap not selected
// anywhere.
BOOL WINAPI TransparentImage(HDC dest, int destX, int destY, int destWidth, int destHeight, HANDLE source,
                             int sourceX, int sourceY, int sourceWidth, int sourceHeight, COLORREF key);

// CE starts a process from its path and an arguments-only command line, with
// no start-up record. CE's browser opens the address in the desktop's default
// browser instead.
BOOL WINAPI JpCreateProcessW(LPCWSTR application, LPWSTR arguments, LPSECURITY_ATTRIBUTES processAttributes,
                             LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit, DWORD flags, LPVOID environment,
                             LPCWSTR folder, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION process);
#undef CreateProcess
#define CreateProcessW JpCreateProcessW

// CE's top-level window covers the phone's screen; desktop's gets a frame a
// person can move and close, around a client area that is the whole screen.
// Moves keep the frame where it is: the program's rectangles are the screen's.
HWND WINAPI JpCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                              int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
#define CreateWindowExW JpCreateWindowExW
BOOL WINAPI JpMoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
#define MoveWindow JpMoveWindow

// CE raises a window's owned pop-ups too when bit 0 of the handle is set;
// desktop refuses such a handle.
BOOL WINAPI JpSetForegroundWindow(HWND window);
#define SetForegroundWindow JpSetForegroundWindow

// Folds letters beyond ASCII the way the phone does (the CRT's folds ASCII only).
int __cdecl JpWcsicmp(const wchar_t* a, const wchar_t* b);
#define _wcsicmp JpWcsicmp

#ifdef __cplusplus
}
#endif
