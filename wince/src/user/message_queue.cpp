#include "user/message_queue.h"

#include <algorithm>

#include "kernel/clock.h"
#include "user/rects.h"
#include "user/user_state.h"
#include "user/window_manager.h"

namespace wce::user {
namespace {

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool IsSelfOrDescendant(HWND target, HWND ancestor) {
  for (int depth = 0; target && depth < 64; ++depth) {  // bounded: parents are never cyclic, but be safe
    if (target == ancestor) return true;
    std::shared_ptr<Window> w = WindowOf(target);
    if (!w) return false;
    target = w->parent;
  }
  return false;
}

// First message of a FIFO that the filter accepts.
bool TakeFrom(std::deque<MSG>& fifo, const MessageFilter& filter, bool remove, MSG* out) {
  auto it = std::find_if(fifo.begin(), fifo.end(), [&](const MSG& m) { return filter.Matches(m.hwnd, m.message); });
  if (it == fifo.end()) return false;
  if (out) *out = *it;
  if (remove) fifo.erase(it);
  return true;
}

bool TakeQuit(ThreadQueue& q, bool remove, MSG* out) {
  if (!q.quit) return false;  // WM_QUIT ignores the filters, as on the platform
  if (out) *out = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0);
  if (remove) q.quit = false;
  return true;
}

bool TakePaint(DWORD thread, const MessageFilter& filter, MSG* out) {
  for (const auto& w : User().windows.All()) {
    if (w->thread != thread || IsEmpty(w->update) || !filter.Matches(w->handle, WM_PAINT)) continue;
    if (w->remote || !IsShowing(*w)) continue;  // a hidden window paints once it shows
    // stays until the window is validated, so nothing to remove
    if (out) *out = MakeMessage(w->handle, WM_PAINT, 0, 0);
    return true;
  }
  return false;
}

bool TakeTimer(DWORD thread, const MessageFilter& filter, bool remove, MSG* out) {
  uint64_t now = ClockNowLocked();
  Timer* t = User().timers.FirstDue(thread, now, [&](const Timer& t) { return filter.Matches(t.hwnd, WM_TIMER); });
  if (!t) return false;
  if (out) *out = MakeMessage(t->hwnd, WM_TIMER, t->id, reinterpret_cast<LPARAM>(t->proc));
  if (remove) TimerList::Fired(*t, now);
  return true;
}

}  // namespace

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG m{};
  m.hwnd = hwnd;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = static_cast<DWORD>(ClockNowLocked());
  return m;
}

bool MessageFilter::Valid() const {
  return !hwnd || hwnd == kThreadMessagesOnly || WindowOf(hwnd) != nullptr;
}

bool MessageFilter::Matches(HWND target, UINT message) const {
  if (first || last) {
    if (message < first || message > last) return false;
  }
  if (!hwnd) return true;
  if (hwnd == kThreadMessagesOnly) return target == nullptr;
  return IsSelfOrDescendant(target, hwnd);
}

bool HandleSentMessages(std::unique_lock<std::mutex>& lock) {
  bool handled = false;
  DWORD me = GetCurrentThreadId();
  for (;;) {
    ThreadQueue* q = QueueOf(me);  // looked up each time: a reset may drop it
    if (!q || q->sent.empty()) return handled;
    std::shared_ptr<SentMessage> m = q->sent.front();
    q->sent.pop_front();
    LRESULT result = CallWindowProcedure(lock, m->hwnd, m->message, m->wParam, m->lParam);
    Answer(*m, result);
    handled = true;
  }
}

bool NextMessage(DWORD thread, const MessageFilter& filter, bool remove, MSG* out) {
  ThreadQueue* q = QueueOf(thread);
  if (!q) return false;
  // posted first; WM_QUIT only once nothing posted is left for this filter
  return TakeFrom(q->posted, filter, remove, out) || TakeQuit(*q, remove, out) ||
         TakeFrom(q->input, filter, remove, out) || TakePaint(thread, filter, out) ||
         TakeTimer(thread, filter, remove, out);
}

uint64_t NextTimerDue(const MessageFilter& filter) {
  uint64_t due = User().timers.NextDue(GetCurrentThreadId(),
                                       [&](const Timer& t) { return filter.Matches(t.hwnd, WM_TIMER); });
  return due == UINT64_MAX ? kNoDeadline : due;
}

bool QueueInputMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, POINT screenPoint) {
  std::shared_ptr<Window> w = WindowOf(hwnd);
  ThreadQueue* q = w ? QueueOf(w->thread) : nullptr;
  if (!q) return false;
  MSG m = MakeMessage(hwnd, message, wParam, lParam);
  m.pt = screenPoint;
  q->input.push_back(m);
  ClockNotifyAll();
  return true;
}

}  // namespace wce::user
