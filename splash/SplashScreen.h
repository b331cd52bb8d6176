// The loading screen: the splash picture, a status line naming the loader's
// current step and a progress bar. The loader thread sets the text and the
// percentage while the UI thread paints, so the text is kept under a lock and
// the percentage is one interlocked word.
#pragma once

#include <windows.h>

const int kSplashTextLength = 260;  // 259 characters and the terminator

class SplashScreen {
 public:
  SplashScreen();
  ~SplashScreen();

  // Not owned: the resource images keep it.
  void SetPicture(HBITMAP bitmap);
  // At most 259 characters are kept; NULL empties the line. No repaint.
  void SetText(LPCWSTR text);
  // Above 100, or negative, is 100. No repaint.
  void SetPercent(int value);
  int Percent() const;
  // Into a buffer of kSplashTextLength characters.
  void GetText(LPWSTR buffer) const;

  // The whole splash into the rectangle.
  void Paint(HDC dc, const RECT* rect);
  // Painted off-screen, then blended onto the target at (0, 0) with the
  // constant alpha: one copy per paint, so steps do not flicker.
  void Compose(HDC target, const RECT* rect, BYTE alpha);

 private:
  SplashScreen(const SplashScreen&) = delete;
  SplashScreen& operator=(const SplashScreen&) = delete;

  void PaintProgressBar(HDC dc, const RECT* rect, int dpiX, int dpiY);

  HBITMAP picture;
  COLORREF backgroundColor;
  WCHAR statusText[kSplashTextLength];
  COLORREF textColor;
  LONG percent;
  COLORREF frameColor;
  COLORREF trackColor;
  COLORREF fillTopColor;
  COLORREF fillBottomColor;
  // Guards statusText between the loader's SetText and the UI thread's paint.
  mutable CRITICAL_SECTION textLock;
};
