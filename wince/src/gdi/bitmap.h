// Bitmaps as the rest of the device sees them: 32-bit pixels 0x00RRGGBB,
// rows top to bottom, no padding. Helpers to make one and to reach its pixels.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace wce::gdi {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // width * height, row after row
  // The format the bitmap has on the platform. Inside, every pixel is 32-bit;
  // a monochrome (1) bitmap holds only 0x000000 (bit 0) and 0xFFFFFF (bit 1).
  int bitsPerPixel = 32;
  // Made by CreateBitmap or CreateCompatibleBitmap: GetObjectW shows no bits.
  // Pictures the shell loads are DIB sections and show theirs.
  bool deviceDependent = false;

  bool Mono() const { return bitsPerPixel == 1; }

  uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
  const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
  uint32_t& At(int x, int y) { return Row(y)[x]; }
  uint32_t At(int x, int y) const { return Row(y)[x]; }
};

// The biggest bitmap the device makes. The screen is 480 x 640 and the
// phones this runs on had 64-128 MB of memory in all, so 16 M pixels (64 MB)
// is already far past anything real; the side limit keeps row arithmetic small.
constexpr int kMaxBitmapSide = 16384;
constexpr uint64_t kMaxBitmapPixels = 16ull * 1024 * 1024;

// Both sides positive and within the limits above.
bool BitmapSizeAllowed(uint64_t width, uint64_t height);

// A new bitmap object filled with `rgb`; NULL when the size is not allowed or
// memory runs out.
HBITMAP CreateBitmapObject(int width, int height, uint32_t rgb = 0);
// A device-dependent bitmap of 1 or 32 bits per pixel, black; NULL as above.
HBITMAP CreateDeviceBitmap(int width, int height, int bitsPerPixel);
// Hands a finished bitmap to the object table; NULL when its size is not allowed.
HBITMAP AddBitmap(Bitmap bitmap);
// The bitmap behind a handle, kept alive by the pointer even if the handle is
// deleted meanwhile; null for anything that is not a live bitmap.
std::shared_ptr<Bitmap> FindBitmap(HGDIOBJ handle);

}  // namespace wce::gdi
