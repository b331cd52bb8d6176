// The object functions of wingdi.h that work on any GDI object.
#include <windows.h>

#include <cstring>

#include "gdi/objects.h"

namespace wce::gdi {
namespace {

// GetObjectW for one payload kind; fonts, brushes and pens add overloads.
int Describe(const Bitmap& bitmap, int size, void* buffer) {
  if (!buffer) return sizeof(BITMAP);
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP info{};
  info.bmType = 0;
  info.bmWidth = bitmap.width;
  info.bmHeight = bitmap.height;  // positive: rows run top-down in memory
  info.bmWidthBytes = bitmap.width * 4;
  info.bmPlanes = 1;
  info.bmBitsPixel = 32;
  info.bmBits = const_cast<uint32_t*>(bitmap.pixels.data());
  std::memcpy(buffer, &info, sizeof info);
  return sizeof(BITMAP);
}

}  // namespace
}  // namespace wce::gdi

using namespace wce::gdi;

extern "C" {

int WINAPI GetObjectW(HGDIOBJ h, int c, LPVOID pv) {
  std::shared_ptr<GdiObject> object = FindObject(h);
  if (!object) return 0;
  return std::visit([&](const auto& payload) { return Describe(payload, c, pv); }, object->payload);
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  switch (RemoveObject(ho)) {
    case RemoveResult::Removed:
    case RemoveResult::Stock:  // stock objects are never freed, but the call succeeds
      return TRUE;
    case RemoveResult::Selected:  // refused rather than leaving a DC with a dangling object
    case RemoveResult::NotAnObject:
      return FALSE;
  }
  return FALSE;
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
  std::shared_ptr<GdiObject> object = FindObject(h);
  return object ? ObjectType(*object) : 0;
}

}  // extern "C"
