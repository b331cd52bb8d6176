// The drawing helpers every control, the splash screen and the screen
// transitions draw through: the one place that talks to GDI for them. They
// keep no state: each call makes whatever memory DC it needs and deletes it
// before returning, except the off-screen canvas, which its caller releases.
// Bitmaps and fonts stay with whoever made them; a NULL bitmap means there is
// nothing to draw.
#pragma once

#include <windows.h>

// Colour of the pixels a keyed picture leaves out.
const COLORREF kKeyColor = 0xFF00FF;

// AlphaBlend with a constant alpha (its low 8 bits; no per-pixel alpha).
BOOL BlendCopy(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
               int sourceWidth, int sourceHeight, UINT alpha);
// The source's (0, 0, width, height) onto (x, y, width, height).
BOOL BlendCopyWhole(HDC target, int x, int y, int width, int height, HDC source, UINT alpha);

// Copies (0, 0, width, height) of the bitmap to (x, y) with the raster operation.
void BlitBitmap(HDC target, int x, int y, int width, int height, HBITMAP bitmap, DWORD rop);

// Size 40, width, height, planes and bits per pixel of the bitmap, no
// compression; the resolution fields are left as they were. FALSE, with the
// header untouched, for a NULL or non-bitmap handle.
BOOL GetBitmapHeader(BITMAPINFOHEADER* header, HBITMAP bitmap);

// Moves each edge inwards by its amount; returns the rectangle.
RECT* ShrinkRect(RECT* rect, int left, int top, int right, int bottom);

// At the bitmap's own size, centred in the rectangle (an odd pixel goes to the
// right and bottom); a bitmap larger than the rectangle overhangs it.
void DrawBitmapCentered(HDC target, const RECT* rect, HBITMAP bitmap);
void DrawBitmapCenteredRop(HDC target, const RECT* rect, HBITMAP bitmap, DWORD rop);
// Mask with SRCAND, then image with SRCPAINT, each centred on its own size.
void DrawMaskedCentered(HDC target, const RECT* rect, HBITMAP image, HBITMAP mask);
// Pixels of exactly the key colour are left out.
void DrawKeyedCentered(HDC target, const RECT* rect, HBITMAP bitmap, COLORREF key);

// The whole bitmap onto the whole rectangle, in the target's stretch mode.
void DrawBitmapStretched(HDC target, const RECT* rect, HBITMAP bitmap);
void DrawBitmapStretchedRop(HDC target, const RECT* rect, HBITMAP bitmap, DWORD rop);
void DrawMaskedStretched(HDC target, const RECT* rect, HBITMAP image, HBITMAP mask);
void DrawKeyedStretched(HDC target, const RECT* rect, HBITMAP bitmap, COLORREF key);

// A skinned control's background: `imageMode` 1 the image alone, 2 the image
// over its mask; `placement` 1 centred, 2 stretched over the rectangle. Any
// other value of either draws nothing.
void DrawSkinBackground(HDC target, const RECT* rect, HBITMAP image, HBITMAP mask, int imageMode, int placement);

// One DrawTextW of a zero-terminated text, transparent, in `color` and `font`
// (NULL: the DC's current font). The DC's mode, colour and font come back.
void DrawTextInRect(HDC target, LPCWSTR text, const RECT* rect, UINT format, COLORREF color, HFONT font);

// How a control draws a line of text: a caption, a subtitle, a list row's line.
struct TextStyle {
  HFONT font;             // NULL: the DC's current font
  COLORREF color;
  COLORREF pressedColor;  // while the control is pressed, checked or selected
  UINT format;            // DrawTextW flags
  RECT margins;           // how far each edge moves in, device pixels
};
// The text in the rectangle shrunk by the margins, in the pressed colour when `down`.
void DrawStyledText(HDC target, LPCWSTR text, const RECT* rect, const TextStyle* style, BOOL down);

// The whole rectangle in one colour.
void FillSolid(HDC target, const RECT* rect, COLORREF color);

// A picture drawn off-screen and copied in one go, so a repaint never shows
// half done: a memory DC with a bitmap of its own, in the target's format.
struct OffscreenCanvas {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;  // the DC's stock bitmap, back in place before it goes
  int width;
  int height;
};
// FALSE, with nothing left to release, when the DC or the bitmap cannot be made.
BOOL CreateOffscreenCanvas(HDC target, int width, int height, OffscreenCanvas* canvas);
// The whole canvas onto the target with its top-left corner at (x, y).
void CopyOffscreenCanvas(HDC target, int x, int y, const OffscreenCanvas* canvas);
void ReleaseOffscreenCanvas(OffscreenCanvas* canvas);

// From (x1, y1) up to, not including, (x2, y2) with the pen; the DC's
// background mode and pen come back.
void DrawLine(HDC target, int x1, int y1, int x2, int y2, HPEN pen);

// Tiles the bitmap over the rectangle, the first tile at its top-left corner.
void FillPattern(HDC target, const RECT* rect, HBITMAP bitmap, DWORD rop);

// From `first` to `second` across the rectangle: GRADIENT_FILL_RECT_H left
// to right, GRADIENT_FILL_RECT_V top to bottom.
BOOL FillGradient(HDC target, int left, int top, int right, int bottom, COLORREF first, COLORREF second,
                  ULONG mode);
