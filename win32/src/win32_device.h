// Inside the desktop Windows device.
#pragma once

#include <windows.h>

namespace jpwin {

// The monitor's dots per inch (the process is made dpi-aware on first use).
int MonitorDpi();
// A length of the phone's 96-dpi design scaled for the monitor.
int ScaleForMonitor(int length);

}  // namespace jpwin
