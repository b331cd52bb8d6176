#include "ui/core/ImageButton.h"

#include "ui/core/DisplayScale.h"
#include "ui/core/DrawingPrimitives.h"

namespace {

// Design sizes at 96 dpi.
const int kIconMarginX = 2;
const int kIconMarginY = 1;
const int kIconKeyed = 3;

}  // namespace

ImageButton::ImageButton(HINSTANCE instance, HWND hostWindow, int id)
    : TouchControl(instance, hostWindow, id),
      captionVisible(FALSE),
      iconImage(NULL),
      iconMask(NULL),
      iconMode(kIconKeyed),
      iconVisible(TRUE),
      iconMarginLeft(ScaleX(kIconMarginX)),
      iconMarginTop(ScaleY(kIconMarginY)),
      iconMarginRight(ScaleX(kIconMarginX)),
      iconMarginBottom(ScaleY(kIconMarginY)) {}

void ImageButton::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  PaintBackground(dc, &rect);
  PaintCaption(dc, &rect);
  PaintIcon(dc, &rect);
}

void ImageButton::PaintBackground(HDC dc, const RECT* rect) { background.Paint(dc, rect, enabled != 0, pressed != 0); }

void ImageButton::PaintCaption(HDC dc, const RECT* rect) {
  if (!captionVisible) return;
  RECT box = *rect;
  ShrinkRect(&box, marginLeft, marginTop, marginRight, marginBottom);
  DrawTextInRect(dc, caption, &box, textFormat, pressed ? pressedTextColor : textColor, font);
}

void ImageButton::PaintIcon(HDC dc, const RECT* rect) {
  if (!iconVisible) return;
  RECT box = *rect;
  ShrinkRect(&box, iconMarginLeft, iconMarginTop, iconMarginRight, iconMarginBottom);
  switch (iconMode) {
    case 1:
      DrawBitmapStretched(dc, &box, iconImage);
      break;
    case 2:
      DrawMaskedStretched(dc, &box, iconImage, iconMask);
      break;
    case kIconKeyed:
      DrawKeyedStretched(dc, &box, iconImage, kKeyColor);
      break;
    default:
      break;
  }
}

ImageButton& ImageButton::SetImage(HBITMAP bitmap, int channel) {
  if (background.SetImage(bitmap, channel)) return *this;
  if (channel == ChannelIconImage) iconImage = bitmap;
  if (channel == ChannelIconMask) iconMask = bitmap;
  return *this;
}

ImageButton& ImageButton::SetImageMode(int mode) {
  background.imageMode = mode;
  return *this;
}

ImageButton& ImageButton::SetPlacement(int mode) {
  background.placement = mode;
  return *this;
}

ImageButton& ImageButton::SetCaptionVisible(BOOL flag) {
  captionVisible = flag;
  return *this;
}

ImageButton& ImageButton::SetIconVisible(BOOL flag) {
  iconVisible = flag;
  return *this;
}

ImageButton& ImageButton::SetIconMargins(int marginLeftPx, int marginTopPx, int marginRightPx,
                                         int marginBottomPx) {
  iconMarginLeft = marginLeftPx;
  iconMarginTop = marginTopPx;
  iconMarginRight = marginRightPx;
  iconMarginBottom = marginBottomPx;
  return *this;
}
