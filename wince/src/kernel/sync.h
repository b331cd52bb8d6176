// Events as the rest of the kernel sees them: WaitForSingleObject and
// CloseHandle accept them beside threads.
#pragma once

#include <windows.h>

namespace wce {

// WaitForSingleObject on an event. False when `handle` is not a live event;
// otherwise `result` is WAIT_OBJECT_0 or WAIT_TIMEOUT.
bool WaitForEvent(HANDLE handle, DWORD milliseconds, DWORD& result);
// True when `handle` was an event and is now closed.
bool CloseEvent(HANDLE handle);
// Drops every event handle (device reset).
void EventsReset();

}  // namespace wce
