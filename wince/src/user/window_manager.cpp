#include "user/window_manager.h"

#include <algorithm>
#include <iterator>

#include "device/device.h"
#include "gdi/screen.h"
#include "kernel/clock.h"
#include "shell/display_state.h"
#include "user/rects.h"
#include "user/window_state.h"

namespace wce::user {
namespace {

constexpr int kMaxDepth = 64;  // parents are never cyclic; the bound only guards against surprises

enum class ShowAction { Hide, Minimize, Show };

struct ShowCommand {
  int command;
  ShowAction action;
  bool restore;   // a minimised window comes back to its size
  bool activate;  // and becomes the active foreground window
};

// CE has no maximised state: SW_MAXIMIZE shows the window as it is.
constexpr ShowCommand kShowCommands[] = {
    {SW_HIDE, ShowAction::Hide, false, false},
    {SW_SHOWNORMAL, ShowAction::Show, true, true},
    {SW_SHOWMINIMIZED, ShowAction::Minimize, false, false},
    {SW_MAXIMIZE, ShowAction::Show, true, true},
    {SW_SHOWNOACTIVATE, ShowAction::Show, true, false},
    {SW_SHOW, ShowAction::Show, false, true},
    {SW_MINIMIZE, ShowAction::Minimize, false, false},
    {SW_SHOWNA, ShowAction::Show, false, false},
    {SW_RESTORE, ShowAction::Show, true, true},
};

const ShowCommand* FindShowCommand(int command) {
  auto it = std::find_if(std::begin(kShowCommands), std::end(kShowCommands),
                         [&](const ShowCommand& c) { return c.command == command; });
  return it == std::end(kShowCommands) ? nullptr : &*it;
}

bool Meets(const RECT& a, const RECT& b) { return !IsEmpty(Intersection(a, b)); }

void BringToFront(UserState& u, HWND hwnd) {
  std::erase(u.zOrder, hwnd);
  u.zOrder.insert(u.zOrder.begin(), hwnd);
}

// The window that takes over when the active one hides or minimises.
std::shared_ptr<Window> NextInLine(const UserState& u, HWND leaving) {
  for (HWND h : u.zOrder) {
    if (h == leaving) continue;
    std::shared_ptr<Window> w = WindowOf(h);
    if (w && !w->destroying && IsShowing(*w)) return w;
  }
  return nullptr;
}

// `w` hid or minimised: it hears WA_INACTIVE and the next showing window, if
// any, becomes active. A minimised window with nobody to take over stays the
// foreground window, inactive (the host mirrors that state).
void LoseActivation(UserState& u, Window& w, bool staysForeground, Effects& fx) {
  if (u.foreground != w.handle) return;
  std::shared_ptr<Window> next = NextInLine(u, w.handle);
  if (u.foregroundActive) {
    fx.Trace("deactivate");
    fx.Send(w.handle, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(next ? next->handle : nullptr));
  }
  u.foregroundActive = false;
  if (next)
    Activate(u, *next, fx);
  else if (!staysForeground)
    u.foreground = nullptr;
}

void Hide(UserState& u, Window& w, Effects& fx) {
  if (!(w.style & WS_VISIBLE)) return;
  bool wasShowing = IsShowing(w);
  RECT area = ScreenRectOf(w);
  w.style &= ~WS_VISIBLE;
  bool top = IsTopLevel(w);
  if (top) fx.Trace("window hidden");
  if (wasShowing) fx.Uncover(area, top);
  if (top) LoseActivation(u, w, false, fx);
}

void Minimize(UserState& u, Window& w, Effects& fx) {
  if (!IsTopLevel(w)) return;  // child windows have no minimised state
  if (w.minimized && (w.style & WS_VISIBLE)) return;
  bool wasShowing = IsShowing(w);
  RECT area = ScreenRectOf(w);
  w.minimized = true;
  w.style |= WS_VISIBLE;
  fx.Trace("window minimized");
  if (wasShowing) fx.Uncover(area, true);
  LoseActivation(u, w, true, fx);
}

void Show(UserState& u, Window& w, const ShowCommand& c, Effects& fx) {
  bool wasVisible = (w.style & WS_VISIBLE) != 0;
  bool wasShowing = IsShowing(w);
  w.style |= WS_VISIBLE;
  if (c.restore) w.minimized = false;
  bool top = IsTopLevel(w);
  if (IsShowing(w) && !wasShowing) {
    if (top) fx.Trace(wasVisible ? "window restored" : "window shown");
    Invalidate(w, nullptr, true);
  }
  if (top && c.activate) Activate(u, w, fx);
}

}  // namespace

// ------------------------------------------------------------- effects ----

void Effects::Trace(std::string event) {
  steps_.push_back([event = std::move(event)] { wce::Trace(event); });
}

void Effects::Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  steps_.push_back([=] { SendMessageW(hwnd, message, wParam, lParam); });
}

void Effects::Uncover(const RECT& screenRect, bool fillDesktop) {
  if (IsEmpty(screenRect)) return;
  steps_.push_back([=] {
    if (fillDesktop) gdi::FillScreenRect(screenRect, gdi::kDesktopRgb);
    InvalidateScreenArea(screenRect);
    // the bars sit on top of everything: put them back over the desktop
    if (fillDesktop && (Meets(screenRect, shell::TaskbarRect()) || Meets(screenRect, shell::SipButtonRect())))
      shell::DrawBars();
  });
}

void Effects::Run() {
  for (auto& step : steps_) step();
  steps_.clear();
}

// ------------------------------------------------------------ geometry ----

bool IsTopLevel(const Window& w) { return w.parent == nullptr; }

bool IsShowing(const Window& w) {
  const Window* at = &w;
  std::shared_ptr<Window> hold;
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    if (!(at->style & WS_VISIBLE) || at->minimized) return false;
    if (!at->parent) return true;
    hold = WindowOf(at->parent);
    if (!hold) return false;
    at = hold.get();
  }
  return false;
}

RECT ScreenRectOf(const Window& w) {
  RECT r = w.rect;
  HWND parent = w.parent;
  for (int depth = 0; parent && depth < kMaxDepth; ++depth) {
    std::shared_ptr<Window> p = WindowOf(parent);
    if (!p) break;
    r = Offset(r, p->rect.left, p->rect.top);
    parent = p->parent;
  }
  return r;
}

RECT ClientRectOf(const Window& w) { return RECT{0, 0, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top}; }

void Invalidate(Window& w, const RECT* clientRect, bool erase) {
  RECT client = ClientRectOf(w);
  RECT r = clientRect ? Intersection(*clientRect, client) : client;
  if (IsEmpty(r)) return;
  w.update = Bounds(w.update, r);
  w.updateErase = w.updateErase || erase;
  ClockNotifyAll();
}

// ---------------------------------------------------------- activation ----

void Activate(UserState& u, Window& w, Effects& fx) {
  BringToFront(u, w.handle);
  if (u.foreground == w.handle && u.foregroundActive) return;
  HWND previous = u.foregroundActive ? u.foreground : nullptr;
  if (previous) {
    fx.Trace("deactivate");
    fx.Send(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(w.handle));
  }
  u.foreground = w.handle;
  u.foregroundActive = true;
  fx.Trace("activate");
  // the high word says the window is minimised: the program then treats it as inactive
  fx.Send(w.handle, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, w.minimized ? 1 : 0), reinterpret_cast<LPARAM>(previous));
}

void Raise(UserState& u, Window& w, bool announce, Effects& fx) {
  if (announce) fx.Trace("foreground");
  if (w.minimized) {
    Show(u, w, *FindShowCommand(SW_RESTORE), fx);
    return;
  }
  Activate(u, w, fx);
}

void LeaveScreen(UserState& u, Window& w, Effects& fx) {
  bool top = IsTopLevel(w);
  if (IsShowing(w)) fx.Uncover(ScreenRectOf(w), top);
  w.style &= ~WS_VISIBLE;
  if (!top) return;
  std::erase(u.zOrder, w.handle);
  LoseActivation(u, w, false, fx);
}

bool ApplyShowCommand(UserState& u, Window& w, int command, Effects& fx) {
  const ShowCommand* c = FindShowCommand(command);
  if (!c) return false;
  switch (c->action) {
    case ShowAction::Hide:
      Hide(u, w, fx);
      break;
    case ShowAction::Minimize:
      Minimize(u, w, fx);
      break;
    case ShowAction::Show:
      Show(u, w, *c, fx);
      break;
  }
  return true;
}

std::shared_ptr<Window> TopWindowAt(const UserState& u, LONG x, LONG y) {
  for (HWND h : u.zOrder) {
    std::shared_ptr<Window> w = WindowOf(h);
    if (w && IsShowing(*w) && Contains(w->rect, x, y)) return w;
  }
  return nullptr;
}

}  // namespace wce::user

using namespace wce;
using namespace wce::user;

extern "C" {

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  Effects fx;
  BOOL wasVisible = FALSE;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    std::shared_ptr<Window> w = WindowOf(hWnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    if (!ApplyShowCommand(User(), *w, nCmdShow, fx)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  fx.Run();
  return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hWnd);
  // a minimised window still counts as visible, its hidden ancestors do not
  for (int depth = 0; w && depth < kMaxDepth; ++depth) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!w->parent) return TRUE;
    w = WindowOf(w->parent);
  }
  return FALSE;
}

BOOL WINAPI IsIconic(HWND hWnd) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hWnd);
  return w && w->minimized ? TRUE : FALSE;
}

HWND WINAPI GetForegroundWindow(void) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return User().foreground;
}

}  // extern "C"
