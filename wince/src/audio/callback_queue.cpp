#include "audio/callback_queue.h"

namespace wce::audio {
namespace {
thread_local bool tOnCallbackThread = false;
}

bool CallbackQueue::OnCallbackThread() { return tOnCallbackThread; }

void CallbackQueue::Start() {
  Stop();
  std::lock_guard<std::mutex> lock(mutex_);
  running_ = true;
  uint64_t generation = ++generation_;
  thread_ = std::thread([this, generation] { Run(generation); });
}

void CallbackQueue::Stop() {
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = false;
    ++generation_;
    pending_.clear();
    deliveredCount_ = postedCount_;
    thread = std::move(thread_);
  }
  wake_.notify_all();
  delivered_.notify_all();
  if (!thread.joinable()) return;
  // Stopping from inside a callback: that thread ends once the callback returns.
  if (thread.get_id() == std::this_thread::get_id())
    thread.detach();
  else
    thread.join();
}

void CallbackQueue::Post(const Callback& callback) noexcept {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!running_) return;
    try {
      pending_.push_back(callback);
    } catch (...) {
      return;  // out of memory: this notification is lost, the mix goes on
    }
    ++postedCount_;
  }
  wake_.notify_one();
}

void CallbackQueue::Flush() {
  if (OnCallbackThread()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  uint64_t target = postedCount_;
  delivered_.wait(lock, [&] { return !running_ || deliveredCount_ >= target; });
}

void CallbackQueue::Run(uint64_t generation) {
  tOnCallbackThread = true;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return generation_ != generation || !pending_.empty(); });
    if (generation_ != generation) return;
    Callback c = pending_.front();
    pending_.pop_front();
    lock.unlock();
    c.proc(c.device, c.message, c.instance, c.param1, c.param2);
    lock.lock();
    // A Stop during the call has already counted everything as delivered.
    if (generation_ == generation) ++deliveredCount_;
    delivered_.notify_all();
  }
}

}  // namespace wce::audio
