#include "ui/core/TextLabel.h"

TextLabel::TextLabel(HINSTANCE instance, HWND hostWindow, int id) : TouchControl(instance, hostWindow, id) {
  acceptsInput = FALSE;
}

void TextLabel::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  PaintCaption(dc, &rect, FALSE);
}
