// What the user layer keeps: window classes, windows, per-thread message
// queues and timers. Everything here is guarded by DeviceLock(), because the
// clock's wait predicates read the queues.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kernel/handles.h"
#include "user/timers.h"

namespace wce::user {

struct WindowClass {
  std::wstring name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HBRUSH background = nullptr;
  int windows = 0;  // a class with windows cannot be unregistered
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD thread = 0;
  HWND parent = nullptr;
  LONG style = 0;
  LONG exStyle = 0;
  LONG_PTR userData = 0;
  LONG_PTR id = 0;
  HINSTANCE instance = nullptr;
  RECT rect{};  // top-level: screen coordinates; child: the parent's client coordinates
  std::wstring title;
  bool minimized = false;
  RECT update{};             // bounding rectangle of the invalid part, client coordinates
  bool updateErase = false;  // an invalidation asked for the background to be erased
  bool destroying = false;
  // A window of another process on this device, found through the
  // rendezvous. It only answers IsWindow and SetForegroundWindow; WindowOf
  // never returns it.
  bool remote = false;
  uint64_t remoteId = 0;
  std::string remoteSocket;
};

// A SendMessageW from another thread, waiting for the owner to handle it.
struct SentMessage {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT result = 0;
  bool done = false;
};

struct ThreadQueue {
  std::deque<std::shared_ptr<SentMessage>> sent;
  std::deque<MSG> posted;
  std::deque<MSG> input;  // pen and keys from the host
  bool quit = false;
  int quitCode = 0;
  uint64_t timerChanges = 0;  // a waiting GetMessageW re-reads its deadline when this moves
};

struct UserState {
  HandleTable<Window> windows{HandleKind::Window};
  std::vector<std::shared_ptr<WindowClass>> classes;
  ATOM nextAtom = 0xC000;  // where the platform starts string atoms
  std::map<DWORD, std::shared_ptr<ThreadQueue>> queues;
  TimerList timers;
  std::vector<HWND> zOrder;  // top-level windows, front first
  HWND foreground = nullptr;
  bool foregroundActive = false;  // the foreground window heard WA_ACTIVATE last, not WA_INACTIVE
  HWND penCapture = nullptr;      // where the pen went down: it gets the moves and the lift
};

UserState& User();

// --- helpers; all with DeviceLock() held ---

// A window of this process; null for bad, stale and remote handles.
std::shared_ptr<Window> WindowOf(HWND hwnd);
// Any live handle, remote ones included.
std::shared_ptr<Window> AnyWindowOf(HWND hwnd);
// The calling thread's queue, made on first use (and dropped when the thread ends).
ThreadQueue& CurrentQueue();
// Null when that thread never made a queue.
ThreadQueue* QueueOf(DWORD thread);
// Answers a sent message and wakes its sender.
void Answer(SentMessage& message, LRESULT result);
// Takes a window out of everything: table, its class's count, queues, timers.
// Calls no window procedure.
void Unlink(const std::shared_ptr<Window>& window);
// A thread has ended: its windows, timers and queue go, without procedures.
void DropThread(DWORD thread);

// Live windows of this process (remote ones left out) and set timers, for
// the device's resource counts. Take DeviceLock() themselves.
size_t WindowCount();
size_t TimerCount();

// Calls the window procedure without holding the lock; 0 for a dead window.
LRESULT CallWindowProcedure(std::unique_lock<std::mutex>& lock, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam);

}  // namespace wce::user
