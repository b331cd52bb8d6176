#include "ui/core/CheckBox.h"

#include "ui/core/DrawingPrimitives.h"

CheckBox::CheckBox(HINSTANCE instance, HWND hostWindow, int id)
    : TouchControl(instance, hostWindow, id),
      locked(FALSE),
      captionVisible(FALSE) {}

void CheckBox::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  background.Paint(dc, &rect, enabled != 0, pressed != 0);
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
  background.SetImage(bitmap, channel);
  return *this;
}

CheckBox& CheckBox::SetImageMode(int mode) {
  background.imageMode = mode;
  return *this;
}

CheckBox& CheckBox::SetPlacement(int mode) {
  background.placement = mode;
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
