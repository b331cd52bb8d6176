// The shell's view of the display: the task bar at the top and the input
// panel button at the bottom, hidden by full-screen programs, and the
// display orientation. GDI clips window DCs against the visible bars; the
// user layer and SystemParametersInfoW take the work area from here.
#pragma once

#include <windows.h>

namespace wce::shell {

// Screen rectangle of the task bar while it shows, else an empty rectangle.
RECT TaskbarRect();
// Screen rectangle of the input panel (SIP) button while it shows, else empty.
RECT SipButtonRect();
// The screen minus the task bar (the SIP button sits over the program's own
// menu area and does not shrink it).
RECT WorkArea();
// Redraws the bars that show onto the screen.
void DrawBars();
// Current display orientation (DMDO_0, DMDO_90, DMDO_180, DMDO_270).
DWORD DisplayOrientation();

}  // namespace wce::shell
