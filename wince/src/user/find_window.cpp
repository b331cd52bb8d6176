// FindWindowW and SetForegroundWindow, within this process and, through the
// rendezvous, across the processes of one device: a second start of a
// program finds the first one's window and brings it forward.
#include <windows.h>

#include "device/internal.h"
#include "kernel/clock.h"
#include "user/rendezvous.h"
#include "user/user_state.h"
#include "user/window_classes.h"
#include "user/window_manager.h"

namespace wce::user {
namespace {

// A window found in another process gets a handle here, the same one each
// time it is found again.
HWND RemoteHandle(const RemoteWindowRef& ref) {
  UserState& u = User();
  for (const auto& w : u.windows.All())
    if (w->remote && w->remoteId == ref.id && w->remoteSocket == ref.socket) return w->handle;
  auto w = std::make_shared<Window>();
  w->remote = true;
  w->remoteId = ref.id;
  w->remoteSocket = ref.socket;
  w->handle = reinterpret_cast<HWND>(u.windows.Insert(w));
  return w->handle;
}

std::optional<RemoteWindowRef> RemoteOf(HWND hwnd) {
  std::shared_ptr<Window> w = AnyWindowOf(hwnd);
  if (!w || !w->remote) return std::nullopt;
  return RemoteWindowRef{w->remoteSocket, w->remoteId};
}

// Raises one of our own windows; `announce` when another process asked.
bool RaiseLocal(HWND hwnd, bool announce) {
  Effects fx;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    std::shared_ptr<Window> w = WindowOf(hwnd);
    if (!w || w->destroying || !IsTopLevel(*w)) return false;
    Raise(User(), *w, announce, fx);
  }
  fx.Run();
  return true;
}

}  // namespace

HWND FindLocalWindow(LPCWSTR className, LPCWSTR title) {
  UserState& u = User();
  for (HWND h : u.zOrder) {  // front first, as the platform searches
    std::shared_ptr<Window> w = WindowOf(h);
    if (!w || w->destroying) continue;
    if (className && !ClassMatches(*w->cls, className)) continue;
    if (title && w->title != title) continue;
    return w->handle;
  }
  return nullptr;
}

uint64_t ServeFind(const std::optional<std::wstring>& className, const std::optional<std::wstring>& title) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  HWND found = FindLocalWindow(className ? className->c_str() : nullptr, title ? title->c_str() : nullptr);
  return reinterpret_cast<uintptr_t>(found);
}

bool ServeRaise(uint64_t id) { return RaiseLocal(reinterpret_cast<HWND>(static_cast<uintptr_t>(id)), true); }

}  // namespace wce::user

namespace wce::internal {

void UserStart(const std::string& deviceDir) { user::RendezvousSetFolder(deviceDir); }

}  // namespace wce::internal

using namespace wce;
using namespace wce::user;

extern "C" {

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    if (HWND local = FindLocalWindow(lpClassName, lpWindowName)) return local;
  }
  if (lpClassName && IS_INTRESOURCE(lpClassName)) return nullptr;  // atoms belong to their process
  std::optional<RemoteWindowRef> found = RendezvousFind(lpClassName, lpWindowName);
  if (!found) return nullptr;
  std::lock_guard<std::mutex> lock(DeviceLock());
  return RemoteHandle(*found);
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  // Bit 0 asks for the window's owned windows to come along; it is no part of the handle.
  HWND hwnd = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(hWnd) & ~uintptr_t{1});
  std::optional<RemoteWindowRef> remote;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    remote = RemoteOf(hwnd);
  }
  bool raised = remote ? RendezvousRaise(*remote) : RaiseLocal(hwnd, false);
  if (!raised) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return raised ? TRUE : FALSE;
}

}  // extern "C"
