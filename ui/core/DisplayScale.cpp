#include "ui/core/DisplayScale.h"

#include <cstdint>

namespace {

const int kDesignDpi = 96;
// No screen has 0 dpi: the cache is empty.
const LONG kUnread = 0;

LONG volatile cachedDpiX = kUnread;
LONG volatile cachedDpiY = kUnread;

int ReadScreenDpi(int index) {
  HDC screen = GetDC(NULL);
  if (screen == NULL) return -1;
  int dpi = GetDeviceCaps(screen, index);
  ReleaseDC(NULL, screen);
  return dpi;
}

// The loader thread and the UI thread may both ask first: each reads the same
// screen, so whichever stores last stores the same value.
int CachedDpi(LONG volatile* cache, int index) {
  LONG dpi = InterlockedCompareExchange(cache, kUnread, kUnread);
  if (dpi != kUnread) return dpi;
  dpi = ReadScreenDpi(index);
  InterlockedExchange(cache, dpi);
  return dpi;
}

}  // namespace

int MulDivRound(int a, int b, int c) {
  // Wide enough that no product of two ints overflows on the way.
  int64_t magnitude = a < 0 ? -static_cast<int64_t>(a) : a;
  int64_t rounded = (magnitude * b + (c >> 1)) / c;
  return static_cast<int>(a < 0 ? -rounded : rounded);
}

int GetScreenDpiX() { return CachedDpi(&cachedDpiX, LOGPIXELSX); }

int GetScreenDpiY() { return CachedDpi(&cachedDpiY, LOGPIXELSY); }

void ResetScreenDpi() {
  InterlockedExchange(&cachedDpiX, kUnread);
  InterlockedExchange(&cachedDpiY, kUnread);
}

int ScaleX(int n) { return MulDivRound(n, GetScreenDpiX(), kDesignDpi); }

int ScaleY(int n) { return MulDivRound(n, GetScreenDpiY(), kDesignDpi); }
