// The skinned push button: a background that changes while pressed, an
// optional caption and an optional icon over both. The pen handling is the
// base's (codes 1 to 4); this class only paints.
#pragma once

#include <windows.h>

#include "ui/core/StateImages.h"
#include "ui/core/TouchControl.h"

class ImageButton : public TouchControl {
 public:
  ImageButton(HINSTANCE instance, HWND hostWindow, int id);

  void Paint(HDC dc) override;

  // Setters never repaint. The bitmaps stay the skin's or the sound bank's.
  // A channel this button has no slot for is ignored.
  ImageButton& SetImage(HBITMAP bitmap, int channel);
  // 1 the image alone, 2 image and mask pairs, anything else no background.
  ImageButton& SetImageMode(int mode);
  // 1 centred at the bitmap's size, 2 stretched over the button, else none.
  ImageButton& SetPlacement(int mode);
  ImageButton& SetCaptionVisible(BOOL flag);
  ImageButton& SetIconVisible(BOOL flag);
  // Device pixels.
  ImageButton& SetIconMargins(int marginLeftPx, int marginTopPx, int marginRightPx, int marginBottomPx);

 protected:
  // The three layers, for the two-line button to paint around its subtitle.
  void PaintBackground(HDC dc, const RECT* rect);
  void PaintCaption(HDC dc, const RECT* rect);
  void PaintIcon(HDC dc, const RECT* rect);

  StateImages background;
  BOOL captionVisible;
  HBITMAP iconImage;
  HBITMAP iconMask;
  int iconMode;  // 1 plain, 2 image and mask, 3 magenta key; always stretched
  BOOL iconVisible;
  int iconMarginLeft;
  int iconMarginTop;
  int iconMarginRight;
  int iconMarginBottom;
};
