// What the host feeds in: the stylus, keys, focus, the system's close
// request and the desktop's minimise, delivered as the platform delivers them.
#include <windows.h>

#include "device/device.h"
#include "kernel/clock.h"
#include "user/message_queue.h"
#include "user/rects.h"
#include "user/user_state.h"
#include "user/window_manager.h"

namespace wce::user {
namespace {

constexpr WPARAM kPenButton = MK_LBUTTON;  // the stylus touches the screen
constexpr LPARAM kKeyUpBits = static_cast<LPARAM>(0xC0000000u);  // previous state down, transition up
constexpr LPARAM kRepeatOnce = 1;

struct PenMessage {
  PenAction action;
  UINT message;
  WPARAM buttons;
};

constexpr PenMessage kPenMessages[] = {
    {PenAction::Down, WM_LBUTTONDOWN, kPenButton},
    {PenAction::Move, WM_MOUSEMOVE, kPenButton},
    {PenAction::Up, WM_LBUTTONUP, 0},
};

const PenMessage& PenMessageOf(PenAction action) {
  for (const PenMessage& p : kPenMessages)
    if (p.action == action) return p;
  return kPenMessages[0];
}

// The window that gets this pen event: the one under the stylus as it goes
// down, and that one until it lifts. A touch screen has no hover, so moves
// and lifts without a touch go nowhere.
std::shared_ptr<Window> PenTarget(UserState& u, PenAction action, LONG x, LONG y) {
  if (action == PenAction::Down) {
    std::shared_ptr<Window> w = TopWindowAt(u, x, y);
    u.penCapture = w ? w->handle : nullptr;
    return w;
  }
  std::shared_ptr<Window> w = WindowOf(u.penCapture);
  if (action == PenAction::Up) u.penCapture = nullptr;
  return w;
}

std::shared_ptr<Window> Foreground(const UserState& u) { return WindowOf(u.foreground); }

}  // namespace
}  // namespace wce::user

namespace wce {

using namespace user;

void InjectPen(PenAction action, int x, int y) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = PenTarget(User(), action, x, y);
  if (!w) return;
  RECT screen = ScreenRectOf(*w);
  const PenMessage& pen = PenMessageOf(action);
  // client coordinates, each cut to 16 bits as the message carries them
  QueueInputMessage(w->handle, pen.message, pen.buttons, MAKELPARAM(x - screen.left, y - screen.top),
                    POINT{x, y});
}

void InjectKey(uint32_t virtualKey, bool down) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = Foreground(User());
  if (!w || !IsShowing(*w)) return;  // a minimised program has no keyboard focus
  QueueInputMessage(w->handle, down ? WM_KEYDOWN : WM_KEYUP, virtualKey,
                    down ? kRepeatOnce : (kRepeatOnce | kKeyUpBits), POINT{0, 0});
}

// Only a change is told: the platform sends WM_ACTIVATE when activation
// moves, never twice for the same state.
void InjectActivate(bool active) {
  Effects fx;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    UserState& u = User();
    std::shared_ptr<Window> w = Foreground(u);
    if (!w || u.foregroundActive == active) return;
    if (active) {
      Activate(u, *w, fx);
    } else {
      u.foregroundActive = false;
      fx.Trace("deactivate");
      fx.Send(w->handle, WM_ACTIVATE, WA_INACTIVE, 0);
    }
  }
  fx.Run();
}

void RequestClose() {
  std::vector<HWND> targets;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    for (HWND h : User().zOrder) {
      std::shared_ptr<Window> w = WindowOf(h);
      if (w && !w->destroying && (w->style & WS_VISIBLE)) targets.push_back(h);
    }
  }
  for (HWND h : targets) PostMessageW(h, WM_CLOSE, 0, 0);
}

void InjectMinimize(bool minimized) {
  HWND target = nullptr;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    std::shared_ptr<Window> w = Foreground(User());
    if (!w || w->minimized == minimized) return;
    target = w->handle;
  }
  ShowWindow(target, minimized ? SW_MINIMIZE : SW_RESTORE);
}

bool ForegroundMinimized() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = Foreground(User());
  return w && w->minimized;
}

}  // namespace wce
