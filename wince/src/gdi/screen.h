// The emulated screen: one 32-bit framebuffer that top-level windows draw into
// through their window DCs (as on the device: no compositor). The shell draws
// the task bar on it; the host reads it through CaptureScreen.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include <windows.h>

namespace wce::gdi {

// The desktop behind every window, and the whole screen at start.
constexpr uint32_t kDesktopRgb = 0x00305070;

// Runs `draw` with the framebuffer (width x height, 0x00RRGGBB, top-down)
// under the screen's lock, then tells the host the picture changed.
void DrawOnScreen(const std::function<void(uint32_t* pixels, int width, int height)>& draw);
// Fills `rect` (screen coordinates, clipped) with `rgb`; the desktop behind
// every window.
void FillScreenRect(const RECT& rect, uint32_t rgb);
// Tells the host the screen changed (after drawing through a window DC).
void ScreenChanged();

// ---- for GDI's own drawing ----

// Holds the screen's lock while it lives. The framebuffer follows the
// device's screen size, but only while no window DC is out: a DC that is
// drawing keeps the buffer it started with.
class ScreenAccess {
 public:
  ScreenAccess();
  uint32_t* Pixels() const;
  int Width() const;
  int Height() const;

 private:
  std::unique_lock<std::mutex> lock_;
};

// Window and screen DCs in use, counted for the rule above.
void WindowDCOpened();
void WindowDCClosed();
// Device reset: a fresh desktop at the current size, no DC counted.
void ResetScreen();

}  // namespace wce::gdi
