// Small services over the display: the display orientation and full-screen
// mode, and (from the controls' own header) dpi scaling of design lengths.
#pragma once

#include <windows.h>

#include "ui/core/DisplayScale.h"

// DMDO_0, DMDO_90, ...; -1 when the system cannot tell.
int GetDisplayOrientation();
// True when the display was turned; false when it already was, or cannot be.
bool SetDisplayOrientation(int orientation);

// On: no task bar or input button, the window over the whole screen.
// Off: the bars back and the window in the work area. Returns 1.
int SetFullScreen(HWND window, bool on);
