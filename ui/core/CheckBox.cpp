#include "ui/core/CheckBox.h"

#include "ui/core/DrawingPrimitives.h"
#include "ui/core/ImageButton.h"  // the image channels

CheckBox::CheckBox(HINSTANCE instance, HWND hostWindow, int id)
    : TouchControl(instance, hostWindow, id),
      upImage(NULL),
      upMask(NULL),
      downImage(NULL),
      downMask(NULL),
      disabledImage(NULL),
      disabledMask(NULL),
      imageMode(1),
      placement(1),
      locked(FALSE),
      captionVisible(FALSE) {}

void CheckBox::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  if (!enabled) {
    DrawSkinBackground(dc, &rect, disabledImage, disabledMask, imageMode, placement);
  } else if (pressed) {
    DrawSkinBackground(dc, &rect, downImage, downMask, imageMode, placement);
  } else {
    DrawSkinBackground(dc, &rect, upImage, upMask, imageMode, placement);
  }
  if (!captionVisible) return;
  // The caption takes the pressed colour while checked, like a held button.
  ShrinkRect(&rect, marginLeft, marginTop, marginRight, marginBottom);
  DrawTextInRect(dc, caption, &rect, textFormat, pressed ? pressedTextColor : textColor, font);
}

int CheckBox::OnPenDown(HWND window, UINT, int x, int y) {
  if (!HitTest(x, y) || locked) return 0;
  pressed = pressed ? FALSE : TRUE;
  Invalidate();
  // The window reads IsChecked while handling this, before we return.
  Notify(window, NotifyToggled);
  return 1;
}

int CheckBox::OnPenUp(HWND, UINT, int, int) { return 0; }

int CheckBox::OnPenMove(HWND, UINT, int, int) { return 0; }

CheckBox& CheckBox::SetImage(HBITMAP bitmap, int channel) {
  switch (channel) {
    case ChannelUpImage: upImage = bitmap; break;
    case ChannelUpMask: upMask = bitmap; break;
    case ChannelDownImage: downImage = bitmap; break;
    case ChannelDownMask: downMask = bitmap; break;
    case ChannelDisabledImage: disabledImage = bitmap; break;
    case ChannelDisabledMask: disabledMask = bitmap; break;
    default: break;
  }
  return *this;
}

CheckBox& CheckBox::SetImageMode(int mode) {
  imageMode = mode;
  return *this;
}

CheckBox& CheckBox::SetPlacement(int mode) {
  placement = mode;
  return *this;
}

CheckBox& CheckBox::SetChecked(BOOL flag) {
  pressed = flag ? TRUE : FALSE;
  return *this;
}

CheckBox& CheckBox::SetLocked(BOOL flag) {
  locked = flag;
  return *this;
}

CheckBox& CheckBox::SetCaptionVisible(BOOL flag) {
  captionVisible = flag;
  return *this;
}
