// Window and thread timers. WM_TIMER is made up when a due timer is retrieved,
// so killing a timer also takes back any WM_TIMER it had pending.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace wce::user {

struct Timer {
  HWND hwnd = nullptr;  // null: a thread timer
  UINT_PTR id = 0;
  TIMERPROC proc = nullptr;
  DWORD thread = 0;  // whose GetMessageW delivers it
  uint64_t period = 0;
  uint64_t due = 0;
  uint64_t order = 0;  // ties between equally due timers go to the older one
};

class TimerList {
 public:
  // Sets or replaces (hwnd, id); a replaced timer starts over from now.
  void Set(HWND hwnd, UINT_PTR id, DWORD thread, UINT elapse, TIMERPROC proc, uint64_t now);
  bool Kill(HWND hwnd, UINT_PTR id, DWORD thread);
  // A fresh id for a thread timer of `thread`.
  UINT_PTR NewThreadTimerId(DWORD thread) const;
  const Timer* Find(HWND hwnd, UINT_PTR id, DWORD thread) const;

  // The earliest due timer of `thread` that `matches` accepts; null if none is due.
  template <class Match>
  Timer* FirstDue(DWORD thread, uint64_t now, Match matches);
  // The earliest due time of such a timer, due or not; UINT64_MAX if none.
  template <class Match>
  uint64_t NextDue(DWORD thread, Match matches) const;

  // Fired: next due time moves past now by whole periods (no backlog).
  static void Fired(Timer& timer, uint64_t now);

  void DropWindow(HWND hwnd);
  void DropThread(DWORD thread);
  void Clear() { timers_.clear(); }
  size_t Count() const { return timers_.size(); }

 private:
  std::vector<Timer> timers_;
  uint64_t nextOrder_ = 0;
};

template <class Match>
Timer* TimerList::FirstDue(DWORD thread, uint64_t now, Match matches) {
  Timer* best = nullptr;
  for (Timer& t : timers_) {
    if (t.thread != thread || t.due > now || !matches(t)) continue;
    if (!best || t.due < best->due || (t.due == best->due && t.order < best->order)) best = &t;
  }
  return best;
}

template <class Match>
uint64_t TimerList::NextDue(DWORD thread, Match matches) const {
  uint64_t next = UINT64_MAX;
  for (const Timer& t : timers_)
    if (t.thread == thread && t.due < next && matches(t)) next = t.due;
  return next;
}

}  // namespace wce::user
