// Pictures: SHLoadImageFile through Windows' own decoder (WIC), PNG only as
// on the phone, and CE's
// TransparentImage on top of desktop's TransparentBlt.
#include <aygshell.h>
#include <wincodec.h>

#include <array>

namespace {

// As on the phone: pictures beyond this side are refused, not half-loaded.
const UINT kMaxSide = 16384;
// Far above any picture within that limit, even stored without compression.
const DWORD kMaxFileBytes = 256u << 20;

constexpr std::array<DWORD, 256> MakeCrcTable() {
  std::array<DWORD, 256> table{};
  for (DWORD n = 0; n < 256; ++n) {
    DWORD c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<DWORD, 256> kCrcTable = MakeCrcTable();

DWORD Crc32(const BYTE* data, DWORD length) {
  DWORD crc = 0xFFFFFFFFu;
  for (DWORD i = 0; i < length; ++i) crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

DWORD BigEndian(const BYTE* p) {
  return (static_cast<DWORD>(p[0]) << 24) | (static_cast<DWORD>(p[1]) << 16) | (static_cast<DWORD>(p[2]) << 8) | p[3];
}

// A PNG whose chunks all hold together up to IEND. Windows' decoder skips
// checksums; the phone's refuses a damaged file, and so do we.
bool ChunksIntact(const BYTE* data, DWORD size) {
  static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size < 8 || memcmp(data, kSignature, 8) != 0) return false;
  DWORD at = 8;
  while (size - at >= 12) {
    DWORD length = BigEndian(data + at);
    if (length > size - at - 12) return false;
    if (Crc32(data + at + 4, length + 4) != BigEndian(data + at + 8 + length)) return false;
    if (memcmp(data + at + 4, "IEND", 4) == 0) return true;
    at += 12 + length;
  }
  return false;
}

// The whole file in a heap block, or NULL.
BYTE* ReadWholeFile(LPCWSTR fileName, DWORD* size) {
  HANDLE file = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return NULL;
  LARGE_INTEGER length = {};
  BYTE* bytes = NULL;
  DWORD got = 0;
  if (GetFileSizeEx(file, &length) && length.QuadPart > 0 && length.QuadPart <= kMaxFileBytes) {
    bytes = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(length.QuadPart)));
    if (bytes != NULL && (!ReadFile(file, bytes, static_cast<DWORD>(length.QuadPart), &got, NULL) ||
                          got != static_cast<DWORD>(length.QuadPart))) {
      HeapFree(GetProcessHeap(), 0, bytes);
      bytes = NULL;
    }
  }
  CloseHandle(file);
  *size = got;
  return bytes;
}

template <typename T>
void Release(T*& object) {
  if (object != NULL) object->Release();
  object = NULL;
}

// A 24-bit top-down DIB section with the decoded pixels; alpha is dropped, as
// the phone's loader gives an opaque bitmap.
HBITMAP DecodeOpaque(IWICImagingFactory* factory, BYTE* data, DWORD size) {
  IWICStream* stream = NULL;
  IWICBitmapDecoder* decoder = NULL;
  IWICBitmapFrameDecode* frame = NULL;
  IWICFormatConverter* converter = NULL;
  HBITMAP bitmap = NULL;
  UINT width = 0;
  UINT height = 0;
  if (SUCCEEDED(factory->CreateStream(&stream)) && SUCCEEDED(stream->InitializeFromMemory(data, size)) &&
      SUCCEEDED(factory->CreateDecoderFromStream(stream, NULL, WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) && width > 0 &&
      height > 0 && width <= kMaxSide && height <= kMaxSide && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
      SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, NULL, 0.0,
                                      WICBitmapPaletteTypeCustom))) {
    // Every decoder converts to 32-bit BGRA (Wine's cannot go from a palette
    // to 24 bits); the alpha byte is then dropped row by row.
    UINT sourceStride = width * 4;
    BYTE* pixels = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(sourceStride) * height));
    if (pixels != NULL && SUCCEEDED(converter->CopyPixels(NULL, sourceStride, sourceStride * height, pixels))) {
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
      for (UINT y = 0; bitmap != NULL && y < height; ++y) {
        const BYTE* from = pixels + static_cast<SIZE_T>(y) * sourceStride;
        BYTE* to = static_cast<BYTE*>(bits) + static_cast<SIZE_T>(y) * stride;
        for (UINT x = 0; x < width; ++x, from += 4, to += 3) {
          to[0] = from[0];
          to[1] = from[1];
          to[2] = from[2];
        }
      }
    }
    if (pixels != NULL) HeapFree(GetProcessHeap(), 0, pixels);
  }
  Release(converter);
  Release(frame);
  Release(decoder);
  Release(stream);
  return bitmap;
}

}  // namespace

extern "C" {

HBITMAP WINAPI SHLoadImageFile(LPCWSTR fileName) {
  if (fileName == NULL || fileName[0] == L'\0') return NULL;
  DWORD size = 0;
  BYTE* data = ReadWholeFile(fileName, &size);
  if (data == NULL) return NULL;
  if (!ChunksIntact(data, size)) {
    HeapFree(GetProcessHeap(), 0, data);
    return NULL;
  }
  // The loader thread may not have COM yet; this call brings and ends its own.
  HRESULT com = CoInitializeEx(NULL, COINIT_MULTITHREADED);
  IWICImagingFactory* factory = NULL;
  HBITMAP bitmap = NULL;
  if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(&factory)))) {
    bitmap = DecodeOpaque(factory, data, size);
  }
  Release(factory);
  if (SUCCEEDED(com)) CoUninitialize();
  HeapFree(GetProcessHeap(), 0, data);
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
