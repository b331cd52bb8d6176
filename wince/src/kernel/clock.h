// Inside the device: the one lock and the waits that let the virtual clock
// decide when time may move. Every blocking wait of a program thread goes
// through ClockWait, so the clock can tell when all of them are waiting.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

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

// A poll that found nothing (Sleep(0), PeekMessageW, a wait with no time):
// on the virtual clock, a registered thread that polls again with nothing
// changed since its last fruitless poll is taken to wait for anything to
// happen (time moving to the next deadline, which may be `deadlineMs`, or a
// notification), so a polling loop lets time move instead of freezing it.
// Returns `ready()` at the end. Otherwise (and when nothing at all could end
// such a wait) returns at once.
bool ClockPollWait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready,
                   uint64_t deadlineMs);
// The calling thread's poll found something: its next empty poll returns at once.
void ClockPollFound();

// Names the calling registered thread for the watchdog. DeviceLock() held.
void ClockDescribeThread(const void* startRoutine, const std::string& label);

// A registered thread that has not waited for a while.
struct StalledThread {
  DWORD id = 0;
  const void* start = nullptr;
  std::string label;
};
// On the virtual clock, while anyone waits for time to move: a registered
// thread that has not been in a device wait for `limit` of real time. Each
// such stretch is told once. Takes DeviceLock().
bool ClockFindStalledThread(std::chrono::milliseconds limit, StalledThread& out);

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
