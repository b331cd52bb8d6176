// The program's one window: its procedure and its back-buffered painting.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The slot a motion code plays: 1 top, 2 right, 3 bottom, 4 left, 5 centre of
// the Home grid; 0 for a code that is not a motion.
int SlotForMotionCode(WPARAM code);
