// Inside the device: the one lock and the waits that let the virtual clock
// decide when time may move. Every blocking wait of a program thread goes
// through ClockWait, so the clock can tell when all of them are waiting.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

namespace wce {

constexpr uint64_t kNoDeadline = UINT64_MAX;

// The device lock. State that a ClockWait predicate reads (message queues,
// timers, thread exit flags) is guarded by it.
std::mutex& DeviceLock();

// Waits, with `lock` holding DeviceLock(), until `ready()` is true (returns
// true) or device time reaches `deadlineMs` (returns false). `ready` is called
// with the lock held, also by other threads deciding whether everyone waits.
// Works for unregistered threads too (they then do not hold time back).
bool ClockWait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
               uint64_t deadlineMs);

// Wakes every waiter to re-check its predicate; call with DeviceLock() held
// after changing state that a predicate reads.
void ClockNotifyAll();

// ClockNowMs() for callers that already hold DeviceLock().
uint64_t ClockNowLocked();

// Registration from inside the device, all with DeviceLock() held. CreateThread
// reserves a place for the new thread before it runs, so time cannot slip past
// while it starts; the new thread claims it first thing.
void ClockReserveProgramThread();
void ClockClaimProgramThread();
void ClockReleaseProgramThread();  // gives back a reservation never claimed
// A device service thread (the audio callback thread) counts like a program
// thread, holding time still while it works, but is no part of the program:
// a real-time driver stops waiting once only service threads are left.
void ClockReserveServiceThread();
void ClockClaimServiceThread();
void ClockReleaseServiceThread();  // a reservation never claimed
bool ClockIsProgramThread();
void ClockUnregisterLocked();

}  // namespace wce
