// A fixed picture (a bar, a corner, a title) with an optional mask. It never
// takes the pen.
#pragma once

#include <windows.h>

#include "ui/core/StateImages.h"
#include "ui/core/TouchControl.h"

class PictureBox : public TouchControl {
 public:
  PictureBox(HINSTANCE instance, HWND hostWindow, int id);

  void Paint(HDC dc) override;

  // which 1 the picture, 2 its mask (black where the picture shows); other
  // values change nothing. The bitmaps stay their owner's.
  PictureBox& SetImage(HBITMAP bitmap, int which);
  // 1 the picture alone, 2 the picture over its mask, 3 (or other) nothing.
  PictureBox& SetDrawMode(int mode);
  // 1 centred at its own size, 2 stretched over the box, other nothing.
  PictureBox& SetFitMode(int mode);

 private:
  // Its one state: the picture is the up image, drawn as a button's background.
  StateImages picture;
};
