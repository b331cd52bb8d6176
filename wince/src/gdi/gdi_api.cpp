// The object functions of wingdi.h that work on any GDI object.
#include <windows.h>

#include <cstring>

#include "gdi/dc.h"
#include "gdi/objects.h"

namespace wce::gdi {
namespace {

// GetObjectW for one record type: its size with no buffer, 0 when the buffer
// is too small, else the record copied out.
template <class Record>
int CopyOut(const Record& record, int size, void* buffer) {
  if (!buffer) return sizeof(Record);
  if (size < static_cast<int>(sizeof(Record))) return 0;
  std::memcpy(buffer, &record, sizeof record);
  return sizeof(Record);
}

int Describe(const Brush& brush, int size, void* buffer) {
  return CopyOut(LOGBRUSH{brush.style, brush.color, 0}, size, buffer);
}

int Describe(const Pen& pen, int size, void* buffer) {
  return CopyOut(LOGPEN{pen.style, POINT{pen.width, 0}, pen.color}, size, buffer);
}

int Describe(const Font& font, int size, void* buffer) { return CopyOut(LogFontOf(font), size, buffer); }

// Device-dependent bitmaps keep their bits to themselves and count rows in
// whole words, as the platform does; DIB sections show our 32-bit rows.
int Describe(const Bitmap& bitmap, int size, void* buffer) {
  BITMAP info{};
  info.bmType = 0;
  info.bmWidth = bitmap.width;
  info.bmHeight = bitmap.height;  // positive: rows run top-down in memory
  info.bmPlanes = 1;
  info.bmBitsPixel = static_cast<WORD>(bitmap.bitsPerPixel);
  if (bitmap.deviceDependent) {
    info.bmWidthBytes = (bitmap.width * bitmap.bitsPerPixel + 15) / 16 * 2;
    info.bmBits = nullptr;
  } else {
    info.bmWidthBytes = bitmap.width * 4;
    info.bmBits = const_cast<uint32_t*>(bitmap.pixels.data());
  }
  return CopyOut(info, size, buffer);
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
  if (std::shared_ptr<DeviceContext> dc = FindDC(static_cast<HDC>(h)))
    return dc->kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
  std::shared_ptr<GdiObject> object = FindObject(h);
  return object ? ObjectType(*object) : 0;
}

}  // extern "C"
