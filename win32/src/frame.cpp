// The phone's screen in a desktop window. On the phone the program's window
// has no frame and covers the screen; on a desktop it gets a caption, the
// icon, minimise and close, and a client area that is the whole emulated
// screen, placed where Windows places new windows. No resizing: the screen's
// size follows the monitor's dpi, not the frame.
#include "win32_device.h"

// The shim's names cover the SDK's in windows.h; here the real ones are called.
#undef CreateWindowExW
#undef MoveWindow

namespace {

const DWORD kFrameStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// A window rectangle whose client area is the whole emulated screen.
SIZE FrameSize(DWORD style, DWORD exStyle) {
  // The screen's size first: it makes the process dpi-aware before the frame is measured.
  RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
  return size;
}

}  // namespace

namespace jpwin {

bool IsScreenFrame(HWND window) {
  if (!IsWindow(window)) return false;
  LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  return (style & (WS_CHILD | WS_POPUP)) == 0 && (style & WS_CAPTION) == WS_CAPTION;
}

}  // namespace jpwin

extern "C" {

HWND WINAPI JpCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                              int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  // Children and pop-ups are the program's to place; only its top-level window is framed.
  if (parent != NULL || (style & (WS_CHILD | WS_POPUP)) != 0)
    return CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent, menu, instance,
                           param);
  style = (style & ~static_cast<DWORD>(WS_THICKFRAME | WS_MAXIMIZEBOX)) | kFrameStyle;
  SIZE size = FrameSize(style, exStyle);
  return CreateWindowExW(exStyle, className, windowName, style, x, y, size.cx, size.cy, parent, menu, instance,
                         param);
}

BOOL WINAPI JpMoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  if (!jpwin::IsScreenFrame(window)) return MoveWindow(window, x, y, width, height, repaint);
  // The program's rectangles are on the emulated screen, whose origin is the
  // client area's: the frame stays where the person put it and the client
  // area keeps the whole screen (the work area only leaves out the phone's
  // task bar, which a desktop window does not show). A minimised window
  // keeps its place in the task bar.
  if (IsIconic(window)) return TRUE;
  SIZE size = FrameSize(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                        static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
  return SetWindowPos(window, NULL, 0, 0, size.cx, size.cy, flags);
}

}  // extern "C"
