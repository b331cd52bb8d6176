// Inside the desktop Windows device.
#pragma once

#include <windows.h>

namespace jpwin {

// The monitor's dots per inch (the process is made dpi-aware on first use).
int MonitorDpi();
// The checks pretend another monitor; 0 measures the real one again.
void SetMonitorDpi(int dpi);
// A length of the phone's 96-dpi design scaled for the monitor.
int ScaleForMonitor(int length);

// The program's top-level window: a desktop frame around the whole emulated screen.
bool IsScreenFrame(HWND window);

// CE's browser, as the phone's default-browser key names it.
extern const WCHAR kCeBrowserPath[];
extern const WCHAR kCeBrowserKey[];
extern const WCHAR kCeBrowserEntry[];
// Opens an address in the desktop's default browser, https:// added when it
// has no scheme of its own.
BOOL OpenInDesktopBrowser(LPCWSTR address);
// What hands the address to the shell; the checks put their own here so no
// browser starts. Returns the one it replaces; nullptr restores the shell's.
typedef bool (*ShellOpen)(LPCWSTR address);
ShellOpen SetShellOpen(ShellOpen open);

}  // namespace jpwin
