// What the user layer tells the rest of the device about windows: where they
// are on the screen, whether they show, and their update regions. GDI uses it
// for window DCs and BeginPaint; the shell for full screen and activation.
#pragma once

#include <windows.h>

namespace wce::user {

// The window's rectangle in screen coordinates (no non-client area: the
// client area is the whole window). False for a bad handle.
bool WindowScreenRect(HWND hwnd, RECT* rect);
// Shown (WS_VISIBLE) and not minimised, and so are its ancestors.
bool WindowIsShowing(HWND hwnd);
// Takes and validates the update region (bounding rectangle, client
// coordinates); `erase` tells whether an erase was asked for. False when the
// window is bad; an empty rectangle when nothing was invalid.
bool TakeUpdateRegion(HWND hwnd, RECT* update, bool* erase);
// The foreground top-level window of this process, or NULL.
HWND ForegroundWindow();
// Every window whose screen rectangle meets `screenRect` gets it invalidated
// (the task bar went away, a window moved off it, the screen was uncovered).
void InvalidateScreenArea(const RECT& screenRect);

}  // namespace wce::user
