// The message calls: getting, posting, sending and dispatching, and timers.
#include <windows.h>

#include "kernel/clock.h"
#include "user/message_queue.h"
#include "user/user_state.h"

namespace wce::user {
namespace {

void Post(ThreadQueue& q, const MSG& m) {
  q.posted.push_back(m);
  ClockNotifyAll();
}

bool HasSentMessages(DWORD thread) {
  ThreadQueue* q = QueueOf(thread);
  return q && !q->sent.empty();
}

uint64_t TimerChanges(DWORD thread) {
  ThreadQueue* q = QueueOf(thread);
  return q ? q->timerChanges : 0;
}

void TimersChanged(DWORD thread) {
  if (ThreadQueue* q = QueueOf(thread)) q->timerChanges++;
  ClockNotifyAll();
}

// Cross-thread SendMessageW: queue it for the owner and wait for the answer,
// handling what others send to us meanwhile so two threads sending to each
// other do not lock up.
LRESULT SendAcross(std::unique_lock<std::mutex>& lock, ThreadQueue& target, HWND hwnd, UINT message,
                   WPARAM wParam, LPARAM lParam) {
  auto m = std::make_shared<SentMessage>();
  *m = SentMessage{hwnd, message, wParam, lParam, 0, false};
  target.sent.push_back(m);
  ClockNotifyAll();
  DWORD me = GetCurrentThreadId();
  while (!m->done) {
    ClockWait(lock, [&] { return m->done || HasSentMessages(me); }, kNoDeadline);
    HandleSentMessages(lock);
  }
  return m->result;
}

}  // namespace
}  // namespace wce::user

using namespace wce;
using namespace wce::user;

extern "C" {

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  MessageFilter filter{hWnd, wMsgFilterMin, wMsgFilterMax};
  DWORD me = GetCurrentThreadId();
  std::unique_lock<std::mutex> lock(DeviceLock());
  CurrentQueue();
  for (;;) {
    if (!filter.Valid()) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
    HandleSentMessages(lock);
    CurrentQueue();  // again: a reset while a procedure ran may have dropped it
    if (NextMessage(me, filter, true, lpMsg)) return lpMsg->message == WM_QUIT ? FALSE : TRUE;
    // Sleep until something arrives or the next timer falls due; a timer set
    // meanwhile (from any thread) makes us look again at the deadline.
    uint64_t changes = TimerChanges(me);
    ClockWait(
        lock,
        [&] {
          return HasSentMessages(me) || !filter.Valid() || NextMessage(me, filter, false, nullptr) ||
                 TimerChanges(me) != changes;
        },
        NextTimerDue(filter));
  }
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  MessageFilter filter{hWnd, wMsgFilterMin, wMsgFilterMax};
  std::unique_lock<std::mutex> lock(DeviceLock());
  CurrentQueue();
  if (!filter.Valid()) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  HandleSentMessages(lock);
  CurrentQueue();
  const DWORD me = GetCurrentThreadId();
  const bool remove = (wRemoveMsg & PM_REMOVE) != 0;
  if (!NextMessage(me, filter, remove, lpMsg)) {
    // Nothing: a thread that keeps asking waits here for whatever comes next,
    // its own next timer included, so polling lets device time move.
    ClockPollWait(
        lock, [&] { return HasSentMessages(me) || !filter.Valid() || NextMessage(me, filter, false, nullptr); },
        NextTimerDue(filter));
    HandleSentMessages(lock);
    CurrentQueue();
    if (!filter.Valid() || !NextMessage(me, filter, remove, lpMsg)) return FALSE;
  }
  ClockPollFound();
  return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }  // no character messages on this device

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  std::unique_lock<std::mutex> lock(DeviceLock());
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    // Only a live timer with that procedure: a stale or forged WM_TIMER calls nothing.
    TIMERPROC proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
    const Timer* t = User().timers.Find(lpMsg->hwnd, lpMsg->wParam, GetCurrentThreadId());
    if (!t || t->proc != proc) return 0;
    DWORD now = static_cast<DWORD>(ClockNowLocked());
    lock.unlock();
    proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, now);
    return 0;
  }
  if (!lpMsg->hwnd) return 0;  // thread messages have no procedure
  if (!WindowOf(lpMsg->hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallWindowProcedure(lock, lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  if (!hWnd) {
    Post(CurrentQueue(), MakeMessage(nullptr, Msg, wParam, lParam));
    return TRUE;
  }
  std::shared_ptr<Window> w = WindowOf(hWnd);
  ThreadQueue* q = w ? QueueOf(w->thread) : nullptr;
  if (!q) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  Post(*q, MakeMessage(hWnd, Msg, wParam, lParam));
  return TRUE;
}

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  ThreadQueue* q = QueueOf(idThread);
  if (!q) {
    SetLastError(ERROR_INVALID_THREAD_ID);  // no such thread, or it never made a queue
    return FALSE;
  }
  Post(*q, MakeMessage(nullptr, Msg, wParam, lParam));
  return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  std::shared_ptr<Window> w = WindowOf(hWnd);
  ThreadQueue* owner = w ? QueueOf(w->thread) : nullptr;
  if (!owner) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->thread == GetCurrentThreadId()) return CallWindowProcedure(lock, hWnd, Msg, wParam, lParam);
  return SendAcross(lock, *owner, hWnd, Msg, wParam, lParam);
}

void WINAPI PostQuitMessage(int nExitCode) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  ThreadQueue& q = CurrentQueue();
  q.quit = true;
  q.quitCode = nExitCode;
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  UserState& u = User();
  DWORD thread = GetCurrentThreadId();
  if (hWnd) {
    std::shared_ptr<Window> w = WindowOf(hWnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    thread = w->thread;  // a window's timers fire on the window's thread
  } else {
    CurrentQueue();
    // an unknown id is ignored for thread timers: the platform picks one
    if (!u.timers.Find(nullptr, nIDEvent, thread)) nIDEvent = u.timers.NewThreadTimerId(thread);
  }
  u.timers.Set(hWnd, nIDEvent, thread, uElapse, lpTimerFunc, ClockNowLocked());
  TimersChanged(thread);
  return nIDEvent;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  DWORD thread = GetCurrentThreadId();
  if (hWnd) {
    std::shared_ptr<Window> w = WindowOf(hWnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    thread = w->thread;
  }
  if (!User().timers.Kill(hWnd, uIDEvent, thread)) return FALSE;
  TimersChanged(thread);
  return TRUE;
}

}  // extern "C"
