#include "ui/core/DrawingPrimitives.h"

#include <string.h>

namespace {

// A memory DC compatible with the target with `bitmap` selected; NULL when
// either step fails (a bitmap already selected elsewhere, say).
HDC SelectIntoMemoryDC(HDC target, HBITMAP bitmap, HGDIOBJ* previous) {
  // Anything else would select happily too (a brush) and copy the DC's own pixels.
  if (GetObjectType(bitmap) != OBJ_BITMAP) return NULL;
  HDC memory = CreateCompatibleDC(target);
  if (memory == NULL) return NULL;
  *previous = SelectObject(memory, bitmap);
  if (*previous == NULL) {
    DeleteDC(memory);
    return NULL;
  }
  return memory;
}

// The stock bitmap goes back first, so the borrowed one is selected nowhere.
void ReleaseMemoryDC(HDC memory, HGDIOBJ previous) {
  SelectObject(memory, previous);
  DeleteDC(memory);
}

// Centred top-left corner of a w x h picture; truncation toward zero puts an
// odd pixel on the right and bottom, and an overhang one pixel more there.
POINT CenteredOrigin(const RECT* rect, LONG width, LONG height) {
  POINT origin;
  origin.x = rect->left + (rect->right - rect->left - width) / 2;
  origin.y = rect->top + (rect->bottom - rect->top - height) / 2;
  return origin;
}

// The bitmap's width and height; FALSE for a null or non-bitmap handle.
BOOL MeasureBitmap(HBITMAP bitmap, SIZE* size) {
  BITMAPINFOHEADER header;
  memset(&header, 0, sizeof(header));
  if (!GetBitmapHeader(&header, bitmap)) return FALSE;
  size->cx = header.biWidth;
  size->cy = header.biHeight;
  return TRUE;
}

enum CopyKind { CopyStretched, CopyKeyed };

// The whole `size` of the bitmap onto `box`: StretchBlt with the raster
// operation, or TransparentImage leaving out the key colour.
void CopyWholeBitmap(HDC target, const RECT& box, HBITMAP bitmap, SIZE size, CopyKind kind, DWORD ropOrKey) {
  HGDIOBJ previous = NULL;
  HDC memory = SelectIntoMemoryDC(target, bitmap, &previous);
  if (memory == NULL) return;
  int width = box.right - box.left;
  int height = box.bottom - box.top;
  if (kind == CopyKeyed) {
    TransparentImage(target, box.left, box.top, width, height, memory, 0, 0, size.cx, size.cy, ropOrKey);
  } else {
    StretchBlt(target, box.left, box.top, width, height, memory, 0, 0, size.cx, size.cy, ropOrKey);
  }
  ReleaseMemoryDC(memory, previous);
}

COLOR16 Channel16(COLORREF color, int shift) { return static_cast<COLOR16>(((color >> shift) & 0xFF) << 8); }

TRIVERTEX Vertex(int x, int y, COLORREF color) {
  TRIVERTEX vertex;
  vertex.x = x;
  vertex.y = y;
  vertex.Red = Channel16(color, 0);
  vertex.Green = Channel16(color, 8);
  vertex.Blue = Channel16(color, 16);
  vertex.Alpha = 0;
  return vertex;
}

}  // namespace

BOOL BlendCopy(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
               int sourceWidth, int sourceHeight, UINT alpha) {
  BLENDFUNCTION blend;
  blend.BlendOp = AC_SRC_OVER;
  blend.BlendFlags = 0;
  blend.SourceConstantAlpha = static_cast<BYTE>(alpha & 0xFF);
  blend.AlphaFormat = 0;
  return AlphaBlend(target, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, blend);
}

BOOL BlendCopyWhole(HDC target, int x, int y, int width, int height, HDC source, UINT alpha) {
  return BlendCopy(target, x, y, width, height, source, 0, 0, width, height, alpha);
}

void BlitBitmap(HDC target, int x, int y, int width, int height, HBITMAP bitmap, DWORD rop) {
  if (bitmap == NULL) return;
  HGDIOBJ previous = NULL;
  HDC memory = SelectIntoMemoryDC(target, bitmap, &previous);
  if (memory == NULL) return;
  BitBlt(target, x, y, width, height, memory, 0, 0, rop);
  ReleaseMemoryDC(memory, previous);
}

BOOL GetBitmapHeader(BITMAPINFOHEADER* header, HBITMAP bitmap) {
  if (header == NULL) return FALSE;
  BITMAP info;
  memset(&info, 0, sizeof(info));
  // Other objects answer too, with a record of their own size.
  if (GetObjectW(bitmap, sizeof(info), &info) != static_cast<int>(sizeof(info))) return FALSE;
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = info.bmWidth;
  header->biHeight = info.bmHeight;
  header->biPlanes = info.bmPlanes;
  header->biBitCount = info.bmBitsPixel;
  header->biCompression = BI_RGB;
  header->biSizeImage = 0;
  header->biClrUsed = 0;
  header->biClrImportant = 0;
  return TRUE;
}

RECT* ShrinkRect(RECT* rect, int left, int top, int right, int bottom) {
  rect->left += left;
  rect->top += top;
  rect->right -= right;
  rect->bottom -= bottom;
  return rect;
}

void DrawBitmapCentered(HDC target, const RECT* rect, HBITMAP bitmap) {
  DrawBitmapCenteredRop(target, rect, bitmap, SRCCOPY);
}

void DrawBitmapCenteredRop(HDC target, const RECT* rect, HBITMAP bitmap, DWORD rop) {
  SIZE size;
  if (bitmap == NULL || rect == NULL || !MeasureBitmap(bitmap, &size)) return;
  POINT origin = CenteredOrigin(rect, size.cx, size.cy);
  BlitBitmap(target, origin.x, origin.y, size.cx, size.cy, bitmap, rop);
}

void DrawMaskedCentered(HDC target, const RECT* rect, HBITMAP image, HBITMAP mask) {
  DrawBitmapCenteredRop(target, rect, mask, SRCAND);
  DrawBitmapCenteredRop(target, rect, image, SRCPAINT);
}

void DrawKeyedCentered(HDC target, const RECT* rect, HBITMAP bitmap, COLORREF key) {
  SIZE size;
  if (rect == NULL || !MeasureBitmap(bitmap, &size)) return;
  POINT origin = CenteredOrigin(rect, size.cx, size.cy);
  RECT box = {origin.x, origin.y, origin.x + size.cx, origin.y + size.cy};
  CopyWholeBitmap(target, box, bitmap, size, CopyKeyed, key);
}

void DrawBitmapStretched(HDC target, const RECT* rect, HBITMAP bitmap) {
  DrawBitmapStretchedRop(target, rect, bitmap, SRCCOPY);
}

void DrawBitmapStretchedRop(HDC target, const RECT* rect, HBITMAP bitmap, DWORD rop) {
  SIZE size;
  if (bitmap == NULL || rect == NULL || !MeasureBitmap(bitmap, &size)) return;
  CopyWholeBitmap(target, *rect, bitmap, size, CopyStretched, rop);
}

void DrawMaskedStretched(HDC target, const RECT* rect, HBITMAP image, HBITMAP mask) {
  DrawBitmapStretchedRop(target, rect, mask, SRCAND);
  DrawBitmapStretchedRop(target, rect, image, SRCPAINT);
}

void DrawKeyedStretched(HDC target, const RECT* rect, HBITMAP bitmap, COLORREF key) {
  SIZE size;
  if (rect == NULL || !MeasureBitmap(bitmap, &size)) return;
  CopyWholeBitmap(target, *rect, bitmap, size, CopyKeyed, key);
}

void DrawTextInRect(HDC target, LPCWSTR text, const RECT* rect, UINT format, COLORREF color, HFONT font) {
  if (text == NULL || rect == NULL) return;
  int previousMode = SetBkMode(target, TRANSPARENT);
  HGDIOBJ previousFont = SelectObject(target, font);
  COLORREF previousColor = SetTextColor(target, color);
  // DrawTextW may write to its rectangle; the caller's stays as it was.
  RECT box = *rect;
  DrawTextW(target, text, -1, &box, format);
  SetBkMode(target, previousMode);
  SetTextColor(target, previousColor);
  // A NULL font selected nothing, so there is nothing to put back either.
  if (previousFont != NULL) SelectObject(target, previousFont);
}

void DrawStyledText(HDC target, LPCWSTR text, const RECT* rect, const TextStyle* style, BOOL down) {
  if (rect == NULL || style == NULL) return;
  RECT box = *rect;
  ShrinkRect(&box, style->margins.left, style->margins.top, style->margins.right, style->margins.bottom);
  DrawTextInRect(target, text, &box, style->format, down ? style->pressedColor : style->color, style->font);
}

void FillSolid(HDC target, const RECT* rect, COLORREF color) {
  if (rect == NULL) return;
  HBRUSH brush = CreateSolidBrush(color);
  if (brush == NULL) return;
  FillRect(target, rect, brush);
  DeleteObject(brush);
}

BOOL CreateOffscreenCanvas(HDC target, int width, int height, OffscreenCanvas* canvas) {
  if (canvas == NULL) return FALSE;
  canvas->dc = CreateCompatibleDC(target);
  if (canvas->dc == NULL) return FALSE;
  // From the target: a new memory DC only holds a one-pixel monochrome bitmap.
  canvas->bitmap = CreateCompatibleBitmap(target, width, height);
  if (canvas->bitmap == NULL) {
    DeleteDC(canvas->dc);
    canvas->dc = NULL;
    return FALSE;
  }
  canvas->previous = SelectObject(canvas->dc, canvas->bitmap);
  canvas->width = width;
  canvas->height = height;
  return TRUE;
}

void CopyOffscreenCanvas(HDC target, int x, int y, const OffscreenCanvas* canvas) {
  if (canvas == NULL || canvas->dc == NULL) return;
  BitBlt(target, x, y, canvas->width, canvas->height, canvas->dc, 0, 0, SRCCOPY);
}

void ReleaseOffscreenCanvas(OffscreenCanvas* canvas) {
  if (canvas == NULL || canvas->dc == NULL) return;
  SelectObject(canvas->dc, canvas->previous);
  DeleteDC(canvas->dc);
  DeleteObject(canvas->bitmap);
  canvas->dc = NULL;
  canvas->bitmap = NULL;
}

void DrawLine(HDC target, int x1, int y1, int x2, int y2, HPEN pen) {
  int previousMode = SetBkMode(target, TRANSPARENT);
  HGDIOBJ previousPen = SelectObject(target, pen);
  MoveToEx(target, x1, y1, NULL);
  LineTo(target, x2, y2);
  SetBkMode(target, previousMode);
  if (previousPen != NULL) SelectObject(target, previousPen);
}

void FillPattern(HDC target, const RECT* rect, HBITMAP bitmap, DWORD rop) {
  if (rect == NULL || bitmap == NULL) return;
  int width = rect->right - rect->left;
  int height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0) return;
  OffscreenCanvas canvas;
  if (!CreateOffscreenCanvas(target, width, height, &canvas)) return;
  HBRUSH pattern = CreatePatternBrush(bitmap);
  if (pattern != NULL) {
    HGDIOBJ previousBrush = SelectObject(canvas.dc, pattern);
    // Painted at (0, 0) of its own canvas, the tiling starts at the rectangle's corner.
    PatBlt(canvas.dc, 0, 0, width, height, rop);
    CopyOffscreenCanvas(target, rect->left, rect->top, &canvas);
    SelectObject(canvas.dc, previousBrush);
    DeleteObject(pattern);
  }
  ReleaseOffscreenCanvas(&canvas);
}

BOOL FillGradient(HDC target, int left, int top, int right, int bottom, COLORREF first, COLORREF second,
                  ULONG mode) {
  TRIVERTEX vertices[2] = {Vertex(left, top, first), Vertex(right, bottom, second)};
  GRADIENT_RECT mesh;
  mesh.UpperLeft = 0;
  mesh.LowerRight = 1;
  return GradientFill(target, vertices, 2, &mesh, 1, mode);
}

void DrawSkinBackground(HDC target, const RECT* rect, HBITMAP image, HBITMAP mask, int imageMode, int placement) {
  if (placement != 1 && placement != 2) return;
  bool centred = placement == 1;
  if (imageMode == 1) {
    if (centred) DrawBitmapCentered(target, rect, image);
    else DrawBitmapStretched(target, rect, image);
  } else if (imageMode == 2) {
    if (centred) DrawMaskedCentered(target, rect, image, mask);
    else DrawMaskedStretched(target, rect, image, mask);
  }
}
