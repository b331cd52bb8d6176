// The device's audio callback thread: delivers WOM_OPEN, WOM_DONE and WOM_CLOSE
// to the program's callback functions, one at a time and in the order they
// were posted, never on the program's thread and never under a mixer lock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
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
  CallbackQueue() = default;
  ~CallbackQueue() { Stop(); }
  CallbackQueue(const CallbackQueue&) = delete;
  CallbackQueue& operator=(const CallbackQueue&) = delete;

  void Start();
  // Ends the thread; callbacks not yet delivered are dropped (the device is off).
  void Stop();

  // Dropped when the thread is not running. Never throws: renderers call it.
  void Post(const Callback& callback) noexcept;
  // Returns once every callback posted before the call has been delivered, so
  // the caller may free what they point at. Does not wait on the callback
  // thread itself (a callback calling wave-out functions must not deadlock).
  void Flush();

  static bool OnCallbackThread();

 private:
  void Run(uint64_t generation);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable delivered_;
  std::deque<Callback> pending_;
  uint64_t postedCount_ = 0;
  uint64_t deliveredCount_ = 0;
  bool running_ = false;
  uint64_t generation_ = 0;  // a thread left over from an earlier Start never delivers
  std::thread thread_;
};

}  // namespace wce::audio
