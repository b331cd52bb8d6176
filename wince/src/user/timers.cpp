#include "user/timers.h"

#include <algorithm>

namespace wce::user {
namespace {

// CE counts time in 1 ms ticks and has no 10 ms floor as the desktop does.
// A zero period would leave a timer due forever, and the virtual clock could
// then never move, so it becomes the smallest period there is.
uint64_t PeriodOf(UINT elapse) { return std::max<UINT>(elapse, 1); }

bool Same(const Timer& t, HWND hwnd, UINT_PTR id, DWORD thread) {
  // window timers are known by their window, thread timers by their thread
  return t.hwnd == hwnd && t.id == id && (hwnd || t.thread == thread);
}

}  // namespace

void TimerList::Set(HWND hwnd, UINT_PTR id, DWORD thread, UINT elapse, TIMERPROC proc, uint64_t now) {
  uint64_t period = PeriodOf(elapse);
  for (Timer& t : timers_) {
    if (!Same(t, hwnd, id, thread)) continue;
    t.proc = proc;
    t.period = period;
    t.due = now + period;
    return;
  }
  timers_.push_back({hwnd, id, proc, thread, period, now + period, nextOrder_++});
}

bool TimerList::Kill(HWND hwnd, UINT_PTR id, DWORD thread) {
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return Same(t, hwnd, id, thread); });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  return true;
}

UINT_PTR TimerList::NewThreadTimerId(DWORD thread) const {
  UINT_PTR id = 1;
  while (Find(nullptr, id, thread)) ++id;
  return id;
}

const Timer* TimerList::Find(HWND hwnd, UINT_PTR id, DWORD thread) const {
  for (const Timer& t : timers_)
    if (Same(t, hwnd, id, thread)) return &t;
  return nullptr;
}

void TimerList::Fired(Timer& timer, uint64_t now) {
  if (timer.due > now) return;
  uint64_t late = now - timer.due;
  timer.due += (late / timer.period + 1) * timer.period;
}

void TimerList::DropWindow(HWND hwnd) {
  std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

void TimerList::DropThread(DWORD thread) {
  std::erase_if(timers_, [&](const Timer& t) { return t.thread == thread; });
}

}  // namespace wce::user
