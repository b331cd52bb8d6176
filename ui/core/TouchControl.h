// The base of every skinned control. A control is a plain object inside the
// one main window, not a child window: it knows its rectangle in client
// pixels, paints into the DC it is handed, and reports to the window by
// WM_COMMAND (id in the low word, code in the high word, the control itself
// in lParam), so the window dispatches skinned controls by id like ordinary ones.
#pragma once

#include <windows.h>

// Notification codes in the high word of WM_COMMAND's wParam.
enum ControlNotification {
  NotifyPenDown = 1,   // the stylus went down inside
  NotifyPenMove = 2,   // it moved while the control was pressed (also the move that leaves)
  NotifyPenUp = 3,     // it was lifted inside a pressed control
  NotifyClick = 4,     // down and up inside without leaving in between
  NotifyToggled = 5,   // a check box changed its state
  NotifyStepped = 6,   // a value selector stepped by an arrow
};

const int kCaptionLength = 260;  // 259 characters and the terminator

class TouchControl {
 public:
  TouchControl(HINSTANCE instance, HWND hostWindow, int id);

  // The four slots every control shares, in this order.
  virtual void Paint(HDC dc);
  virtual int OnPenDown(HWND window, UINT reserved, int x, int y);
  virtual int OnPenUp(HWND window, UINT reserved, int x, int y);
  virtual int OnPenMove(HWND window, UINT reserved, int x, int y);
  // Controls that own memory (the value selector's entries) free it here.
  virtual ~TouchControl() {}

  void PaintIfVisible(HDC dc);
  // The slot is called only for a visible, enabled control that accepts
  // input; otherwise 0.
  int PenDown(HWND window, UINT reserved, int x, int y);
  int PenUp(HWND window, UINT reserved, int x, int y);
  int PenMove(HWND window, UINT reserved, int x, int y);

  // Visible and inside: left and top edges inclusive, right and bottom exclusive.
  bool HitTest(int x, int y) const;
  void Invalidate();
  void GetRect(RECT* rect) const;

  // Setters never repaint: the caller invalidates when the change must show.
  // Lengths are device pixels.
  TouchControl& SetBounds(int left, int top, int width, int height);
  int GetLeft() const { return left; }
  int GetTop() const { return top; }
  int GetWidth() const { return width; }
  int GetHeight() const { return height; }
  int GetId() const { return id; }
  bool IsPressed() const { return pressed != 0; }

  // An empty or NULL text keeps the caption as it was.
  TouchControl& SetCaption(LPCWSTR text);
  // Into a buffer of kCaptionLength characters.
  void GetCaption(LPWSTR buffer) const;
  TouchControl& SetVisible(BOOL flag);
  bool IsVisible() const { return visible != 0; }
  bool IsEnabled() const { return enabled != 0; }
  TouchControl& SetVibrateOnPress(BOOL flag);
  bool GetVibrateOnPress() const { return vibrateOnPress != 0; }
  TouchControl& SetFont(HFONT handle);
  TouchControl& SetTextColors(COLORREF normal, COLORREF whilePressed);
  TouchControl& SetTextFormat(UINT flags);
  TouchControl& SetTextMargins(int marginLeftPx, int marginTopPx, int marginRightPx, int marginBottomPx);
  TouchControl& SetOwner(TouchControl* container);
  TouchControl* GetOwner() const { return owner; }

 protected:
  // WM_COMMAND to `window`, synchronously; only the id's low 16 bits travel.
  void Notify(HWND window, int code);

  BOOL pressed;
  BOOL acceptsInput;
  HINSTANCE instance;
  HWND hostWindow;
  int id;
  WCHAR caption[kCaptionLength];
  int left;
  int top;
  int width;
  int height;
  BOOL visible;
  BOOL enabled;
  BOOL vibrateOnPress;
  HFONT font;
  COLORREF textColor;
  COLORREF pressedTextColor;
  UINT textFormat;
  int marginLeft;
  int marginTop;
  int marginRight;
  int marginBottom;
  TouchControl* owner;
};

// How long the motor runs for the feedback of one press.
const DWORD kVibratePulseMs = 25;

// The touch feedback: the vibration motor on for `milliseconds`, then off.
// Holds the calling thread for that long.
void VibratePulse(DWORD milliseconds);
