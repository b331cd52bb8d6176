#include "audio/recording_sink.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "device/device.h"

namespace wce::audio {
namespace {
constexpr size_t kScratchFrames = 4096;
constexpr auto kRealClockPeriod = std::chrono::milliseconds(5);
}  // namespace

std::unique_ptr<RecordingSink> RecordingSink::Start(WaveOutDriver& driver, const std::string& path, uint32_t rate) {
  std::unique_ptr<WavFileWriter> file = WavFileWriter::Create(path, rate);
  if (!file) {
    std::fprintf(stderr, "audio: cannot create the recording %s: %s\n", path.c_str(), std::strerror(errno));
    return nullptr;
  }
  std::unique_ptr<RecordingSink> sink(new RecordingSink(driver, std::move(file), path, rate));
  // The file starts at device time 0, whenever the recording begins.
  sink->RenderUpToNow();
  if (ClockGetMode() == ClockMode::Virtual)
    sink->FollowVirtualClock();
  else
    sink->FollowRealClock();
  return sink;
}

RecordingSink::RecordingSink(WaveOutDriver& driver, std::unique_ptr<WavFileWriter> file, std::string path,
                             uint32_t rate)
    : driver_(driver), path_(std::move(path)), rate_(rate), file_(std::move(file)), scratch_(2 * kScratchFrames) {}

RecordingSink::~RecordingSink() {
  if (listener_ >= 0) ClockRemoveListener(listener_);
  if (thread_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(stopMutex_);
      stopping_ = true;
    }
    stopWake_.notify_all();
    thread_.join();
  }
  RenderUpToNow();
}

// Runs under the clock's lock, before any program thread wakes at the new time:
// whatever the program writes next starts exactly at the new time's frame.
void RecordingSink::FollowVirtualClock() {
  listener_ = ClockAddListener([this](uint64_t, uint64_t toMs) { RenderUpToLocked(toMs); });
  std::lock_guard<std::mutex> lock(DeviceLock());
  followsDeviceTime_ = true;
}

uint64_t RecordingSink::DeviceTimeAfterFrames(uint64_t frames) {
  if (!followsDeviceTime_ || frames == kNoDeadline) return kNoDeadline;
  std::lock_guard<std::mutex> lock(mutex_);
  // The first whole millisecond whose render reaches that frame.
  uint64_t frame = framesWritten_ + frames;
  return (frame * 1000 + rate_ - 1) / rate_;
}

void RecordingSink::FollowRealClock() {
  thread_ = std::thread([this] {
    std::unique_lock<std::mutex> lock(stopMutex_);
    while (!stopping_) {
      lock.unlock();
      RenderUpToNow();
      lock.lock();
      stopWake_.wait_for(lock, kRealClockPeriod, [this] { return stopping_; });
    }
  });
}

void RecordingSink::RenderUpToNow() {
  std::lock_guard<std::mutex> lock(DeviceLock());
  RenderUpToLocked(ClockNowLocked());
}

void RecordingSink::RenderUpToLocked(uint64_t deviceMs) {
  const uint64_t target = deviceMs * rate_ / 1000;
  std::lock_guard<std::mutex> lock(mutex_);
  while (framesWritten_ < target) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(target - framesWritten_, kScratchFrames));
    driver_.RenderS16Locked(scratch_.data(), n);
    if (!file_->Append(scratch_.data(), n) && !writeFailed_) {
      writeFailed_ = true;
      std::fprintf(stderr, "audio: writing the recording %s failed: %s\n", path_.c_str(), std::strerror(errno));
    }
    framesWritten_ += n;
  }
}

}  // namespace wce::audio
