// A line of static text over whatever was painted beneath it. It takes
// no part in pen handling, so a button under it still gets the pen.
#pragma once

#include <windows.h>

#include "ui/core/TouchControl.h"

class TextLabel : public TouchControl {
 public:
  TextLabel(HINSTANCE instance, HWND hostWindow, int id);

  // The caption alone, transparent, in the normal text colour.
  void Paint(HDC dc) override;
};
