#include "audio/callback_queue.h"

#include "kernel/clock.h"

namespace wce::audio {
namespace {
thread_local bool tOnCallbackThread = false;
}

bool CallbackQueue::OnCallbackThread() { return tOnCallbackThread; }

void CallbackQueue::Start(DeadlineFn nextDeadline) {
  Stop();
  std::lock_guard<std::mutex> lock(DeviceLock());
  running_ = true;
  uint64_t generation = ++generation_;
  // Counted before it runs, so time cannot slip past its start.
  ClockReserveServiceThread();
  try {
    thread_ = std::thread([this, generation, fn = std::move(nextDeadline)] { Run(generation, fn); });
  } catch (...) {
    ClockReleaseServiceThread();
    running_ = false;
  }
}

void CallbackQueue::Stop() {
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(DeviceLock());
    running_ = false;
    ++generation_;
    pending_.clear();
    deliveredCount_ = postedCount_;
    thread = std::move(thread_);
    ClockNotifyAll();
  }
  if (!thread.joinable()) return;
  // Stopping from inside a callback: that thread ends once the callback returns.
  if (thread.get_id() == std::this_thread::get_id())
    thread.detach();
  else
    thread.join();
}

void CallbackQueue::PostLocked(const Callback& callback) noexcept {
  if (!running_) return;
  try {
    pending_.push_back(callback);
  } catch (...) {
    return;  // out of memory: this notification is lost, the mix goes on
  }
  ++postedCount_;
  ClockNotifyAll();
}

void CallbackQueue::DeadlinesChangedLocked() {
  ++deadlineChanges_;
  ClockNotifyAll();
}

void CallbackQueue::FlushLocked(std::unique_lock<std::mutex>& deviceLock) {
  if (OnCallbackThread()) return;
  uint64_t target = postedCount_;
  ClockWait(deviceLock, [&] { return !running_ || deliveredCount_ >= target; }, kNoDeadline);
}

void CallbackQueue::Flush() {
  std::unique_lock<std::mutex> lock(DeviceLock());
  FlushLocked(lock);
}

void CallbackQueue::Run(uint64_t generation, DeadlineFn nextDeadline) {
  tOnCallbackThread = true;
  std::unique_lock<std::mutex> lock(DeviceLock());
  ClockClaimServiceThread();
  ClockDescribeThread(nullptr, "audio callback thread");
  while (generation_ == generation) {
    if (pending_.empty()) {
      uint64_t seen = deadlineChanges_;
      uint64_t deadline = nextDeadline ? nextDeadline() : kNoDeadline;
      if (deadline <= ClockNowLocked()) deadline = kNoDeadline;  // never spin on a time already past
      ClockWait(
          lock, [&] { return generation_ != generation || !pending_.empty() || deadlineChanges_ != seen; },
          deadline);
      continue;
    }
    Callback c = pending_.front();
    pending_.pop_front();
    lock.unlock();
    c.proc(c.device, c.message, c.instance, c.param1, c.param2);
    lock.lock();
    // A Stop during the call has already counted everything as delivered.
    if (generation_ == generation) ++deliveredCount_;
    ClockNotifyAll();
  }
  ClockUnregisterLocked();
}

}  // namespace wce::audio
