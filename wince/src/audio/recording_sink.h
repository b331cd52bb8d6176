// The headless sink: the mix recorded into a WAV file that follows device
// time, so frame t x rate / 1000 of the file is what sounded at device time t.
// On the virtual clock it renders from the clock's listener, and a buffer's
// last frame falls at a device time known in advance: a clock deadline.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/sink.h"
#include "audio/wav_file_writer.h"
#include "audio/wave_out_driver.h"

namespace wce::audio {

class RecordingSink final : public Sink {
 public:
  // Null, with a message on stderr, when the file cannot be created.
  static std::unique_ptr<RecordingSink> Start(WaveOutDriver& driver, const std::string& path, uint32_t rate);
  ~RecordingSink() override;
  uint64_t DeviceTimeAfterFrames(uint64_t frames) override;

 private:
  RecordingSink(WaveOutDriver& driver, std::unique_ptr<WavFileWriter> file, std::string path, uint32_t rate);
  void FollowVirtualClock();
  void FollowRealClock();
  void RenderUpToNow();                      // takes DeviceLock()
  void RenderUpToLocked(uint64_t deviceMs);  // DeviceLock() held

  WaveOutDriver& driver_;
  const std::string path_;
  const uint32_t rate_;

  // The file, its position and the scratch buffer; taken after DeviceLock().
  std::mutex mutex_;
  std::unique_ptr<WavFileWriter> file_;
  uint64_t framesWritten_ = 0;
  std::vector<int16_t> scratch_;
  bool writeFailed_ = false;

  int listener_ = -1;  // virtual clock: rendered as time moves
  bool followsDeviceTime_ = false;

  std::thread thread_;  // real clock: rendered every few milliseconds
  std::mutex stopMutex_;
  std::condition_variable stopWake_;
  bool stopping_ = false;
};

}  // namespace wce::audio
