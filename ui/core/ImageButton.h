// The skinned push button: a background that changes while pressed, an
// optional caption and an optional icon over both. The pen handling is the
// base's (codes 1 to 4); this class only paints.
#pragma once

#include <windows.h>

#include "ui/core/SkinnedControl.h"

class ImageButton : public SkinnedControl<ImageButton> {
 public:
  ImageButton(HINSTANCE instance, HWND hostWindow, int id);

  void Paint(HDC dc) override;

  // The states' channels 1 to 4, 9 and 10, and the icon's 13 and 14; others
  // are ignored. The bitmaps stay whoever made them.
  ImageButton& SetImage(HBITMAP bitmap, int channel);
  ImageButton& SetIconVisible(BOOL flag);
  // Device pixels.
  ImageButton& SetIconMargins(int marginLeftPx, int marginTopPx, int marginRightPx, int marginBottomPx);

 protected:
  // The layers under and over the caption, for the two-line button to paint
  // its subtitle between.
  void PaintBackground(HDC dc, const RECT* rect);
  void PaintIcon(HDC dc, const RECT* rect);

  HBITMAP iconImage;
  HBITMAP iconMask;
  int iconMode;  // 1 plain, 2 image and mask, 3 magenta key; always stretched
  BOOL iconVisible;
  RECT iconMargins;
};
