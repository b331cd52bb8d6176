// The program's one window: its procedure, its back-buffered painting and the
// frames of the page transitions.
#pragma once

#include <windows.h>

#include "app/TransitionFrame.h"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

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

// The slot a motion code plays: 1 top, 2 right, 3 bottom, 4 left, 5 centre of
// the Home grid; 0 for a code that is not a motion.
int SlotForMotionCode(WPARAM code);
