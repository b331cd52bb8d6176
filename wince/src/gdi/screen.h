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

// Runs `draw` with the framebuffer (width x height, 0x00RRGGBB, top-down)
// under the screen's lock, then tells the host the picture changed.
void DrawOnScreen(const std::function<void(uint32_t* pixels, int width, int height)>& draw);
// Fills `rect` (screen coordinates, clipped) with `rgb`; the desktop behind
// every window.
void FillScreenRect(const RECT& rect, uint32_t rgb);
// Tells the host the screen changed (after drawing through a window DC).
void ScreenChanged();

}  // namespace wce::gdi
