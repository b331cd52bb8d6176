// Where one drawing call lands: the pixels behind a DC, the DC's origin on
// them and the parts it may touch, with every lock that takes held.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "gdi/dc.h"
#include "gdi/screen.h"

namespace wce::gdi {

struct Canvas {
  uint32_t* pixels = nullptr;  // rows of `width` pixels
  int width = 0;
  int height = 0;
  POINT origin{0, 0};     // the DC's (0, 0) on the pixels
  std::vector<RECT> clip;  // where drawing may land, pixel coordinates, disjoint
  RECT readable{};         // where pixels may be read, pixel coordinates
  bool mono = false;       // a monochrome bitmap: pixels are 0 or 0xFFFFFF
};

// Where a window or screen DC sits on the screen. Asked of the user layer and
// the shell before any GDI lock is taken: they have locks of their own.
struct ScreenView {
  POINT origin{0, 0};
  std::vector<RECT> visible;  // screen coordinates, not yet cut to the framebuffer
  RECT readable{};
};

// Locks the destination DC, the source DC if there is one, and the screen if
// either is on it, for the length of one call.
class DrawSession {
 public:
  explicit DrawSession(DeviceContext& target, DeviceContext* source = nullptr);
  DrawSession(const DrawSession&) = delete;
  DrawSession& operator=(const DrawSession&) = delete;

  const Canvas& Target() const { return target_; }
  const Canvas* Source() const { return source_ ? &sourceCanvas_ : nullptr; }
  DCState& State() { return dc_.state; }
  // The source DC's state (its background colour turns colour into monochrome).
  const DCState* SourceState() const { return source_ ? &source_->state : nullptr; }
  // Call after pixels of the target changed; window and screen DCs then tell
  // the host on release.
  void Drew() {
    if (dc_.kind != DCKind::Memory) dc_.drew = true;
  }

 private:
  DeviceContext& dc_;
  DeviceContext* source_;
  ScreenView targetView_;
  ScreenView sourceView_;
  std::unique_lock<std::mutex> targetLock_;
  std::unique_lock<std::mutex> sourceLock_;
  std::optional<ScreenAccess> screen_;
  Canvas target_;
  Canvas sourceCanvas_;
};

}  // namespace wce::gdi
