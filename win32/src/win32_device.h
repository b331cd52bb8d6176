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

}  // namespace jpwin
