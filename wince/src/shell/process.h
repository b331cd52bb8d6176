// Programs started with CreateProcessW, as the device keeps them: real host
// processes, reaped when they end so none is left behind as a zombie.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kernel/handles.h"

namespace wce::shell {

// Process and thread handles from CreateProcessW; CloseHandle closes them.
// (Kinds of our own, well clear of the kernel's.)
constexpr HandleKind kProcessHandleKind = HandleKind::Process;

// Waits up to `timeoutMs` of real time for the process behind a handle from
// CreateProcessW to end and be reaped; its wait status in `status`. False
// when the handle is bad or the time ran out. (Tests use it: a real program
// runs on real time, not on the device's clock.)
bool WaitForProgramEnd(HANDLE process, uint32_t timeoutMs, int* status);

}  // namespace wce::shell
