#include "user/user_state.h"

#include <algorithm>
#include <utility>

#include "device/internal.h"
#include "kernel/clock.h"
#include "kernel/thread.h"
#include "user/rendezvous.h"

namespace wce::user {
namespace {

// Drops the thread's queue, windows and timers when the thread ends, as the
// platform does, so nobody waits forever on a window whose thread is gone.
// Threads of CreateThread do it before they count as ended; any other thread
// at the latest when its thread-locals go.
struct QueueOwner {
  DWORD thread = 0;
  ~QueueOwner() { Drop(); }
  void Drop() {
    if (!thread) return;
    std::lock_guard<std::mutex> lock(DeviceLock());
    DropThread(std::exchange(thread, 0));
  }
};
thread_local QueueOwner tlQueueOwner;

void DropCurrentThread() { tlQueueOwner.Drop(); }

void AbandonSent(ThreadQueue& queue, HWND hwnd) {
  auto& sent = queue.sent;
  for (auto& m : sent)
    if (!hwnd || m->hwnd == hwnd) Answer(*m, 0);
  std::erase_if(sent, [&](const std::shared_ptr<SentMessage>& m) { return !hwnd || m->hwnd == hwnd; });
}

}  // namespace

UserState& User() {
  static auto* state = new UserState;  // detached threads may still look at it during exit
  return *state;
}

std::shared_ptr<Window> WindowOf(HWND hwnd) {
  std::shared_ptr<Window> w = User().windows.Lookup(hwnd);
  return w && !w->remote ? w : nullptr;
}

std::shared_ptr<Window> AnyWindowOf(HWND hwnd) { return User().windows.Lookup(hwnd); }

ThreadQueue& CurrentQueue() {
  DWORD me = GetCurrentThreadId();
  auto& slot = User().queues[me];
  if (!slot) {
    slot = std::make_shared<ThreadQueue>();
    tlQueueOwner.thread = me;
    AddThreadExitHook(DropCurrentThread);
  }
  return *slot;
}

ThreadQueue* QueueOf(DWORD thread) {
  auto& queues = User().queues;
  auto it = queues.find(thread);
  return it == queues.end() ? nullptr : it->second.get();
}

void Answer(SentMessage& message, LRESULT result) {
  message.result = result;
  message.done = true;
  ClockNotifyAll();
}

void Unlink(const std::shared_ptr<Window>& window) {
  UserState& u = User();
  if (!u.windows.Remove(window->handle)) return;
  window->cls->windows--;
  std::erase(u.zOrder, window->handle);
  if (u.foreground == window->handle) {
    u.foreground = nullptr;
    u.foregroundActive = false;
  }
  if (u.penCapture == window->handle) u.penCapture = nullptr;
  u.timers.DropWindow(window->handle);
  if (ThreadQueue* q = QueueOf(window->thread)) {
    auto mine = [&](const MSG& m) { return m.hwnd == window->handle; };
    std::erase_if(q->posted, mine);
    std::erase_if(q->input, mine);
    AbandonSent(*q, window->handle);
    q->timerChanges++;
  }
  ClockNotifyAll();
}

void DropThread(DWORD thread) {
  UserState& u = User();
  for (const auto& w : u.windows.All())
    if (w->thread == thread) Unlink(w);
  u.timers.DropThread(thread);
  if (ThreadQueue* q = QueueOf(thread)) AbandonSent(*q, nullptr);
  u.queues.erase(thread);
  ClockNotifyAll();
}

size_t WindowCount() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  size_t n = 0;
  for (const auto& w : User().windows.All()) n += w->remote ? 0 : 1;
  return n;
}

size_t TimerCount() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return User().timers.Count();
}

LRESULT CallWindowProcedure(std::unique_lock<std::mutex>& lock, HWND hwnd, UINT message, WPARAM wParam,
                            LPARAM lParam) {
  std::shared_ptr<Window> w = WindowOf(hwnd);
  if (!w || !w->proc) return 0;
  WNDPROC proc = w->proc;
  lock.unlock();
  LRESULT result = proc(hwnd, message, wParam, lParam);
  lock.lock();
  return result;
}

}  // namespace wce::user

namespace wce::internal {

void UserReset() {
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    user::UserState& u = user::User();
    for (auto& [thread, queue] : u.queues)
      for (auto& m : queue->sent) user::Answer(*m, 0);
    u.windows.Clear();
    u.classes.clear();
    u.queues.clear();
    u.timers.Clear();
    u.zOrder.clear();
    u.foreground = nullptr;
    u.foregroundActive = false;
    u.penCapture = nullptr;
    ClockNotifyAll();
  }
  // Only now: a request being served may have been waiting for one of the
  // sends answered above.
  user::RendezvousStopServing();
}

}  // namespace wce::internal
