// The frames of the animated page change: the old and the new page pushed,
// covered or uncovered according to the transition's kind and progress.
#pragma once

#include <windows.h>

// How the new page comes in; the transition clock carries it as a number.
enum TransitionKind {
  PushLeft = 1,    // the old page leaves to the left, the new one follows
  PushRight = 2,
  PushUp = 3,
  PushDown = 4,
  UncoverUp = 10,  // the old page slides up off the new one
  CoverDown = 11,  // the new page slides down over the old one
};

// Composes into `back` the frame at `progress` (0 to 1) of a page change from
// `from` to `to`, each `width` x `height`. False for a kind that is none of
// the above, with nothing drawn.
bool DrawTransitionCopies(HDC back, HDC from, HDC to, int kind, double progress, int width, int height);
