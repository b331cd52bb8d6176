#include "ui/core/TouchControl.h"

#include <nled.h>
#include <string.h>

#include "ui/core/DisplayScale.h"

namespace {

// Design sizes at 96 dpi.
const int kDefaultWidth = 50;
const int kDefaultHeight = 20;
const int kDefaultMarginX = 2;
const int kDefaultMarginY = 1;
const UINT kDefaultTextFormat = DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER;

// On these phones LED 1 is the vibration motor.
const UINT kVibrationLed = 1;

void SetVibrator(INT onOff) {
  NLED_SETTINGS_INFO settings;
  memset(&settings, 0, sizeof(settings));
  settings.LedNum = kVibrationLed;
  settings.OffOnBlink = onOff;
  NLedSetDevice(NLED_SETTINGS_INFO_ID, &settings);
}

}  // namespace

TouchControl::TouchControl(HINSTANCE instanceHandle, HWND host, int controlId)
    : pressed(FALSE),
      acceptsInput(TRUE),
      instance(instanceHandle),
      hostWindow(host),
      id(controlId),
      left(0),
      top(0),
      width(ScaleX(kDefaultWidth)),
      height(ScaleY(kDefaultHeight)),
      visible(TRUE),
      enabled(TRUE),
      vibrateOnPress(FALSE),
      font(NULL),
      textColor(0xFFFFFF),
      pressedTextColor(0x000000),
      textFormat(kDefaultTextFormat),
      marginLeft(ScaleX(kDefaultMarginX)),
      marginTop(ScaleY(kDefaultMarginY)),
      marginRight(ScaleX(kDefaultMarginX)),
      marginBottom(ScaleY(kDefaultMarginY)),
      owner(NULL) {
  caption[0] = L'\0';
}

void TouchControl::Paint(HDC) {}

int TouchControl::OnPenDown(HWND window, UINT, int x, int y) {
  pressed = HitTest(x, y) ? TRUE : FALSE;
  // Repainted either way: a press somewhere else may have to show as released.
  Invalidate();
  if (!pressed) return 0;
  Notify(window, NotifyPenDown);
  return 1;
}

int TouchControl::OnPenMove(HWND window, UINT, int x, int y) {
  if (!pressed) return 0;
  // Leaving releases for good: coming back inside does not press again.
  pressed = HitTest(x, y) ? TRUE : FALSE;
  Invalidate();
  Notify(window, NotifyPenMove);
  return 1;
}

int TouchControl::OnPenUp(HWND window, UINT, int x, int y) {
  if (!pressed) return 0;
  pressed = FALSE;
  Invalidate();
  if (!HitTest(x, y)) return 0;
  Notify(window, NotifyPenUp);
  Notify(window, NotifyClick);
  return 1;
}

void TouchControl::PaintIfVisible(HDC dc) {
  if (visible) Paint(dc);
}

int TouchControl::PenDown(HWND window, UINT reserved, int x, int y) {
  if (!visible || !enabled || !acceptsInput) return 0;
  return OnPenDown(window, reserved, x, y);
}

int TouchControl::PenUp(HWND window, UINT reserved, int x, int y) {
  if (!visible || !enabled || !acceptsInput) return 0;
  return OnPenUp(window, reserved, x, y);
}

int TouchControl::PenMove(HWND window, UINT reserved, int x, int y) {
  if (!visible || !enabled || !acceptsInput) return 0;
  return OnPenMove(window, reserved, x, y);
}

bool TouchControl::HitTest(int x, int y) const {
  if (!visible) return false;
  RECT rect;
  GetRect(&rect);
  POINT point = {x, y};
  return PtInRect(&rect, point) != FALSE;
}

void TouchControl::Invalidate() {
  RECT rect;
  GetRect(&rect);
  InvalidateRect(hostWindow, &rect, TRUE);
}

void TouchControl::GetRect(RECT* rect) const {
  if (rect != NULL) SetRect(rect, left, top, left + width, top + height);
}

TouchControl& TouchControl::SetBounds(int newLeft, int newTop, int newWidth, int newHeight) {
  left = newLeft;
  top = newTop;
  width = newWidth;
  height = newHeight;
  return *this;
}

TouchControl& TouchControl::SetCaption(LPCWSTR text) {
  if (text == NULL || text[0] == L'\0') return *this;
  wcsncpy_s(caption, kCaptionLength, text, _TRUNCATE);
  return *this;
}

void TouchControl::GetCaption(LPWSTR buffer) const {
  if (buffer != NULL) wcscpy_s(buffer, kCaptionLength, caption);
}

TouchControl& TouchControl::SetVisible(BOOL flag) {
  visible = flag;
  return *this;
}

TouchControl& TouchControl::SetVibrateOnPress(BOOL flag) {
  vibrateOnPress = flag;
  return *this;
}

TouchControl& TouchControl::SetFont(HFONT handle) {
  font = handle;
  return *this;
}

TouchControl& TouchControl::SetTextColors(COLORREF normal, COLORREF whilePressed) {
  textColor = normal;
  pressedTextColor = whilePressed;
  return *this;
}

TouchControl& TouchControl::SetTextFormat(UINT flags) {
  textFormat = flags;
  return *this;
}

TouchControl& TouchControl::SetTextMargins(int marginLeftPx, int marginTopPx, int marginRightPx,
                                           int marginBottomPx) {
  marginLeft = marginLeftPx;
  marginTop = marginTopPx;
  marginRight = marginRightPx;
  marginBottom = marginBottomPx;
  return *this;
}

TouchControl& TouchControl::SetOwner(TouchControl* container) {
  owner = container;
  return *this;
}

void TouchControl::Notify(HWND window, int code) {
  WPARAM wParam = MAKEWPARAM(static_cast<WORD>(id & 0xFFFF), static_cast<WORD>(code));
  SendMessageW(window, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(this));
}

void VibratePulse(DWORD milliseconds) {
  SetVibrator(1);
  Sleep(milliseconds);
  SetVibrator(0);
}
