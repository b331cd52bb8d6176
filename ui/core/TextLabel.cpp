#include "ui/core/TextLabel.h"

#include "ui/core/DrawingPrimitives.h"

TextLabel::TextLabel(HINSTANCE instance, HWND hostWindow, int id) : TouchControl(instance, hostWindow, id) {
  acceptsInput = FALSE;
}

void TextLabel::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  ShrinkRect(&rect, marginLeft, marginTop, marginRight, marginBottom);
  DrawTextInRect(dc, caption, &rect, textFormat, textColor, font);
}
