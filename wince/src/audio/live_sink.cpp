#include "audio/live_sink.h"

#include <utility>

#include "device/device.h"
#include "kernel/clock.h"

namespace wce::audio {

LiveSink::LiveSink(WaveOutDriver& driver, std::shared_ptr<AudioOutput> output, uint32_t rate)
    : driver_(driver), output_(std::move(output)), restAfterFrames_(uint64_t{rate} * output_->RestAfterMs() / 1000) {}

std::unique_ptr<LiveSink> LiveSink::Start(WaveOutDriver& driver, std::shared_ptr<AudioOutput> output,
                                          uint32_t rate) {
  if (!output) return nullptr;
  std::unique_ptr<LiveSink> sink(new LiveSink(driver, std::move(output), rate));
  if (!sink->output_->Start(*sink, rate)) return nullptr;
  sink->started_ = true;
  return sink;
}

LiveSink::~LiveSink() {
  if (!started_) return;
  {
    // A resting pull may hold a lock of the output's that stopping takes.
    std::lock_guard<std::mutex> lock(DeviceLock());
    stopping_ = true;
    ClockNotifyAll();
  }
  output_->Stop();  // waits for a running pull to return
}

void LiveSink::Pull(float* out, size_t frames) {
  std::unique_lock<std::mutex> lock(DeviceLock());
  PullLocked(lock, out, frames);
  uint64_t written = driver_.WrittenLocked();
  bool fresh = written != mixedWritten_;
  mixedWritten_ = written;
  lock.unlock();
  if (fresh) LatencyStamp("first-mix");  // the trace takes the clock's lock
}

void LiveSink::PullLocked(std::unique_lock<std::mutex>& lock, float* out, size_t frames) {
  auto queued = [this] { return driver_.FramesUntilNextDoneLocked() != kNoDeadline; };
  if (queued()) {
    quietFrames_ = 0;
  } else if (restAfterFrames_ != 0 && quietFrames_ >= restAfterFrames_ && !stopping_) {
    // Written buffers notify the clock's waiters; so does the destructor.
    resting_ = true;
    ClockWait(lock, [&] { return stopping_ || queued(); }, kNoDeadline);
    resting_ = false;
    quietFrames_ = 0;
  }
  driver_.RenderFloatLocked(out, frames);
  if (!queued()) quietFrames_ += frames;
}

}  // namespace wce::audio
