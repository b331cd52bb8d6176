// Retrieving from a thread's queue in the platform's order: sent messages from
// other threads (handled on the spot), posted messages, WM_QUIT, input,
// WM_PAINT, WM_TIMER.
#pragma once

#include <windows.h>

#include <mutex>

namespace wce::user {

// GetMessageW/PeekMessageW's window and range filters.
struct MessageFilter {
  HWND hwnd = nullptr;  // null: everything of the thread; (HWND)-1: thread messages only
  UINT first = 0;
  UINT last = 0;  // 0, 0: every message

  bool Valid() const;  // false when hwnd names no live window
  bool Matches(HWND target, UINT message) const;
};

// A message stamped with the device time (DeviceLock() held).
MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Handles every message sent to the calling thread by other threads; the lock
// is released around each window procedure. True when any was handled.
bool HandleSentMessages(std::unique_lock<std::mutex>& lock);

// The next message for `thread` (except sent ones), taken out of the queue
// when `remove`. `out` may be null to just ask whether there is one. Takes the
// thread explicitly: wait predicates run on whichever thread checks the clock.
bool NextMessage(DWORD thread, const MessageFilter& filter, bool remove, MSG* out);

// When the calling thread's first timer matching the filter falls due.
uint64_t NextTimerDue(const MessageFilter& filter);

// Queues an input message (pen, keys) for the window's thread: it comes after
// posted messages and before WM_PAINT. False for a bad window. DeviceLock() held.
bool QueueInputMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, POINT screenPoint);

}  // namespace wce::user
