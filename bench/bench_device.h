// What the drawing benchmarks share: a fresh 480 x 640, 192-dpi device with
// the calling thread as the program's (and, if asked, one window), and
// screen-format memory DCs to draw into.
#pragma once

#include <windows.h>

#include "device/device.h"
#include "test_files.h"

namespace jpbench {

const int kWidth = 480;
const int kHeight = 640;

class Device {
 public:
  // `windowClass`: when given, a visible full-screen window of that class name.
  explicit Device(LPCWSTR windowClass = NULL) {
    jptest::MakeDirs(temp_ / "device");
    wce::DeviceConfig config;
    config.deviceDir = temp_ / "device";
    config.modulePath = temp_ / "Jostlepad.exe";
    started_ = wce::DeviceStart(config);
    if (!started_) return;
    wce::RegisterProgramThread();
    wce::SetScreenSize(kWidth, kHeight);
    wce::SetScreenDpi(192, 192);
    if (windowClass != NULL) {
      WNDCLASSW registration{};
      registration.lpfnWndProc = DefWindowProcW;
      registration.lpszClassName = windowClass;
      if (RegisterClassW(&registration))
        window_ = CreateWindowExW(0, windowClass, L"bench", WS_VISIBLE, 0, 0, kWidth, kHeight, NULL, NULL, NULL,
                                  NULL);
    }
    screen_ = GetDC(NULL);
  }
  ~Device() {
    if (!started_) return;
    ReleaseDC(NULL, screen_);
    if (window_ != NULL) DestroyWindow(window_);
    wce::UnregisterProgramThread();
    wce::DeviceStop();
  }
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;

  bool Started() const { return started_ && screen_ != NULL; }
  HDC Screen() const { return screen_; }
  HWND Window() const { return window_; }

 private:
  jptest::TempDir temp_;
  bool started_ = false;
  HDC screen_ = NULL;
  HWND window_ = NULL;
};

// A screen-format memory DC with a bitmap of its own, filled with `color`.
class Buffer {
 public:
  Buffer(HDC screen, int width, int height, COLORREF color) {
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    previous_ = SelectObject(dc_, bitmap_);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  ~Buffer() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  HDC Dc() const { return dc_; }
  // Lets go of the selection, so helpers that select the bitmap themselves can draw from it.
  HBITMAP Detach() {
    SelectObject(dc_, previous_);
    return bitmap_;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

}  // namespace jpbench
