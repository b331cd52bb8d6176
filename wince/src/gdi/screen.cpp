#include "gdi/screen.h"

#include <algorithm>
#include <atomic>

#include "device/device.h"

namespace wce::gdi {
namespace {

struct Screen {
  std::mutex lock;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  int windowDCs = 0;
};

Screen& TheScreen() {
  static Screen screen;
  return screen;
}

// Kept apart from the screen's lock: the host's callback runs after drawing,
// with nothing of the screen held.
struct ChangedCallback {
  std::mutex lock;
  std::function<void()> callback;
};

ChangedCallback& Changed() {
  static ChangedCallback changed;
  return changed;
}

std::atomic<int> gDpiX{192};
std::atomic<int> gDpiY{192};

void Recreate(Screen& screen, ScreenSize size) {
  screen.width = size.width;
  screen.height = size.height;
  screen.pixels.assign(static_cast<size_t>(size.width) * size.height, kDesktopRgb);
}

// With the screen's lock held.
void FollowScreenSize(Screen& screen) {
  ScreenSize size = GetScreenSize();
  if (size.width == screen.width && size.height == screen.height) return;
  if (screen.windowDCs > 0 && !screen.pixels.empty()) return;
  Recreate(screen, size);
}

}  // namespace

ScreenAccess::ScreenAccess() : lock_(TheScreen().lock) { FollowScreenSize(TheScreen()); }
uint32_t* ScreenAccess::Pixels() const { return TheScreen().pixels.data(); }
int ScreenAccess::Width() const { return TheScreen().width; }
int ScreenAccess::Height() const { return TheScreen().height; }

void DrawOnScreen(const std::function<void(uint32_t* pixels, int width, int height)>& draw) {
  {
    ScreenAccess screen;
    draw(screen.Pixels(), screen.Width(), screen.Height());
  }
  ScreenChanged();
}

void FillScreenRect(const RECT& rect, uint32_t rgb) {
  {
    ScreenAccess screen;
    int left = std::max<int>(rect.left, 0), top = std::max<int>(rect.top, 0);
    int right = std::min<int>(rect.right, screen.Width()), bottom = std::min<int>(rect.bottom, screen.Height());
    if (left >= right || top >= bottom) return;
    for (int y = top; y < bottom; ++y) {
      uint32_t* row = screen.Pixels() + static_cast<size_t>(y) * screen.Width();
      std::fill(row + left, row + right, rgb & 0xFFFFFF);
    }
  }
  ScreenChanged();
}

void ScreenChanged() {
  ChangedCallback& changed = Changed();
  // Held while calling, so that once SetScreenChangedCallback returns the old
  // callback is never called again.
  std::lock_guard<std::mutex> guard(changed.lock);
  if (changed.callback) changed.callback();
}

void WindowDCOpened() {
  std::lock_guard<std::mutex> guard(TheScreen().lock);
  TheScreen().windowDCs++;
}

void WindowDCClosed() {
  std::lock_guard<std::mutex> guard(TheScreen().lock);
  if (TheScreen().windowDCs > 0) TheScreen().windowDCs--;
}

void ResetScreen() {
  Screen& screen = TheScreen();
  std::lock_guard<std::mutex> guard(screen.lock);
  screen.windowDCs = 0;
  Recreate(screen, GetScreenSize());
}

}  // namespace wce::gdi

namespace wce {

void SetScreenDpi(int dpiX, int dpiY) {
  if (dpiX <= 0 || dpiY <= 0) return;
  gdi::gDpiX = dpiX;
  gdi::gDpiY = dpiY;
}

int GetScreenDpiX() { return gdi::gDpiX; }
int GetScreenDpiY() { return gdi::gDpiY; }

ScreenImage CaptureScreen() {
  gdi::ScreenAccess screen;
  ScreenImage image;
  image.width = screen.Width();
  image.height = screen.Height();
  image.pixels.assign(screen.Pixels(), screen.Pixels() + static_cast<size_t>(image.width) * image.height);
  return image;
}

void SetScreenChangedCallback(std::function<void()> callback) {
  std::lock_guard<std::mutex> guard(gdi::Changed().lock);
  gdi::Changed().callback = std::move(callback);
}

}  // namespace wce
