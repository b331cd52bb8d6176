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
    : SkinnedControl<ImageButton>(instance, hostWindow, id,
                                  StateBit(StateUp) | StateBit(StateDown) | StateBit(StateDisabled)),
      iconImage(NULL),
      iconMask(NULL),
      iconMode(kIconKeyed),
      iconVisible(TRUE) {
  SetRect(&iconMargins, ScaleX(kIconMarginX), ScaleY(kIconMarginY), ScaleX(kIconMarginX), ScaleY(kIconMarginY));
}

void ImageButton::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  PaintBackground(dc, &rect);
  PaintCaptionIfVisible(dc, &rect);
  PaintIcon(dc, &rect);
}

void ImageButton::PaintBackground(HDC dc, const RECT* rect) { background.Paint(dc, rect, ButtonState()); }

void ImageButton::PaintIcon(HDC dc, const RECT* rect) {
  if (!iconVisible) return;
  RECT box = *rect;
  ShrinkRect(&box, iconMargins.left, iconMargins.top, iconMargins.right, iconMargins.bottom);
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
  if (channel == ChannelIconImage) {
    iconImage = bitmap;
  } else if (channel == ChannelIconMask) {
    iconMask = bitmap;
  } else {
    SkinnedControl<ImageButton>::SetImage(bitmap, channel);
  }
  return *this;
}

ImageButton& ImageButton::SetIconVisible(BOOL flag) {
  iconVisible = flag;
  return *this;
}

ImageButton& ImageButton::SetIconMargins(int marginLeftPx, int marginTopPx, int marginRightPx,
                                         int marginBottomPx) {
  SetRect(&iconMargins, marginLeftPx, marginTopPx, marginRightPx, marginBottomPx);
  return *this;
}
