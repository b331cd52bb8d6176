// Device contexts: the objects selected into them, their drawing state and
// where they draw (a bitmap, a window's part of the screen, or the screen).
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <mutex>

#include "gdi/objects.h"

namespace wce::gdi {

enum class DCKind {
  Memory,  // draws into its selected bitmap
  Window,  // GetDC(hwnd) / BeginPaint: the window's rectangle of the screen
  Screen,  // GetDC(NULL): the whole screen
};

// The kinds of object a DC holds one each of.
enum class Slot { Bitmap, Brush, Pen, Font };
constexpr size_t kSlotCount = 4;

struct Selected {
  HGDIOBJ handle = nullptr;
  std::shared_ptr<GdiObject> object;
};

// What SelectObject and the Set* calls change; defaults as on the platform.
struct DCState {
  std::array<Selected, kSlotCount> selected;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int stretchMode = BLACKONWHITE;
  POINT brushOrigin{0, 0};
  POINT position{0, 0};  // MoveToEx/LineTo's current position

  Selected& At(Slot slot) { return selected[static_cast<size_t>(slot)]; }
  const Selected& At(Slot slot) const { return selected[static_cast<size_t>(slot)]; }
  const Brush* CurrentBrush() const;
};

struct DeviceContext {
  DeviceContext(DCKind k, HWND w, const RECT* clip)
      : kind(k), hwnd(w), paintClipped(clip != nullptr), paintClip(clip ? *clip : RECT{}) {}

  // Fixed at creation, read without the lock.
  const DCKind kind;
  const HWND hwnd;          // Window DCs
  const bool paintClipped;  // BeginPaint's DC: clipped to the update rectangle
  const RECT paintClip;     // window coordinates

  std::mutex lock;   // guards everything below
  DCState state;
  bool drew = false;  // a window or screen DC changed the screen since it was got
};

// A new DC with the stock brush, pen and font (and for memory DCs the stock
// bitmap) selected. NULL when the stock objects cannot be made.
HDC NewDC(DCKind kind, HWND hwnd = nullptr, const RECT* paintClip = nullptr);
// Null for anything that is not a live DC.
std::shared_ptr<DeviceContext> FindDC(HDC hdc);
// Takes the DC out of the table and deselects what it held; null for a bad
// handle. A window DC that drew tells the host.
std::shared_ptr<DeviceContext> RemoveDC(HDC hdc);
// Device reset: every DC dropped.
void ClearDCs();
// Live DCs of every kind (a DC never released or deleted stays counted).
size_t DCCount();

// SelectObject's rules; returns the previous object of that kind or NULL.
HGDIOBJ Select(DeviceContext& dc, HGDIOBJ object);

}  // namespace wce::gdi
