#include "ui/composite/PictureBox.h"

PictureBox::PictureBox(HINSTANCE instance, HWND hostWindow, int id)
    : TouchControl(instance, hostWindow, id), picture(StateBit(StateUp)) {
  acceptsInput = FALSE;
}

void PictureBox::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  picture.Paint(dc, &rect, StateUp);
}

PictureBox& PictureBox::SetImage(HBITMAP bitmap, int which) {
  // 1 and 2 are the up image's and mask's channels.
  picture.SetImage(bitmap, which);
  return *this;
}

PictureBox& PictureBox::SetDrawMode(int mode) {
  picture.imageMode = mode;
  return *this;
}

PictureBox& PictureBox::SetFitMode(int mode) {
  picture.placement = mode;
  return *this;
}
