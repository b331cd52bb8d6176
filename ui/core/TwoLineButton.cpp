#include "ui/core/TwoLineButton.h"

#include "ui/core/DrawingPrimitives.h"

TwoLineButton::TwoLineButton(HINSTANCE instance, HWND hostWindow, int id)
    : ImageButton(instance, hostWindow, id), subtitleStyle(DefaultTextStyle()), subtitleVisible(FALSE) {
  subtitle[0] = L'\0';
}

void TwoLineButton::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  PaintBackground(dc, &rect);
  PaintCaptionIfVisible(dc, &rect);
  // Its own rectangle: the two lines may overlap, the subtitle on top.
  if (subtitleVisible) DrawStyledText(dc, subtitle, &rect, &subtitleStyle, pressed);
  PaintIcon(dc, &rect);
}

TwoLineButton& TwoLineButton::SetSubtitle(LPCWSTR text) {
  if (text == NULL || text[0] == L'\0') return *this;
  wcsncpy_s(subtitle, kCaptionLength, text, _TRUNCATE);
  return *this;
}

void TwoLineButton::GetSubtitle(LPWSTR buffer) const {
  if (buffer != NULL) wcscpy_s(buffer, kCaptionLength, subtitle);
}

TwoLineButton& TwoLineButton::SetSubtitleFont(HFONT handle) {
  subtitleStyle.font = handle;
  return *this;
}

TwoLineButton& TwoLineButton::SetSubtitleColors(COLORREF normal, COLORREF whilePressed) {
  subtitleStyle.color = normal;
  subtitleStyle.pressedColor = whilePressed;
  return *this;
}

TwoLineButton& TwoLineButton::SetSubtitleMargins(int marginLeftPx, int marginTopPx, int marginRightPx,
                                                 int marginBottomPx) {
  SetRect(&subtitleStyle.margins, marginLeftPx, marginTopPx, marginRightPx, marginBottomPx);
  return *this;
}

TwoLineButton& TwoLineButton::SetSubtitleVisible(BOOL flag) {
  subtitleVisible = flag;
  return *this;
}
