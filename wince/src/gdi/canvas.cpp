#include "gdi/canvas.h"

#include <climits>

#include "gdi/rects.h"
#include "shell/display_state.h"
#include "user/window_state.h"

namespace wce::gdi {
namespace {

constexpr RECT kEverywhere{0, 0, INT_MAX, INT_MAX};

bool WithinLimits(const RECT& r) {
  for (LONG v : {r.left, r.top, r.right, r.bottom})
    if (v < -kCoordLimit || v > kCoordLimit) return false;
  return true;
}

// A window draws where it shows, less the task bar and the input panel button
// while they are up (they sit above every program window). One moved millions
// of pixels away draws nothing, as it would anyway.
ScreenView WindowView(const DeviceContext& dc) {
  ScreenView view;
  RECT window{};
  if (!user::WindowIsShowing(dc.hwnd) || !user::WindowScreenRect(dc.hwnd, &window)) return view;
  if (!WithinLimits(window)) return view;
  view.origin = POINT{window.left, window.top};
  view.readable = window;
  RECT area = window;
  if (dc.paintClipped) {
    RECT client{0, 0, window.right - window.left, window.bottom - window.top};
    area = Offset(Intersect(dc.paintClip, client), window.left, window.top);
  }
  if (Empty(area)) return view;
  view.visible = Subtract(Subtract({area}, shell::TaskbarRect()), shell::SipButtonRect());
  return view;
}

ScreenView ViewOf(const DeviceContext& dc) {
  switch (dc.kind) {
    case DCKind::Window: return WindowView(dc);
    case DCKind::Screen: return ScreenView{POINT{0, 0}, {kEverywhere}, kEverywhere};
    case DCKind::Memory: break;
  }
  return ScreenView{};
}

Canvas ScreenCanvas(const ScreenAccess& screen, const ScreenView& view) {
  Canvas canvas;
  canvas.pixels = screen.Pixels();
  canvas.width = screen.Width();
  canvas.height = screen.Height();
  canvas.origin = view.origin;
  RECT bounds{0, 0, canvas.width, canvas.height};
  for (const RECT& r : view.visible) {
    RECT part = Intersect(r, bounds);
    if (!Empty(part)) canvas.clip.push_back(part);
  }
  canvas.readable = Intersect(view.readable, bounds);
  return canvas;
}

// The selected bitmap; the shared stock bitmap can be read but not drawn on.
Canvas BitmapCanvas(DCState& state) {
  Canvas canvas;
  Selected& selected = state.At(Slot::Bitmap);
  Bitmap* bitmap = selected.object ? std::get_if<Bitmap>(&selected.object->payload) : nullptr;
  if (!bitmap) return canvas;
  canvas.pixels = bitmap->pixels.data();
  canvas.width = bitmap->width;
  canvas.height = bitmap->height;
  canvas.readable = RECT{0, 0, bitmap->width, bitmap->height};
  canvas.mono = bitmap->Mono();
  if (!selected.object->stock) canvas.clip.push_back(canvas.readable);
  return canvas;
}

}  // namespace

DrawSession::DrawSession(DeviceContext& target, DeviceContext* source)
    : dc_(target), source_(source), targetView_(ViewOf(target)) {
  if (source_) sourceView_ = ViewOf(*source_);
  targetLock_ = std::unique_lock<std::mutex>(dc_.lock, std::defer_lock);
  if (source_ && source_ != &dc_) {
    sourceLock_ = std::unique_lock<std::mutex>(source_->lock, std::defer_lock);
    std::lock(targetLock_, sourceLock_);  // two threads may copy between the same two DCs
  } else {
    targetLock_.lock();
  }
  bool onScreen = dc_.kind != DCKind::Memory || (source_ && source_->kind != DCKind::Memory);
  if (onScreen) screen_.emplace();
  target_ = dc_.kind == DCKind::Memory ? BitmapCanvas(dc_.state) : ScreenCanvas(*screen_, targetView_);
  if (source_)
    sourceCanvas_ =
        source_->kind == DCKind::Memory ? BitmapCanvas(source_->state) : ScreenCanvas(*screen_, sourceView_);
}

}  // namespace wce::gdi
