#include "ui/composite/PictureBox.h"

#include "ui/core/DrawingPrimitives.h"

PictureBox::PictureBox(HINSTANCE instance, HWND hostWindow, int id)
    : TouchControl(instance, hostWindow, id), image(NULL), mask(NULL), drawMode(1), fitMode(1) {
  acceptsInput = FALSE;
}

void PictureBox::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  // Draw and fit modes mean what a button's image mode and placement mean.
  DrawSkinBackground(dc, &rect, image, mask, drawMode, fitMode);
}

PictureBox& PictureBox::SetImage(HBITMAP bitmap, int which) {
  if (which == 1) image = bitmap;
  else if (which == 2) mask = bitmap;
  return *this;
}

PictureBox& PictureBox::SetDrawMode(int mode) {
  drawMode = mode;
  return *this;
}

PictureBox& PictureBox::SetFitMode(int mode) {
  fitMode = mode;
  return *this;
}
