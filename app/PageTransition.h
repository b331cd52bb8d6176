// The animated page change: the window's back, from and to buffers and the
// frames drawn from them while the transition clock runs.
#pragma once

#include <windows.h>

#include "app/TransitionFrame.h"

// The back, from and to buffers: screen-sized memory DCs with bitmaps.
void CreateOffscreenBuffers(HWND window);
void ReleaseOffscreenBuffers();

// Draws the running transition's current frame into the back buffer; false
// when none runs (the caller paints the controls).
bool DrawTransitionFrame(const RECT& client);
// True when an animated page change was set up; false when the caller must
// simply invalidate the window.
bool StartPageTransition(HWND window, TransitionKind kind, int duration);
// The transition timer's procedure: advances the transition clock and repaints the window.
void CALLBACK TransitionTick(HWND window, UINT message, UINT_PTR timerId, DWORD time);
