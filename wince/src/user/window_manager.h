// The window manager: which windows show, which one is in front and active,
// and what must be repainted. State changes happen under DeviceLock(); what
// they cause (trace lines, WM_ACTIVATE and friends, uncovered desktop) is
// collected as Effects and run once the lock is let go, because window
// procedures and GDI call back into the device.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "user/user_state.h"

namespace wce::user {

class Effects {
 public:
  void Trace(std::string event);
  // SendMessageW semantics: a direct call on the owner's thread, else queued
  // for it and waited for.
  void Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // A part of the screen no longer covered by a window: the desktop shows
  // there (top-level windows) and whatever lies under it repaints.
  void Uncover(const RECT& screenRect, bool fillDesktop);
  // Runs everything in order; DeviceLock() must not be held.
  void Run();

 private:
  std::vector<std::function<void()>> steps_;
};

// --- all with DeviceLock() held ---

bool IsTopLevel(const Window& w);
// WS_VISIBLE and not minimised, and so are its ancestors.
bool IsShowing(const Window& w);
RECT ScreenRectOf(const Window& w);
RECT ClientRectOf(const Window& w);  // (0, 0, width, height)

// Adds to the update region (NULL: the whole client area) and wakes the owner.
void Invalidate(Window& w, const RECT* clientRect, bool erase);

// Foreground and active: the window active until now hears WA_INACTIVE first.
void Activate(UserState& u, Window& w, Effects& fx);
// Restores a minimised window, brings it to the front and activates it;
// `announce` traces `foreground` first (another process asked for it).
void Raise(UserState& u, Window& w, bool announce, Effects& fx);
// A window about to be destroyed leaves the screen and gives up activation.
void LeaveScreen(UserState& u, Window& w, Effects& fx);
// ShowWindow's work; false for a command it does not know.
bool ApplyShowCommand(UserState& u, Window& w, int command, Effects& fx);
// The front-most showing top-level window under a screen point, or null.
std::shared_ptr<Window> TopWindowAt(const UserState& u, LONG x, LONG y);

// A window of this process that FindWindowW would return, or null.
HWND FindLocalWindow(LPCWSTR className, LPCWSTR title);

}  // namespace wce::user
