// The PNG loader on arbitrary bytes: whatever it accepts must be a sane
// bitmap whose every pixel can be read, and must delete cleanly.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "gdi/bitmap.h"
#include "shell/png_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  HBITMAP bitmap = wce::LoadPngFromMemory(data, size);
  if (!bitmap) return 0;
  BITMAP info{};
  if (GetObjectW(bitmap, sizeof info, &info) != static_cast<int>(sizeof info)) std::abort();
  if (!wce::gdi::BitmapSizeAllowed(info.bmWidth, info.bmHeight) || info.bmBitsPixel != 32 ||
      info.bmWidthBytes != info.bmWidth * 4 || info.bmBits == nullptr)
    std::abort();
  const auto* pixels = static_cast<const uint32_t*>(info.bmBits);
  uint32_t spare = 0;  // high bytes stay clear: 0x00RRGGBB
  for (size_t i = 0; i < size_t(info.bmWidth) * info.bmHeight; ++i) spare |= pixels[i] & 0xFF000000u;
  if (spare != 0) std::abort();
  if (!DeleteObject(bitmap) || DeleteObject(bitmap) || GetObjectType(bitmap) != 0) std::abort();
  return 0;
}
