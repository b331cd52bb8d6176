// Small services over the display: dpi scaling of design lengths, the display
// orientation and full-screen mode.
#pragma once

#include <windows.h>

// a * b / c rounded half away from zero: the magnitude is rounded, the sign put back.
int MulDivRound(int a, int b, int c);

// The screen's dpi, read once (on first use) and kept; -1 when it cannot be read.
int GetScreenDpiX();
int GetScreenDpiY();

// A length given at 96 dpi, in device pixels of the screen.
int ScaleX(int n);
int ScaleY(int n);

// DMDO_0, DMDO_90, ...; -1 when the system cannot tell.
int GetDisplayOrientation();
// True when the display was turned; false when it already was, or cannot be.
bool SetDisplayOrientation(int orientation);

// On: no task bar or input button, the window over the whole screen.
// Off: the bars back and the window in the work area. Returns 1.
int SetFullScreen(HWND window, bool on);
