// Threads and handles of the kernel, as seen from the rest of the device.
#pragma once

#include <windows.h>

#include <cstddef>

namespace wce {

// Other handle kinds (searches, processes) join CloseHandle through a hook that
// returns true when the handle was one of its own and is now closed. Register
// it when the first such handle is made (static initialisers in a static
// library may never run). Adding the same hook twice is harmless.
using CloseHandleHook = bool (*)(HANDLE handle);
void AddCloseHandleHook(CloseHandleHook hook);

// Called on a thread made by CreateThread as its procedure returns, before
// anyone waiting for it wakes: the user layer drops the thread's windows here,
// as the platform does. Register when first needed; duplicates are ignored.
using ThreadExitHook = void (*)();
void AddThreadExitHook(ThreadExitHook hook);

// Threads made by CreateThread whose procedure has not returned yet, on any
// device since the process began (a thread outlives a device reset).
size_t LiveThreadCount();

// Drops every thread handle (the threads themselves run on) and the calling
// thread's last error. For KernelReset.
void ThreadHandlesReset();

}  // namespace wce
