// A clean device for GDI tests: user layer, shell and GDI reset, a window
// class whose procedure records WM_ERASEBKGND, and memory DC helpers.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "device/device.h"
#include "device/internal.h"

namespace gditest {

inline std::vector<HDC> gErases;         // the DC of each WM_ERASEBKGND
inline LRESULT gEraseResult = 0;
inline COLORREF gEraseFill = CLR_INVALID;  // painted over everything while erasing, if set

inline void Fill(HDC dc, RECT rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_ERASEBKGND) return DefWindowProcW(hwnd, msg, wParam, lParam);
  gErases.push_back(reinterpret_cast<HDC>(wParam));
  if (gEraseFill != CLR_INVALID) Fill(reinterpret_cast<HDC>(wParam), RECT{0, 0, 10000, 10000}, gEraseFill);
  return gEraseResult;
}

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wce::ClockReset(wce::ClockMode::Virtual);
    wce::internal::UserReset();
    wce::internal::ShellReset();
    wce::internal::GdiReset();
    gErases.clear();
    gEraseResult = 0;
    gEraseFill = CLR_INVALID;
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = L"GdiTestClass";
    ASSERT_NE(RegisterClassW(&wc), 0);
  }
  void TearDown() override {
    wce::SetScreenChangedCallback(nullptr);
    wce::internal::UserReset();
    wce::internal::ShellReset();
    wce::internal::GdiReset();
  }

  static HWND NewWindow(int x, int y, int w, int h, DWORD style = WS_VISIBLE) {
    return CreateWindowExW(0, L"GdiTestClass", L"gdi", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  }

  // A memory DC holding a new w x h colour bitmap filled with `color`.
  static HDC MemoryDC(int w, int h, COLORREF color = RGB(255, 255, 255)) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    EXPECT_NE(SelectObject(dc, CreateCompatibleBitmap(screen, w, h)), nullptr);
    ReleaseDC(nullptr, screen);
    Fill(dc, RECT{0, 0, w, h}, color);
    return dc;
  }

  // Row after row, as GetPixel reads them.
  static std::vector<COLORREF> Pixels(HDC dc, int w, int h) {
    std::vector<COLORREF> out;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) out.push_back(GetPixel(dc, x, y));
    return out;
  }

  static void SetPixels(HDC dc, int w, const std::vector<COLORREF>& colors) {
    for (size_t i = 0; i < colors.size(); ++i)
      SetPixel(dc, static_cast<int>(i % w), static_cast<int>(i / w), colors[i]);
  }

  static std::vector<COLORREF> Numbered(int count, COLORREF base) {
    std::vector<COLORREF> v;
    for (int i = 0; i < count; ++i) v.push_back(base + static_cast<COLORREF>(i));
    return v;
  }
};

}  // namespace gditest
