// Critical sections, interlocked counters and events. A critical section that
// nobody contends costs one atomic exchange; a thread that must wait for one,
// or for an event, waits through ClockWait so the virtual clock sees it.
#include "kernel/sync.h"

#include <atomic>
#include <memory>

#include "kernel/clock.h"
#include "kernel/handles.h"

namespace wce {
namespace {

// The owner is kept in OwnerThread as the owning thread's id; needtrap counts
// the threads parked in EnterCriticalSection, so that a leaving owner knows
// whether to wake anyone. LockCount is the owner's recursion depth and only
// the owner touches it.
// Atomic access to a plain field (std::atomic_ref, which not every standard
// library has yet), sequentially consistent like the std::atomic defaults.
template <typename T>
class AtomicRef {
 public:
  explicit AtomicRef(T& value) : value_(value) {}
  T load() const { return __atomic_load_n(&value_, __ATOMIC_SEQ_CST); }
  void store(T value) { __atomic_store_n(&value_, value, __ATOMIC_SEQ_CST); }
  bool compare_exchange_strong(T& expected, T desired) {
    return __atomic_compare_exchange_n(&value_, &expected, desired, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  }
  T fetch_add(T n) { return __atomic_fetch_add(&value_, n, __ATOMIC_SEQ_CST); }
  T fetch_sub(T n) { return __atomic_fetch_sub(&value_, n, __ATOMIC_SEQ_CST); }

 private:
  T& value_;
};

AtomicRef<HANDLE> Owner(CRITICAL_SECTION& cs) { return AtomicRef<HANDLE>(cs.OwnerThread); }
AtomicRef<DWORD> Parked(CRITICAL_SECTION& cs) { return AtomicRef<DWORD>(cs.needtrap); }

HANDLE Me() { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(GetCurrentThreadId())); }

bool TryTake(CRITICAL_SECTION& cs, HANDLE me) {
  HANDLE expected = nullptr;
  if (!Owner(cs).compare_exchange_strong(expected, me)) return false;
  cs.LockCount = 1;
  return true;
}

struct EventObject {
  bool manualReset = false;
  bool signaled = false;  // guarded by DeviceLock()
};

HandleTable<EventObject>& Events() {
  static auto* table = new HandleTable<EventObject>(HandleKind::Event);  // waiters may outlive a reset
  return *table;
}

}  // namespace

bool WaitForEvent(HANDLE handle, DWORD milliseconds, DWORD& result) {
  std::shared_ptr<EventObject> event = Events().Lookup(handle);
  if (!event) return false;
  std::unique_lock<std::mutex> lock(DeviceLock());
  uint64_t deadline = milliseconds == INFINITE ? kNoDeadline : ClockNowLocked() + milliseconds;
  bool signaled = ClockWait(lock, [&] { return event->signaled; }, deadline);
  // Still under the lock: an auto-reset event lets exactly one waiter through.
  if (signaled && !event->manualReset) event->signaled = false;
  result = signaled ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
  return true;
}

bool CloseEvent(HANDLE handle) { return Events().Remove(handle) != nullptr; }

void EventsReset() { Events().Clear(); }

}  // namespace wce

using namespace wce;

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  *lpCriticalSection = CRITICAL_SECTION{};
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  *lpCriticalSection = CRITICAL_SECTION{};
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  CRITICAL_SECTION& cs = *lpCriticalSection;
  HANDLE me = Me();
  if (Owner(cs).load() == me) {
    ++cs.LockCount;
    return;
  }
  if (TryTake(cs, me)) return;
  std::unique_lock<std::mutex> lock(DeviceLock());
  // Counted before looking at the owner again, so a leaving owner either sees
  // us parked or we see it gone (both sides are sequentially consistent).
  Parked(cs).fetch_add(1);
  ++cs.dwContentions;
  while (!TryTake(cs, me)) ClockWait(lock, [&cs] { return Owner(cs).load() == nullptr; }, kNoDeadline);
  Parked(cs).fetch_sub(1);
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  CRITICAL_SECTION& cs = *lpCriticalSection;
  HANDLE me = Me();
  if (Owner(cs).load() == me) {
    ++cs.LockCount;
    return TRUE;
  }
  return TryTake(cs, me) ? TRUE : FALSE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  CRITICAL_SECTION& cs = *lpCriticalSection;
  if (Owner(cs).load() != Me() || cs.LockCount <= 0) return;  // not ours to leave
  if (--cs.LockCount > 0) return;
  Owner(cs).store(nullptr);
  if (Parked(cs).load() == 0) return;
  std::lock_guard<std::mutex> lock(DeviceLock());
  ClockNotifyAll();
}

LONG WINAPI InterlockedIncrement(LONG volatile* lpAddend) {
  return __atomic_add_fetch(lpAddend, 1, __ATOMIC_SEQ_CST);
}

LONG WINAPI InterlockedDecrement(LONG volatile* lpAddend) {
  return __atomic_sub_fetch(lpAddend, 1, __ATOMIC_SEQ_CST);
}

LONG WINAPI InterlockedExchange(LONG volatile* Target, LONG Value) {
  return __atomic_exchange_n(Target, Value, __ATOMIC_SEQ_CST);
}

LONG WINAPI InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comperand) {
  __atomic_compare_exchange_n(Destination, &Comperand, Exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return Comperand;  // the value found, whether or not it was replaced
}

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCWSTR) {
  auto event = std::make_shared<EventObject>();
  event->manualReset = bManualReset != FALSE;
  event->signaled = bInitialState != FALSE;
  return reinterpret_cast<HANDLE>(Events().Insert(std::move(event)));
}

BOOL WINAPI SetEvent(HANDLE hEvent) {
  std::shared_ptr<EventObject> event = Events().Lookup(hEvent);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(DeviceLock());
  event->signaled = true;
  ClockNotifyAll();
  return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE hEvent) {
  std::shared_ptr<EventObject> event = Events().Lookup(hEvent);
  if (!event) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(DeviceLock());
  event->signaled = false;
  return TRUE;
}

}  // extern "C"
