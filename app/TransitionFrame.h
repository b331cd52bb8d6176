// The frames of the animated page change: the old and the new page pushed,
// covered or uncovered according to the transition's kind and progress.
#pragma once

#include <windows.h>

// Composes into `back` the frame at `progress` (0 to 1) of a page change from
// `from` to `to`, each `width` x `height`. Kinds: 1 push left, 2 push right,
// 3 push up, 4 push down, 10 uncover upward, 11 cover from the top. False for
// any other kind, with nothing drawn.
bool DrawTransitionCopies(HDC back, HDC from, HDC to, int kind, double progress, int width, int height);
