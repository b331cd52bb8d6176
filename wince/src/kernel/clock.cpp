// The device clock. In virtual mode time only moves when every program thread
// is parked in ClockWait with nothing to do, and then straight to the earliest
// deadline; that keeps a whole run deterministic and fast. In real mode the
// same waits simply use real deadlines.
#include "kernel/clock.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <list>
#include <map>
#include <vector>
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
#include <pthread.h>
#endif

#include "device/device.h"

namespace wce {
namespace {

using SteadyClock = std::chrono::steady_clock;

// One thread parked in ClockWait. Lives on that thread's stack while listed.
struct Waiter {
  const std::function<bool()>* ready;
  uint64_t deadline;
  bool program;  // a registered thread: holds time back unless idle
  bool poll;     // a poll (see ClockPollWait): also ends when anything happens
  std::condition_variable cv;
};

// A registered thread, as the watchdog sees it.
struct ThreadRecord {
  DWORD id = 0;
  const void* start = nullptr;  // its start routine, when known
  std::string label;            // or what the device calls it
  bool waiting = false;         // parked in ClockWait
  SteadyClock::time_point busySince = SteadyClock::now();
  bool reported = false;        // the watchdog has told about this stretch
};

struct ClockState {
  ClockMode mode = ClockMode::Virtual;
  uint64_t virtualNow = 0;
  SteadyClock::time_point epoch = SteadyClock::now();
  bool driven = false;
  uint64_t target = 0;
  int programThreads = 0;
  int serviceThreads = 0;  // of programThreads
  std::vector<Waiter*> waiters;
  std::list<ThreadRecord> threads;  // one per registered thread
  // Moves on whenever anything happens that a poller might be looking for:
  // time moving, a notification, a thread going to wait.
  uint64_t activity = 0;
  int drivers = 0;  // threads in a virtual ClockAdvanceTo
  // The driver itself waiting for the program (a cross-thread SendMessageW
  // of an injected activation): see DriverWaitsForProgram.
  Waiter* driverWaiter = nullptr;
  std::map<int, ClockListener> listeners;
  int nextListenerId = 1;
  std::condition_variable driverCv;  // drivers waiting for the program to settle
};

// Deliberately never destroyed: detached program threads may still be parked
// in a wait while the process exits.
ClockState& State() {
  static ClockState* state = new ClockState;
  return *state;
}

thread_local bool tlRegistered = false;
thread_local bool tlDriver = false;  // has bounded the virtual clock (ClockAdvanceTo)
thread_local bool tlService = false;
thread_local ThreadRecord* tlRecord = nullptr;
// What this thread saw at its last poll that found nothing: time and activity.
thread_local uint64_t tlPollNow = UINT64_MAX;
thread_local uint64_t tlPollActivity = UINT64_MAX;

// Unregisters a registered thread when it ends, so a thread that forgets to
// (or dies) cannot freeze virtual time for everyone else.
struct RegistrationGuard {
  ~RegistrationGuard() {
    if (tlRegistered) UnregisterProgramThread();
  }
};
thread_local RegistrationGuard tlGuard;

uint64_t RealElapsedMs(const ClockState& s) {
  auto elapsed = SteadyClock::now() - s.epoch;
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

uint64_t NowLocked(const ClockState& s) {
  return s.mode == ClockMode::Virtual ? s.virtualNow : RealElapsedMs(s);
}

// A program waiter is idle when it has nothing to do now: its predicate is
// false and its deadline is still ahead. A waiter found ready is poked, in case
// whoever made it ready forgot to notify.
bool Idle(Waiter& w, uint64_t now) {
  if ((*w.ready)()) {
    w.cv.notify_one();
    return false;
  }
  if (w.deadline <= now) {
    w.cv.notify_one();
    return false;
  }
  return true;
}

bool AllProgramThreadsIdle(ClockState& s) {
  uint64_t now = NowLocked(s);
  int idle = 0;
  bool busy = false;
  for (Waiter* w : s.waiters) {
    if (!w->program) continue;
    if (Idle(*w, now))
      ++idle;
    else
      busy = true;
  }
  return !busy && idle >= s.programThreads;
}

uint64_t EarliestDeadline(const ClockState& s) {
  uint64_t earliest = kNoDeadline;
  for (const Waiter* w : s.waiters) earliest = std::min(earliest, w->deadline);
  return earliest;
}

void MoveTo(ClockState& s, uint64_t to) {
  uint64_t from = s.virtualNow;
  s.virtualNow = to;
  ++s.activity;
  for (auto& [id, listener] : s.listeners) listener(from, to);
  for (Waiter* w : s.waiters)
    if (w->deadline <= to || w->poll) w->cv.notify_one();
}

void AddRecord(ClockState& s) {
  s.threads.emplace_back();
  tlRecord = &s.threads.back();
  tlRecord->id = GetCurrentThreadId();
  ++s.activity;
}

// While the driver waits for the program, the program may be in the middle of
// something that needs time to pass (a Sleep in a pen handler), as on the
// device, where the system's send simply waits longer: the driver's bound
// is lifted until the driver's wait is over. Once its condition is met time
// stops again, wherever it got to, so runs stay the same from run to run.
bool DriverWaitsForProgram(const ClockState& s) {
  return s.driverWaiter != nullptr && !(*s.driverWaiter->ready)();
}

// Moves virtual time if nothing holds it back. Called whenever the set of
// waiting threads or the driver's target changes. One step at a time: after a
// move someone is due (or the target is reached), and a sleeper that is due,
// registered or not, gets to leave its wait before time goes on.
void TryAdvance(ClockState& s) {
  if (s.mode == ClockMode::Virtual && AllProgramThreadsIdle(s)) {
    uint64_t next = EarliestDeadline(s);
    if (s.driven && !DriverWaitsForProgram(s)) next = std::min(next, s.target);
    if (next != kNoDeadline && next > s.virtualNow) MoveTo(s, next);
  }
  s.driverCv.notify_all();  // a driver may be waiting for exactly this state
}

void UnregisterLocked(ClockState& s) {
  if (!tlRegistered) return;
  tlRegistered = false;
  --s.programThreads;
  if (tlService) --s.serviceThreads;
  tlService = false;
  if (tlRecord) s.threads.remove_if([](const ThreadRecord& r) { return &r == tlRecord; });
  tlRecord = nullptr;
  ++s.activity;
  TryAdvance(s);
}

// Real-time waits are cut into slices so a far deadline never overflows.
constexpr uint64_t kRealSliceMs = 60 * 60 * 1000;

void WaitReal(ClockState& s, Waiter& w, std::unique_lock<std::mutex>& lock) {
  uint64_t now = RealElapsedMs(s);
  uint64_t until = w.deadline == kNoDeadline ? now + kRealSliceMs : std::min(w.deadline, now + kRealSliceMs);
  w.cv.wait_until(lock, s.epoch + std::chrono::milliseconds(until));
}

// The sound output's real-time thread takes this lock to mix. Whoever holds
// it when that thread waits runs at its priority until it lets go; otherwise
// a busy machine could keep the output waiting behind an ordinary thread.
std::mutex* NewDeviceLock() {
  auto* lock = new std::mutex;
#if defined(__linux__) && !defined(__EMSCRIPTEN__)
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) == 0) {
    if (pthread_mutexattr_setprotocol(&attr, PTHREAD_PRIO_INHERIT) == 0) pthread_mutex_init(lock->native_handle(), &attr);
    pthread_mutexattr_destroy(&attr);
  }
#endif
  return lock;
}

}  // namespace

std::mutex& DeviceLock() {
  static std::mutex* lock = NewDeviceLock();  // outlives detached threads, as State()
  return *lock;
}

uint64_t ClockNowLocked() { return NowLocked(State()); }

namespace {

bool Wait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready, uint64_t deadlineMs, bool poll) {
  ClockState& s = State();
  if (ready()) return true;
  if (NowLocked(s) >= deadlineMs) return false;

  Waiter self{&ready, deadlineMs, tlRegistered, poll, {}};
  s.waiters.push_back(&self);
  const bool driver = tlDriver && !tlRegistered && s.mode == ClockMode::Virtual && s.driverWaiter == nullptr;
  if (driver) s.driverWaiter = &self;
  if (tlRecord) tlRecord->waiting = true;
  if (tlRegistered && !poll) {
    // A thread settling down may be what a poller waits for.
    ++s.activity;
    for (Waiter* w : s.waiters)
      if (w->poll) w->cv.notify_one();
  }
  bool result = false;
  for (;;) {
    if (ready()) {
      result = true;
      break;
    }
    if (NowLocked(s) >= deadlineMs) break;
    TryAdvance(s);
    if (ready() || NowLocked(s) >= deadlineMs) continue;
    if (s.mode == ClockMode::Real)
      WaitReal(s, self, lock);
    else
      self.cv.wait(lock);
  }
  s.waiters.erase(std::find(s.waiters.begin(), s.waiters.end(), &self));
  if (driver) s.driverWaiter = nullptr;
  if (tlRecord) {
    tlRecord->waiting = false;
    tlRecord->busySince = SteadyClock::now();
    tlRecord->reported = false;
  }
  // A due sleeper holds time still until it has left (see TryAdvance).
  TryAdvance(s);
  return result;
}

}  // namespace

bool ClockWait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready, uint64_t deadlineMs) {
  return Wait(lock, ready, deadlineMs, false);
}

bool ClockPollWait(std::unique_lock<std::mutex>& lock, const std::function<bool()>& ready, uint64_t deadlineMs) {
  ClockState& s = State();
  if (ready()) return true;
  if (s.mode != ClockMode::Virtual || !tlRegistered) return false;
  uint64_t now = s.virtualNow;
  if (now != tlPollNow || s.activity != tlPollActivity) {
    // Something happened since this thread last looked: let it look again.
    tlPollNow = now;
    tlPollActivity = s.activity;
    return false;
  }
  // Nothing could ever wake it (no deadline, no driver, nobody at work): a
  // wait would be for ever, so the poll just returns, as on the device.
  bool someoneBusy = false;
  for (const ThreadRecord& r : s.threads) someoneBusy |= !r.waiting && &r != tlRecord;
  if (deadlineMs == kNoDeadline && !s.driven && !someoneBusy && EarliestDeadline(s) == kNoDeadline) return false;
  uint64_t seen = s.activity;
  bool result = Wait(lock, [&] { return ready() || State().activity != seen; }, deadlineMs, true) && ready();
  tlPollNow = s.virtualNow;
  tlPollActivity = s.activity;
  return result;
}

void ClockPollFound() { tlPollNow = tlPollActivity = UINT64_MAX; }


bool ClockFindStalledThread(std::chrono::milliseconds limit, StalledThread& out) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  ClockState& s = State();
  if (s.mode != ClockMode::Virtual) return false;
  // Only while someone waits for time to move (a driver, or any waiter).
  if (s.drivers == 0 && s.waiters.empty()) return false;
  SteadyClock::time_point now = SteadyClock::now();
  for (ThreadRecord& r : s.threads) {
    if (r.waiting || r.reported || now - r.busySince < limit) continue;
    r.reported = true;
    out = {r.id, r.start, r.label};
    return true;
  }
  return false;
}

void ClockDescribeThread(const void* startRoutine, const std::string& label) {
  if (!tlRecord) return;
  tlRecord->start = startRoutine;
  tlRecord->label = label;
}

void ClockNotifyAll() {
  ClockState& s = State();
  ++s.activity;
  // In real time a waiter whose condition is still false would only wake to
  // wait again; on a small machine it takes a core and this lock from the one
  // that has work (a tap crosses three threads on its way to the sound).
  // Virtual time is moved by woken waiters, so there everyone wakes.
  const bool real = s.mode == ClockMode::Real;
  for (Waiter* w : s.waiters)
    if (!real || w->poll || (*w->ready)()) w->cv.notify_one();
  s.driverCv.notify_all();
}

void ClockReset(ClockMode mode) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  ClockState& s = State();
  s.mode = mode;
  s.virtualNow = 0;
  s.epoch = SteadyClock::now();
  s.driven = false;
  s.target = 0;
  ClockNotifyAll();
}

ClockMode ClockGetMode() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return State().mode;
}

uint64_t ClockNowMs() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  return NowLocked(State());
}

void RegisterProgramThread(const void* startRoutine) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  ClockReserveProgramThread();
  ClockClaimProgramThread();
  if (startRoutine) ClockDescribeThread(startRoutine, std::string());
}

void UnregisterProgramThread() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  UnregisterLocked(State());
}

void ClockReserveProgramThread() { ++State().programThreads; }

void ClockClaimProgramThread() {
  (void)&tlGuard;  // constructs this thread's guard
  if (tlRegistered) {
    --State().programThreads;  // already counted once
    return;
  }
  tlRegistered = true;
  AddRecord(State());
}

void ClockReleaseProgramThread() {
  --State().programThreads;
  TryAdvance(State());
}

void ClockReserveServiceThread() {
  ++State().programThreads;
  ++State().serviceThreads;
}

void ClockClaimServiceThread() {
  (void)&tlGuard;
  tlRegistered = true;
  tlService = true;
  AddRecord(State());
}

void ClockReleaseServiceThread() {
  --State().serviceThreads;
  ClockReleaseProgramThread();
}

bool ClockIsProgramThread() { return tlRegistered; }

void ClockUnregisterLocked() { UnregisterLocked(State()); }

void ClockAdvanceTo(uint64_t targetMs) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  ClockState& s = State();
  if (s.mode == ClockMode::Real) {
    // A program that ends while the driver waits ends the wait too: nothing
    // is left to drive (a closed program must not keep its host waiting).
    bool hadProgram = s.programThreads > s.serviceThreads;
    while (RealElapsedMs(s) < targetMs && !(hadProgram && s.programThreads == s.serviceThreads))
      s.driverCv.wait_until(lock, s.epoch + std::chrono::milliseconds(targetMs));
    // then let the program handle what came due
    while (!AllProgramThreadsIdle(s)) s.driverCv.wait_for(lock, std::chrono::milliseconds(1));
    return;
  }
  s.driven = true;
  s.target = std::max(targetMs, s.virtualNow);
  if (tlRegistered) {
    // A program thread driving the clock cannot wait for itself to settle:
    // it just sleeps until the target.
    ClockWait(lock, [] { return false; }, s.target);
    return;
  }
  tlDriver = true;
  TryAdvance(s);
  ++s.drivers;
  s.driverCv.wait(lock, [&] {
    TryAdvance(s);
    return s.virtualNow >= s.target && AllProgramThreadsIdle(s);
  });
  --s.drivers;
}

void ClockSettle() { ClockAdvanceTo(ClockNowMs()); }

void ClockRelease() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  ClockState& s = State();
  s.driven = false;
  TryAdvance(s);
}

int ClockAddListener(ClockListener listener) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  ClockState& s = State();
  int id = s.nextListenerId++;
  s.listeners.emplace(id, std::move(listener));
  return id;
}

void ClockRemoveListener(int id) {
  std::lock_guard<std::mutex> lock(DeviceLock());
  State().listeners.erase(id);
}

}  // namespace wce
