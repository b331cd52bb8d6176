// A fresh device with one window that records the WM_COMMAND notifications it
// gets, and canvases and bitmaps made from pictures, for the drawing helpers,
// the controls and the splash screen.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "device_fixture.h"
#include "image_compare.h"

namespace uitest {

// Picture pixels are 0x00RRGGBB, GDI colours 0x00BBGGRR.
inline COLORREF ToColorRef(uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

struct Notification {
  WORD id;
  WORD code;
  LPARAM control;
  bool operator==(const Notification& other) const {
    return id == other.id && code == other.code && control == other.control;
  }
};

inline std::vector<Notification> gNotifications;

inline LRESULT CALLBACK NotifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    gNotifications.push_back({LOWORD(wParam), HIWORD(wParam), lParam});
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A memory DC with a bitmap of its own, made from the screen's format.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  int width = 0;
  int height = 0;
};

class UiTest : public jptest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    gNotifications.clear();
    screen_ = GetDC(NULL);
    ASSERT_NE(screen_, nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = NotifyProc;
    windowClass.lpszClassName = L"UiTestClass";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    window_ = CreateWindowExW(0, L"UiTestClass", L"ui", WS_VISIBLE, 0, 0, 480, 640, NULL, NULL, NULL, NULL);
    ASSERT_NE(window_, nullptr);
  }

  void TearDown() override {
    for (Canvas& canvas : canvases_) {
      SelectObject(canvas.dc, canvas.previous);
      DeleteDC(canvas.dc);
      DeleteObject(canvas.bitmap);
    }
    canvases_.clear();
    for (HBITMAP bitmap : bitmaps_) DeleteObject(bitmap);
    bitmaps_.clear();
    DestroyWindow(window_);
    ReleaseDC(NULL, screen_);
    DeviceTest::TearDown();
  }

  Canvas& NewCanvas(int width, int height, uint32_t fill) {
    Canvas canvas;
    canvas.dc = CreateCompatibleDC(screen_);
    canvas.bitmap = CreateCompatibleBitmap(screen_, width, height);
    canvas.previous = SelectObject(canvas.dc, canvas.bitmap);
    canvas.width = width;
    canvas.height = height;
    EXPECT_NE(canvas.previous, nullptr);
    canvases_.push_back(canvas);
    Paint(canvases_.back(), jptest::Image(width, height, fill));
    return canvases_.back();
  }

  static void Paint(const Canvas& canvas, const jptest::Image& picture) {
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) SetPixel(canvas.dc, x, y, ToColorRef(picture.At(x, y)));
  }

  static jptest::Image Pixels(const Canvas& canvas) { return jptest::ImageOfDC(canvas.dc, canvas.width, canvas.height); }

  // A bitmap selected nowhere, holding the picture; the fixture deletes it.
  HBITMAP NewBitmap(const jptest::Image& picture) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen_, picture.width, picture.height);
    HDC dc = CreateCompatibleDC(screen_);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) SetPixel(dc, x, y, ToColorRef(picture.At(x, y)));
    SelectObject(dc, previous);
    DeleteDC(dc);
    bitmaps_.push_back(bitmap);
    return bitmap;
  }

  HDC screen_ = nullptr;
  HWND window_ = nullptr;

 private:
  std::deque<Canvas> canvases_;  // references to a canvas stay good as more are made
  std::vector<HBITMAP> bitmaps_;
};

// Every pixel tells its place: distinct across a picture up to 256 x 256.
inline jptest::Image Numbered(int width, int height, uint32_t tag = 0x40) {
  jptest::Image picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.At(x, y) = static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) << 8 | tag;
  return picture;
}

// `part` laid over `whole` with its top-left corner at (left, top), cut at the edges.
inline void Paste(jptest::Image& whole, const jptest::Image& part, int left, int top) {
  for (int y = 0; y < part.height; ++y)
    for (int x = 0; x < part.width; ++x) {
      int wx = left + x;
      int wy = top + y;
      if (wx >= 0 && wy >= 0 && wx < whole.width && wy < whole.height) whole.At(wx, wy) = part.At(x, y);
    }
}

}  // namespace uitest
