#include "gdi_cases.h"

#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace gdijudge {
namespace {

const int kWidth = 40;
const int kHeight = 30;

// Every source pixel a colour of its own, so a misplaced pixel shows.
COLORREF SourceColour(int x, int y) { return RGB(x * 15, y * 20, 255 - (x + y) * 9); }
COLORREF BackgroundColour(int x, int y) { return RGB(200 - x * 3, 60 + y * 5, 40 + ((x ^ y) & 15) * 9); }

class Canvas {
 public:
  Canvas(HDC screen, int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  void Paint(COLORREF (*colour)(int, int)) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) SetPixel(dc_, x, y, colour(x, y));
  }
  void Fill(COLORREF colour) {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) SetPixel(dc_, x, y, colour);
  }
  uint32_t Hash() const {
    uint32_t hash = 2166136261u;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        COLORREF c = GetPixel(dc_, x, y);
        uint32_t rgb = (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        for (int shift = 0; shift < 24; shift += 8) {
          hash ^= (rgb >> shift) & 0xFF;
          hash *= 16777619u;
        }
      }
    }
    return hash;
  }
  // The smallest rectangle holding every pixel that is not `background`.
  RECT Inked(COLORREF background) const {
    RECT box = {width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (GetPixel(dc_, x, y) == background) continue;
        if (x < box.left) box.left = x;
        if (y < box.top) box.top = y;
        if (x + 1 > box.right) box.right = x + 1;
        if (y + 1 > box.bottom) box.bottom = y + 1;
      }
    }
    if (box.right == 0) SetRect(&box, 0, 0, 0, 0);
    return box;
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }

 private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

class Report {
 public:
  void Pixels(const char* name, const Canvas& canvas) {
    char line[128];
    snprintf(line, sizeof line, "%s pixels %08x\n", name, static_cast<unsigned>(canvas.Hash()));
    text_ += line;
  }
  void Rect(const char* name, const RECT& r) {
    char line[128];
    snprintf(line, sizeof line, "%s rect %d %d %d %d\n", name, static_cast<int>(r.left), static_cast<int>(r.top),
             static_cast<int>(r.right), static_cast<int>(r.bottom));
    text_ += line;
  }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

struct RopCase {
  const char* name;
  DWORD rop;
};
const RopCase kRops[] = {
    {"bitblt_srccopy", SRCCOPY},         {"bitblt_srcpaint", SRCPAINT},     {"bitblt_srcand", SRCAND},
    {"bitblt_srcinvert", SRCINVERT},     {"bitblt_srcerase", SRCERASE},     {"bitblt_notsrccopy", NOTSRCCOPY},
    {"bitblt_notsrcerase", NOTSRCERASE}, {"bitblt_mergecopy", MERGECOPY},   {"bitblt_mergepaint", MERGEPAINT},
    {"bitblt_patcopy", PATCOPY},         {"bitblt_patpaint", PATPAINT},     {"bitblt_patinvert", PATINVERT},
    {"bitblt_dstinvert", DSTINVERT},     {"bitblt_blackness", BLACKNESS},   {"bitblt_whiteness", WHITENESS},
};

void RasterOps(HDC screen, const Canvas& source, Report& report) {
  HBRUSH brush = CreateSolidBrush(RGB(0x33, 0x99, 0xCC));
  for (const RopCase& c : kRops) {
    Canvas target(screen, kWidth, kHeight);
    target.Paint(BackgroundColour);
    HGDIOBJ old = SelectObject(target.dc(), brush);
    BitBlt(target.dc(), 3, 4, 16, 12, source.dc(), 0, 0, c.rop);
    // Clipped at the far edges: the part that fits is copied.
    BitBlt(target.dc(), 30, 22, 16, 12, source.dc(), 2, 1, c.rop);
    SelectObject(target.dc(), old);
    report.Pixels(c.name, target);
  }
  DeleteObject(brush);
}

struct StretchCase {
  const char* name;
  int mode;  // 0: the DC's default
  int x, y, width, height;
  int sourceX, sourceY, sourceWidth, sourceHeight;
};
const StretchCase kStretches[] = {
    {"stretch_default_up", 0, 1, 1, 37, 27, 0, 0, 16, 12},
    {"stretch_default_down", 0, 2, 2, 7, 5, 0, 0, 16, 12},
    {"stretch_coloroncolor_up", COLORONCOLOR, 1, 1, 37, 27, 0, 0, 16, 12},
    {"stretch_coloroncolor_down", COLORONCOLOR, 2, 2, 7, 5, 0, 0, 16, 12},
    {"stretch_coloroncolor_odd", COLORONCOLOR, 0, 0, 24, 17, 1, 1, 15, 11},
    {"stretch_mirrored_x", COLORONCOLOR, 34, 2, -32, 24, 0, 0, 16, 12},
    {"stretch_mirrored_y", COLORONCOLOR, 2, 26, 32, -24, 0, 0, 16, 12},
    {"stretch_mirrored_source", COLORONCOLOR, 2, 2, 32, 24, 15, 0, -16, 12},
};

void Stretches(HDC screen, const Canvas& source, Report& report) {
  for (const StretchCase& c : kStretches) {
    Canvas target(screen, kWidth, kHeight);
    target.Paint(BackgroundColour);
    if (c.mode != 0) SetStretchBltMode(target.dc(), c.mode);
    StretchBlt(target.dc(), c.x, c.y, c.width, c.height, source.dc(), c.sourceX, c.sourceY, c.sourceWidth,
               c.sourceHeight, SRCCOPY);
    report.Pixels(c.name, target);
  }
}

void Transparent(HDC screen, const Canvas& source, Report& report) {
  COLORREF key = GetPixel(source.dc(), 5, 5);
  struct Case {
    const char* name;
    int width, height;
  };
  const Case cases[] = {{"transparent_same_size", 16, 12}, {"transparent_stretched", 32, 24}};
  for (const Case& c : cases) {
    Canvas target(screen, kWidth, kHeight);
    target.Paint(BackgroundColour);
    TransparentImage(target.dc(), 3, 2, c.width, c.height, source.dc(), 0, 0, 16, 12, key);
    report.Pixels(c.name, target);
  }
}

void Alpha(HDC screen, const Canvas& source, Report& report) {
  struct Case {
    const char* name;
    BYTE alpha;
    int width, height;
  };
  const Case cases[] = {{"alpha_128", 128, 16, 12}, {"alpha_0", 0, 16, 12},      {"alpha_255", 255, 16, 12},
                        {"alpha_64", 64, 16, 12},   {"alpha_200_stretched", 200, 32, 24}};
  for (const Case& c : cases) {
    Canvas target(screen, kWidth, kHeight);
    target.Paint(BackgroundColour);
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, c.alpha, 0};
    AlphaBlend(target.dc(), 4, 3, c.width, c.height, source.dc(), 0, 0, 16, 12, blend);
    report.Pixels(c.name, target);
  }
}

void Gradients(HDC screen, Report& report) {
  struct Case {
    const char* name;
    ULONG mode;
    int left, top, right, bottom;
  };
  const Case cases[] = {{"gradient_h", GRADIENT_FILL_RECT_H, 2, 3, 38, 27},
                        {"gradient_v", GRADIENT_FILL_RECT_V, 2, 3, 38, 27},
                        {"gradient_h_reversed", GRADIENT_FILL_RECT_H, 38, 3, 2, 27}};
  for (const Case& c : cases) {
    Canvas target(screen, kWidth, kHeight);
    target.Fill(RGB(0, 0, 0));
    TRIVERTEX vertices[2] = {{c.left, c.top, 0xFF00, 0x8000, 0x0000, 0},
                             {c.right, c.bottom, 0x0000, 0x4000, 0xFF00, 0}};
    GRADIENT_RECT rect = {0, 1};
    GradientFill(target.dc(), vertices, 2, &rect, 1, c.mode);
    report.Pixels(c.name, target);
  }
}

void Patterns(HDC screen, Report& report) {
  Canvas tile(screen, 8, 8);
  tile.Paint(SourceColour);
  HBRUSH pattern = CreatePatternBrush(tile.bitmap());
  struct Case {
    const char* name;
    int originX, originY;
    bool fillRect;
  };
  const Case cases[] = {{"pattern_patblt", 0, 0, false},
                        {"pattern_patblt_origin", 3, 5, false},
                        {"pattern_fillrect_origin", 3, 5, true}};
  for (const Case& c : cases) {
    Canvas target(screen, kWidth, kHeight);
    target.Paint(BackgroundColour);
    SetBrushOrgEx(target.dc(), c.originX, c.originY, NULL);
    RECT box = {1, 2, 35, 27};
    if (c.fillRect) {
      FillRect(target.dc(), &box, pattern);
    } else {
      HGDIOBJ old = SelectObject(target.dc(), pattern);
      PatBlt(target.dc(), box.left, box.top, box.right - box.left, box.bottom - box.top, PATCOPY);
      SelectObject(target.dc(), old);
    }
    report.Pixels(c.name, target);
  }
  DeleteObject(pattern);
}

void Lines(HDC screen, Report& report) {
  struct Case {
    const char* name;
    int width;
  };
  const Case cases[] = {{"lines_width_1", 1}, {"lines_width_3", 3}};
  // A star of lines: every octant, steep and shallow, and both ends.
  const POINT ends[] = {{38, 15}, {38, 2}, {25, 0}, {20, 0}, {2, 1}, {0, 15}, {3, 29}, {20, 29}, {36, 28}};
  for (const Case& c : cases) {
    Canvas target(screen, kWidth, kHeight);
    target.Fill(RGB(255, 255, 255));
    HPEN pen = CreatePen(PS_SOLID, c.width, RGB(200, 30, 90));
    HGDIOBJ old = SelectObject(target.dc(), pen);
    for (const POINT& end : ends) {
      MoveToEx(target.dc(), 20, 15, NULL);
      LineTo(target.dc(), end.x, end.y);
    }
    SelectObject(target.dc(), old);
    DeleteObject(pen);
    report.Pixels(c.name, target);
  }
}

void Fills(HDC screen, Report& report) {
  struct Case {
    const char* name;
    RECT box;
  };
  const Case cases[] = {{"fillrect_plain", {3, 4, 30, 20}},
                        {"fillrect_empty", {10, 10, 10, 20}},
                        {"fillrect_inverted", {30, 20, 3, 4}},
                        {"fillrect_clipped", {-5, -5, 50, 8}}};
  HBRUSH brush = CreateSolidBrush(RGB(10, 200, 120));
  for (const Case& c : cases) {
    Canvas target(screen, kWidth, kHeight);
    target.Paint(BackgroundColour);
    FillRect(target.dc(), &c.box, brush);
    report.Pixels(c.name, target);
  }
  DeleteObject(brush);
}

void Texts(HDC screen, Report& report) {
  LOGFONTW font;
  memset(&font, 0, sizeof(font));
  font.lfHeight = -20;
  font.lfWeight = FW_NORMAL;
  wcscpy(font.lfFaceName, L"DejaVu Sans");
  HFONT handle = CreateFontIndirectW(&font);
  struct Case {
    const char* name;
    UINT format;
    RECT box;
    const wchar_t* text;
  };
  const Case cases[] = {
      {"text_left_top", DT_LEFT | DT_TOP | DT_SINGLELINE, {10, 10, 190, 60}, L"Jostle"},
      {"text_center_vcenter", DT_CENTER | DT_VCENTER | DT_SINGLELINE, {10, 10, 190, 60}, L"Jostle"},
      {"text_right_bottom", DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, {10, 10, 190, 60}, L"Jostle"},
      {"text_ellipsis", DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, {10, 10, 90, 60},
       L"A name far too long to fit"},
  };
  for (const Case& c : cases) {
    Canvas target(screen, 200, 70);
    target.Fill(RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(target.dc(), handle);
    SetTextColor(target.dc(), RGB(0, 0, 0));
    SetBkMode(target.dc(), TRANSPARENT);
    RECT box = c.box;
    DrawTextW(target.dc(), c.text, -1, &box, c.format);
    char name[64];
    snprintf(name, sizeof name, "%s_inked", c.name);
    report.Rect(name, target.Inked(RGB(255, 255, 255)));
    RECT measured = c.box;
    DrawTextW(target.dc(), c.text, -1, &measured, c.format | DT_CALCRECT);
    snprintf(name, sizeof name, "%s_calcrect", c.name);
    report.Rect(name, measured);
    SelectObject(target.dc(), old);
  }
  DeleteObject(handle);
}

}  // namespace

std::string RunGdiCases() {
  HDC screen = GetDC(NULL);
  Report report;
  {
    Canvas source(screen, 16, 12);
    source.Paint(SourceColour);
    RasterOps(screen, source, report);
    Stretches(screen, source, report);
    Transparent(screen, source, report);
    Alpha(screen, source, report);
  }
  Gradients(screen, report);
  Patterns(screen, report);
  Lines(screen, report);
  Fills(screen, report);
  Texts(screen, report);
  ReleaseDC(NULL, screen);
  return report.Text();
}

}  // namespace gdijudge
