#include "ui/core/CheckBox.h"

CheckBox::CheckBox(HINSTANCE instance, HWND hostWindow, int id)
    : SkinnedControl<CheckBox>(instance, hostWindow, id,
                               StateBit(StateUp) | StateBit(StateDown) | StateBit(StateDisabled)),
      locked(FALSE) {}

void CheckBox::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  background.Paint(dc, &rect, ButtonState());
  PaintCaptionIfVisible(dc, &rect);
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

CheckBox& CheckBox::SetChecked(BOOL flag) {
  pressed = flag ? TRUE : FALSE;
  return *this;
}

CheckBox& CheckBox::SetLocked(BOOL flag) {
  locked = flag;
  return *this;
}
