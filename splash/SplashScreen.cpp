#include "splash/SplashScreen.h"

#include "ui/core/DisplayScale.h"
#include "ui/core/DrawingPrimitives.h"

namespace {

// Design lengths at 96 dpi.
const int kPictureBox = 240;
const int kBarWidth = 180;
const int kBarHeight = 8;
const int kBarFromBottom = 80;
const int kStatusHeight = 60;
const UINT kStatusFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_CENTER;
const int kFullPercent = 100;

const int kDesignDpi = 96;

// The DC says its own dpi: nothing cached that a changed screen could leave stale.
int Scale(int length, int dpi) { return MulDivRound(length, dpi, kDesignDpi); }

void FillSolid(HDC dc, const RECT* rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  if (brush == NULL) return;
  FillRect(dc, rect, brush);
  DeleteObject(brush);
}

}  // namespace

SplashScreen::SplashScreen()
    : picture(NULL),
      backgroundColor(0x000000),
      textColor(0xFFFFFF),
      percent(0),
      frameColor(0x808080),
      trackColor(0x333333),
      fillTopColor(0x11D4FE),
      fillBottomColor(0x005C70) {
  statusText[0] = L'\0';
  InitializeCriticalSection(&textLock);
}

SplashScreen::~SplashScreen() { DeleteCriticalSection(&textLock); }

void SplashScreen::SetPicture(HBITMAP bitmap) { picture = bitmap; }

void SplashScreen::SetText(LPCWSTR text) {
  EnterCriticalSection(&textLock);
  if (text == NULL) {
    statusText[0] = L'\0';
  } else {
    wcsncpy_s(statusText, kSplashTextLength, text, _TRUNCATE);
  }
  LeaveCriticalSection(&textLock);
}

void SplashScreen::SetPercent(int value) {
  // Unsigned, so a negative value counts as above 100 too.
  if (static_cast<UINT>(value) > static_cast<UINT>(kFullPercent)) value = kFullPercent;
  InterlockedExchange(&percent, value);
}

int SplashScreen::Percent() const {
  return InterlockedCompareExchange(const_cast<LONG volatile*>(&percent), 0, 0);
}

void SplashScreen::GetText(LPWSTR buffer) const {
  if (buffer == NULL) return;
  EnterCriticalSection(&textLock);
  wcscpy_s(buffer, kSplashTextLength, statusText);
  LeaveCriticalSection(&textLock);
}

void SplashScreen::Paint(HDC dc, const RECT* rect) {
  if (rect == NULL) return;
  int dpiX = GetDeviceCaps(dc, LOGPIXELSX);
  int dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  FillSolid(dc, rect, backgroundColor);

  RECT pictureBox;
  SetRect(&pictureBox, rect->left, rect->top, rect->left + Scale(kPictureBox, dpiX),
          rect->top + Scale(kPictureBox, dpiY));
  DrawBitmapCentered(dc, &pictureBox, picture);

  // A copy, so the loader never waits on text drawing.
  WCHAR text[kSplashTextLength];
  GetText(text);
  RECT statusLine;
  SetRect(&statusLine, rect->left, rect->bottom - Scale(kStatusHeight, dpiY), rect->right, rect->bottom);
  DrawTextInRect(dc, text, &statusLine, kStatusFormat, textColor, NULL);

  PaintProgressBar(dc, rect, dpiX, dpiY);
}

void SplashScreen::PaintProgressBar(HDC dc, const RECT* rect, int dpiX, int dpiY) {
  int barWidth = Scale(kBarWidth, dpiX);
  RECT bar;
  bar.left = rect->left + (Scale(kPictureBox, dpiX) - barWidth) / 2;
  bar.top = rect->bottom - Scale(kBarFromBottom, dpiY);
  bar.right = bar.left + barWidth;
  bar.bottom = bar.top + Scale(kBarHeight, dpiY);
  RECT frame = bar;
  InflateRect(&frame, 1, 1);
  FillSolid(dc, &frame, frameColor);
  FillSolid(dc, &bar, trackColor);
  int filled = barWidth * Percent() / kFullPercent;
  FillGradient(dc, bar.left, bar.top, bar.left + filled, bar.bottom, fillTopColor, fillBottomColor,
               GRADIENT_FILL_RECT_V);
}

void SplashScreen::Compose(HDC target, const RECT* rect, BYTE alpha) {
  if (rect == NULL) return;
  int width = rect->right - rect->left;
  int height = rect->bottom - rect->top;
  HDC memory = CreateCompatibleDC(target);
  if (memory == NULL) return;
  // From the target: a new memory DC only holds a one-pixel monochrome bitmap.
  HBITMAP canvas = CreateCompatibleBitmap(target, width, height);
  if (canvas != NULL) {
    HGDIOBJ previous = SelectObject(memory, canvas);
    Paint(memory, rect);
    BlendCopyWhole(target, 0, 0, width, height, memory, alpha);
    SelectObject(memory, previous);
  }
  DeleteDC(memory);
  if (canvas != NULL) DeleteObject(canvas);
}
