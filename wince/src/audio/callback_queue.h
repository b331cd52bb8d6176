// The device's audio callback thread: delivers WOM_OPEN, WOM_DONE and WOM_CLOSE
// to the program's callback functions, one at a time and in the order they
// were posted, never on the program's thread and never under a device lock.
//
// It is a device thread of the clock: while it delivers, virtual time holds
// still, and while it waits it waits through the clock until the next moment
// a buffer finishes, so that moment is a deadline like any sleeper's.
// Its state is guarded by DeviceLock().
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "mmsystem.h"

namespace wce::audio {

struct Callback {
  WAVECALLBACK proc;
  HWAVEOUT device;
  UINT message;
  DWORD_PTR instance;
  DWORD_PTR param1;
  DWORD_PTR param2;
};

class CallbackQueue {
 public:
  // The device time at which the next queued buffer finishes playing
  // (kNoDeadline for none or unknown); called with DeviceLock() held.
  using DeadlineFn = std::function<uint64_t()>;

  CallbackQueue() = default;
  ~CallbackQueue() { Stop(); }
  CallbackQueue(const CallbackQueue&) = delete;
  CallbackQueue& operator=(const CallbackQueue&) = delete;

  void Start(DeadlineFn nextDeadline);
  // Ends the thread; callbacks not yet delivered are dropped (the device is off).
  void Stop();

  // DeviceLock() held. Dropped when the thread is not running. Never throws:
  // renderers call it.
  void PostLocked(const Callback& callback) noexcept;
  // DeviceLock() held: the next finishing time may have changed (a buffer
  // written, a voice reset or closed), so the thread looks at it again.
  void DeadlinesChangedLocked();
  // Returns once every callback posted before the call has been delivered, so
  // the caller may free what they point at. Waits through the clock, so time
  // moves for a callback that sleeps. On the callback thread itself it returns
  // at once (a callback calling wave-out functions must not deadlock).
  void FlushLocked(std::unique_lock<std::mutex>& deviceLock);
  void Flush();

  static bool OnCallbackThread();

 private:
  void Run(uint64_t generation, DeadlineFn nextDeadline);

  std::deque<Callback> pending_;
  uint64_t postedCount_ = 0;
  uint64_t deliveredCount_ = 0;
  uint64_t deadlineChanges_ = 0;
  bool running_ = false;
  uint64_t generation_ = 0;  // a thread left over from an earlier Start never delivers
  std::thread thread_;       // touched by Start and Stop only (serialised by the owner)
};

}  // namespace wce::audio
