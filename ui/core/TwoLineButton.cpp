#include "ui/core/TwoLineButton.h"

#include "ui/core/DisplayScale.h"
#include "ui/core/DrawingPrimitives.h"

namespace {

// Design sizes at 96 dpi.
const int kSubtitleMarginX = 2;
const int kSubtitleMarginY = 1;

}  // namespace

TwoLineButton::TwoLineButton(HINSTANCE instance, HWND hostWindow, int id)
    : ImageButton(instance, hostWindow, id),
      subtitleFont(NULL),
      subtitleColor(0xFFFFFF),
      subtitlePressedColor(0x000000),
      subtitleFormat(DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER),
      subtitleMarginLeft(ScaleX(kSubtitleMarginX)),
      subtitleMarginTop(ScaleY(kSubtitleMarginY)),
      subtitleMarginRight(ScaleX(kSubtitleMarginX)),
      subtitleMarginBottom(ScaleY(kSubtitleMarginY)),
      subtitleVisible(FALSE) {
  subtitle[0] = L'\0';
}

void TwoLineButton::Paint(HDC dc) {
  RECT rect;
  GetRect(&rect);
  PaintBackground(dc, &rect);
  PaintCaption(dc, &rect);
  if (subtitleVisible) {
    // Its own rectangle: the two lines may overlap, the subtitle on top.
    RECT box = rect;
    ShrinkRect(&box, subtitleMarginLeft, subtitleMarginTop, subtitleMarginRight, subtitleMarginBottom);
    DrawTextInRect(dc, subtitle, &box, subtitleFormat, pressed ? subtitlePressedColor : subtitleColor,
                   subtitleFont);
  }
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
  subtitleFont = handle;
  return *this;
}

TwoLineButton& TwoLineButton::SetSubtitleColors(COLORREF normal, COLORREF whilePressed) {
  subtitleColor = normal;
  subtitlePressedColor = whilePressed;
  return *this;
}

TwoLineButton& TwoLineButton::SetSubtitleMargins(int marginLeftPx, int marginTopPx, int marginRightPx,
                                                 int marginBottomPx) {
  subtitleMarginLeft = marginLeftPx;
  subtitleMarginTop = marginTopPx;
  subtitleMarginRight = marginRightPx;
  subtitleMarginBottom = marginBottomPx;
  return *this;
}

TwoLineButton& TwoLineButton::SetSubtitleVisible(BOOL flag) {
  subtitleVisible = flag;
  return *this;
}
