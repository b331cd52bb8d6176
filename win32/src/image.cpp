// Pictures: SHLoadImageFile through Windows' own decoder (WIC), and CE's
// TransparentImage on top of desktop's TransparentBlt.
#include <aygshell.h>
#include <wincodec.h>

namespace {

// As on the phone: pictures beyond this side are refused, not half-loaded.
const UINT kMaxSide = 16384;

template <typename T>
void Release(T*& object) {
  if (object != NULL) object->Release();
  object = NULL;
}

// A 24-bit top-down DIB section with the decoded pixels; alpha is dropped, as
// the phone's loader gives an opaque bitmap.
HBITMAP DecodeOpaque(IWICImagingFactory* factory, LPCWSTR fileName) {
  IWICBitmapDecoder* decoder = NULL;
  IWICBitmapFrameDecode* frame = NULL;
  IWICFormatConverter* converter = NULL;
  HBITMAP bitmap = NULL;
  UINT width = 0;
  UINT height = 0;
  if (SUCCEEDED(factory->CreateDecoderFromFilename(fileName, NULL, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                   &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) && width > 0 &&
      height > 0 && width <= kMaxSide && height <= kMaxSide && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, NULL, 0.0,
                                      WICBitmapPaletteTypeCustom))) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    UINT stride = (width * 3 + 3) & ~3u;
    if (bitmap != NULL &&
        FAILED(converter->CopyPixels(NULL, stride, stride * height, static_cast<BYTE*>(bits)))) {
      DeleteObject(bitmap);
      bitmap = NULL;
    }
  }
  Release(converter);
  Release(frame);
  Release(decoder);
  return bitmap;
}

}  // namespace

extern "C" {

HBITMAP WINAPI SHLoadImageFile(LPCWSTR fileName) {
  if (fileName == NULL || fileName[0] == L'\0') return NULL;
  // The loader thread may not have COM yet; this call brings and ends its own.
  HRESULT com = CoInitializeEx(NULL, COINIT_MULTITHREADED);
  IWICImagingFactory* factory = NULL;
  HBITMAP bitmap = NULL;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(&factory)))) {
    bitmap = DecodeOpaque(factory, fileName);
  }
  Release(factory);
  if (SUCCEEDED(com)) CoUninitialize();
  return bitmap;
}

BOOL WINAPI TransparentImage(HDC dest, int destX, int destY, int destWidth, int destHeight, HANDLE source,
                             int sourceX, int sourceY, int sourceWidth, int sourceHeight, COLORREF key) {
  if (GetObjectType(source) != OBJ_BITMAP) {
    return TransparentBlt(dest, destX, destY, destWidth, destHeight, static_cast<HDC>(source), sourceX, sourceY,
                          sourceWidth, sourceHeight, key);
  }
  // A bitmap not selected anywhere: it is lent to a memory DC for the copy.
  HDC memory = CreateCompatibleDC(dest);
  if (memory == NULL) return FALSE;
  HGDIOBJ old = SelectObject(memory, source);
  BOOL copied = FALSE;
  if (old != NULL && old != HGDI_ERROR) {
    copied = TransparentBlt(dest, destX, destY, destWidth, destHeight, memory, sourceX, sourceY, sourceWidth,
                            sourceHeight, key);
    SelectObject(memory, old);
  }
  DeleteDC(memory);
  return copied;
}

}  // extern "C"
