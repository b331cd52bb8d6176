// Lengths designed at 96 dpi turned into device pixels of the screen.
#pragma once

#include <windows.h>

// a * b / c rounded half away from zero: the magnitude is rounded, the sign put back.
int MulDivRound(int a, int b, int c);

// The screen's dpi, read once (on first use) and kept; -1 when it cannot be read.
int GetScreenDpiX();
int GetScreenDpiY();
// Forgets the dpi read so far: the next call reads the screen again.
void ResetScreenDpi();

// A length given at 96 dpi, in device pixels of the screen.
int ScaleX(int n);
int ScaleY(int n);
