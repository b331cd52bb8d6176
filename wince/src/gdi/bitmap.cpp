#include "gdi/bitmap.h"

#include <new>
#include <utility>

#include "gdi/objects.h"

namespace wce::gdi {

bool BitmapSizeAllowed(uint64_t width, uint64_t height) {
  if (width == 0 || height == 0) return false;
  if (width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
  return width * height <= kMaxBitmapPixels;
}

HBITMAP CreateBitmapObject(int width, int height, uint32_t rgb) {
  if (width <= 0 || height <= 0 || !BitmapSizeAllowed(width, height)) return nullptr;
  try {
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.assign(static_cast<size_t>(width) * height, rgb & 0xFFFFFF);
    return AddBitmap(std::move(bitmap));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

HBITMAP CreateDeviceBitmap(int width, int height, int bitsPerPixel) {
  if (width <= 0 || height <= 0 || !BitmapSizeAllowed(width, height)) return nullptr;
  try {
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.pixels.assign(static_cast<size_t>(width) * height, 0);
    bitmap.bitsPerPixel = bitsPerPixel;
    bitmap.deviceDependent = true;
    return AddBitmap(std::move(bitmap));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

HBITMAP AddBitmap(Bitmap bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0 || !BitmapSizeAllowed(bitmap.width, bitmap.height))
    return nullptr;
  if (bitmap.pixels.size() != static_cast<size_t>(bitmap.width) * bitmap.height) return nullptr;
  return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

std::shared_ptr<Bitmap> FindBitmap(HGDIOBJ handle) {
  std::shared_ptr<GdiObject> object = FindObject(handle);
  if (!object) return nullptr;
  Bitmap* bitmap = std::get_if<Bitmap>(&object->payload);
  if (!bitmap) return nullptr;
  return std::shared_ptr<Bitmap>(object, bitmap);  // shares the object's lifetime
}

}  // namespace wce::gdi
